// A bootstrap run in a scratch installation folder: a test clock whose
// sleeps pass at once (and can release a lock after a while of its time), a
// silent front-end, and the recorder installed as the launcher.
#ifndef QUILL_TESTS_BOOTSTRAP_BOOTSTRAP_FIXTURE_H
#define QUILL_TESTS_BOOTSTRAP_BOOTSTRAP_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"

// Calls a hook once its own time has run on by a given number of
// milliseconds of sleep.
class AlarmClock : public quill_test::TestClock {
public:
    void sleep(uint32_t ms) override;
    void set_alarm(uint32_t after_ms, std::function<void()> alarm);
    uint32_t slept() const { return slept_; }

private:
    uint32_t slept_ = 0;
    uint32_t alarm_at_ = 0;
    std::function<void()> alarm_;
};

class BootstrapTest : public ::testing::Test {
protected:
    BootstrapTest();
    ~BootstrapTest() override;

    // The lines of "report_rescue.txt", without line ends.
    std::vector<std::string> log_lines() const;
    bool log_has(const std::string& line) const;
    int log_count(const std::string& line) const;

    // What the launcher received, or "(not started)" when the recorder
    // wrote nothing within the time given.
    std::string launcher_parameters(unsigned timeout_ms = 30000) const;

    quill_test::ScratchDir scratch;
    AlarmClock clock;
    silent_front_end_C shown;

private:
    quill_test::ClockInForce clock_in_force_;
};

#endif
