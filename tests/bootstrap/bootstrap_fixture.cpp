#include "bootstrap/bootstrap_fixture.h"

#include <algorithm>

#include "bootstrap/bootstrap_run.h"
#include "bootstrap/do_client_update_update.h"
#include "support/programs.h"

void AlarmClock::sleep(uint32_t ms) {
    TestClock::sleep(ms);
    slept_ += ms;
    if (alarm_ && slept_ >= alarm_at_) {
        std::function<void()> alarm;
        alarm.swap(alarm_);
        alarm();
    }
}

void AlarmClock::set_alarm(uint32_t after_ms, std::function<void()> alarm) {
    alarm_at_ = slept_ + after_ms;
    alarm_ = std::move(alarm);
}

BootstrapTest::BootstrapTest() : clock_in_force_(&clock) {
    g_replacement_begun = false;
    quill_test::install_program(quill_test::recorder_program(), g_launcher_name);
}

BootstrapTest::~BootstrapTest() {
    g_replacement_begun = false;
}

std::vector<std::string> BootstrapTest::log_lines() const {
    return quill_test::lines_of(quill_test::read_text_file("report_rescue.txt"));
}

bool BootstrapTest::log_has(const std::string& line) const {
    return log_count(line) > 0;
}

int BootstrapTest::log_count(const std::string& line) const {
    const std::vector<std::string> lines = log_lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

std::string BootstrapTest::launcher_parameters(unsigned timeout_ms) const {
    return quill_test::recorded_parameters("parameters.txt", timeout_ms);
}
