// A clock for tests: a fixed local date, a tick count that moves only when
// someone sleeps, and an optional hook called on every local-time read.
#ifndef QUILL_TESTS_TEST_CLOCK_H
#define QUILL_TESTS_TEST_CLOCK_H

#include <atomic>
#include <functional>

#include "quill/platform/clock.h"

namespace quill_test {

class TestClock : public qp::Clock {
public:
    TestClock();

    void set_date(int year, int month, int day);
    void set_time(int hour, int minute, int second);

    uint32_t tick_count() override { return ticks_.load(); }
    void local_time(SYSTEMTIME* out) override;
    void system_time(SYSTEMTIME* out) override { local_time(out); }
    void sleep(uint32_t ms) override { ticks_ += ms; }

    // Called at every local_time() read, before it returns.
    std::function<void()> on_local_time;

private:
    std::atomic<uint32_t> ticks_{1000};
    std::atomic<int> year_, month_, day_;
    std::atomic<int> hour_{12}, minute_{0}, second_{0};
};

// Puts a clock in force for the life of a scope.
class ClockInForce {
public:
    explicit ClockInForce(qp::Clock* clock) : previous_(qp::set_clock(clock)) {}
    ~ClockInForce() { qp::set_clock(previous_); }
    ClockInForce(const ClockInForce&) = delete;
    ClockInForce& operator=(const ClockInForce&) = delete;

private:
    qp::Clock* previous_;
};

// Whatever clock is in force at each call: for a run made before the test
// puts its own clock in force.
class ClockInForceNow : public qp::Clock {
public:
    uint32_t tick_count() override { return qp::clock().tick_count(); }
    void local_time(SYSTEMTIME* out) override { qp::clock().local_time(out); }
    void system_time(SYSTEMTIME* out) override { qp::clock().system_time(out); }
    void sleep(uint32_t ms) override { qp::clock().sleep(ms); }
};

} // namespace quill_test

#endif
