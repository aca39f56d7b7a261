// Locks and events over POSIX threads.
//
// An event keeps the list of threads waiting on it, so that one waiter can
// wait on two events at once: set() wakes every registered waiter, and each
// waiter then tries to take the events it waits on, in order, under the
// event's own mutex. That keeps an auto-reset event's "exactly one waiter"
// rule without a global lock.
#include "quill/platform/sync.h"

#include <errno.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace qp {

void lock_init(QuillRawLock* lock) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(lock, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void lock_destroy(QuillRawLock* lock) {
    pthread_mutex_destroy(lock);
}
void lock_enter(QuillRawLock* lock) {
    pthread_mutex_lock(lock);
}
void lock_leave(QuillRawLock* lock) {
    pthread_mutex_unlock(lock);
}

namespace {

struct Waiter {
    std::mutex mutex;
    std::condition_variable wake;
    bool notified = false;
};

} // namespace

struct Event::Impl {
    std::mutex mutex;
    bool manual_reset;
    bool signalled;
    std::vector<Waiter*> waiters;

    // Takes the event if it is set: an auto-reset event is reset by taking it.
    bool try_take() {
        std::lock_guard<std::mutex> guard(mutex);
        if (!signalled)
            return false;
        if (!manual_reset)
            signalled = false;
        return true;
    }

    void add(Waiter* waiter) {
        std::lock_guard<std::mutex> guard(mutex);
        waiters.push_back(waiter);
    }

    void remove(Waiter* waiter) {
        std::lock_guard<std::mutex> guard(mutex);
        waiters.erase(std::remove(waiters.begin(), waiters.end(), waiter), waiters.end());
    }
};

Event::Event(bool manual_reset, bool initially_set) : impl_(new Impl) {
    impl_->manual_reset = manual_reset;
    impl_->signalled = initially_set;
}

Event::~Event() {
    delete impl_;
}

void Event::set() {
    std::lock_guard<std::mutex> guard(impl_->mutex);
    impl_->signalled = true;
    for (Waiter* waiter : impl_->waiters) {
        std::lock_guard<std::mutex> waiter_guard(waiter->mutex);
        waiter->notified = true;
        waiter->wake.notify_one();
    }
}

HANDLE Event::native_handle() const {
    return const_cast<Event*>(this);
}

void Event::reset() {
    std::lock_guard<std::mutex> guard(impl_->mutex);
    impl_->signalled = false;
}

namespace {

// Waits for the first of count events; returns its index or -1 on time-out.
int wait_any(Event::Impl* const* events, int count, uint32_t timeout_ms) {
    for (int i = 0; i < count; ++i)
        if (events[i]->try_take())
            return i;
    if (timeout_ms == 0)
        return -1;

    Waiter waiter;
    for (int i = 0; i < count; ++i)
        events[i]->add(&waiter);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    int taken = -1;
    for (;;) {
        // A set() between the check and the wait is not lost: it marks the
        // waiter notified under the waiter's mutex.
        for (int i = 0; i < count && taken < 0; ++i)
            if (events[i]->try_take())
                taken = i;
        if (taken >= 0)
            break;
        std::unique_lock<std::mutex> guard(waiter.mutex);
        if (timeout_ms == kWaitForever) {
            waiter.wake.wait(guard, [&] { return waiter.notified; });
        } else if (!waiter.wake.wait_until(guard, deadline, [&] { return waiter.notified; })) {
            break;
        }
        waiter.notified = false;
    }
    for (int i = 0; i < count; ++i)
        events[i]->remove(&waiter);
    return taken;
}

} // namespace

bool Event::wait(uint32_t timeout_ms) {
    Impl* one[1] = {impl_};
    return wait_any(one, 1, timeout_ms) == 0;
}

int wait_either(Event& first, Event& second, uint32_t timeout_ms) {
    Event::Impl* both[2] = {first.impl(), second.impl()};
    return wait_any(both, 2, timeout_ms);
}

} // namespace qp
