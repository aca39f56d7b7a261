// A tripwire for stray writes: objects that own strings carry 32-byte
// blocks of a known byte, and a check of every living block after the long
// work of a run tells whether memory near them was overwritten.
#ifndef QUILL_UPDATE_COMMON_GUARD_ZONE_C_H
#define QUILL_UPDATE_COMMON_GUARD_ZONE_C_H

class update_run_C;

class guard_zone_C {
public:
    static const int size = 32;
    static const unsigned char fill = 70; // 'F'

    guard_zone_C();
    // A copy is a block of its own, freshly filled and registered.
    guard_zone_C(const guard_zone_C&);
    guard_zone_C& operator=(const guard_zone_C&) { return *this; }
    ~guard_zone_C();

    bool intact() const;

private:
    friend bool guard_zones_intact(update_run_C& run);
    unsigned char bytes_[size];
    // Living blocks form one list, so that leaving it costs nothing.
    guard_zone_C* previous_;
    guard_zone_C* next_;
};

// Examines every living block; each damaged one logs "INFESTED". True
// when all are intact.
bool guard_zones_intact(update_run_C& run);

#endif
