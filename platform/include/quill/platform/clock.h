// Clock and sleep. Every time read and every sleep of the package goes
// through the current clock, so a test can pin the date or let waits pass
// quickly.
#ifndef QUILL_PLATFORM_CLOCK_H
#define QUILL_PLATFORM_CLOCK_H

#include <stdint.h>

#include "quill/platform/types.h"

namespace qp {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since the system started; wraps around after 2^32.
    virtual uint32_t tick_count() = 0;
    // The current local date and time.
    virtual void local_time(SYSTEMTIME* out) = 0;
    // The current date and time in UTC.
    virtual void system_time(SYSTEMTIME* out) = 0;
    // Blocks the calling thread for about ms milliseconds.
    virtual void sleep(uint32_t ms) = 0;
};

// The operating system's clock.
Clock& system_clock();
// The clock in force.
Clock& clock();
// Puts a clock in force for the whole process and returns the one it
// replaces; null restores the system clock. The caller keeps ownership.
Clock* set_clock(Clock* replacement);

// Converts seconds since 1 January 1970 UTC to the local date and time of
// that moment (milliseconds 0). Returns false, leaving *out untouched, for
// moments before 1970 or after 3000 (UTC), which the Windows run-time
// library does not convert.
bool local_time_from_epoch(int64_t seconds, SYSTEMTIME* out);
// Converts a UTC FILETIME (100-ns units since 1 January 1601) to the local
// date and time of that moment, with the daylight-saving rule of that date.
// Returns false, leaving *out untouched, when the system cannot represent
// the moment.
bool local_time_from_file_time(const FILETIME& utc, SYSTEMTIME* out);

inline uint32_t tick_count() {
    return clock().tick_count();
}
inline void local_time(SYSTEMTIME* out) {
    clock().local_time(out);
}
inline void system_time(SYSTEMTIME* out) {
    clock().system_time(out);
}
inline void sleep(uint32_t ms) {
    clock().sleep(ms);
}

} // namespace qp

#endif
