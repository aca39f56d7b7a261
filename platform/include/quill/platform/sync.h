// Locks and events.
#ifndef QUILL_PLATFORM_SYNC_H
#define QUILL_PLATFORM_SYNC_H

#include <stdint.h>

#include "quill/platform/types.h"

namespace qp {

// A wait without a time limit.
constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

// Prepares a recursive lock: the thread that holds it may enter again and
// must leave as often as it entered. Never fails.
void lock_init(QuillRawLock* lock);
// Releases what lock_init took. The lock must not be held.
void lock_destroy(QuillRawLock* lock);
// Blocks until the calling thread holds the lock.
void lock_enter(QuillRawLock* lock);
// Leaves the lock once. Only the owning thread may call it.
void lock_leave(QuillRawLock* lock);

// Holds a lock for the life of a scope.
class ScopedLock {
public:
    explicit ScopedLock(QuillRawLock* lock) : lock_(lock) { lock_enter(lock_); }
    ~ScopedLock() { lock_leave(lock_); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    QuillRawLock* lock_;
};

// An event in the Windows sense. A manual-reset event stays set until reset
// and releases every waiter; an auto-reset event releases exactly one waiter
// and resets itself as it does.
class Event {
public:
    Event(bool manual_reset, bool initially_set);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    // True when the event was set within timeout_ms (kWaitForever: no limit);
    // false on time-out.
    bool wait(uint32_t timeout_ms);

    // The handle to store where the system expects an event handle (an
    // OVERLAPPED record's hEvent): the kernel event on Windows, this object
    // elsewhere.
    HANDLE native_handle() const;

    struct Impl;
    Impl* impl() const { return impl_; }

private:
    Impl* impl_;
};

// Waits until either event is set. Returns 0 or 1 for the event that released
// the wait (the first one when both are set; an auto-reset event is consumed),
// or -1 on time-out.
int wait_either(Event& first, Event& second, uint32_t timeout_ms);

} // namespace qp

#endif
