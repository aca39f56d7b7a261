// A test of the shared updater code: a run whose root path is a scratch
// installation folder (also the working directory), with its trace log open
// in it, every setting at its initial value, and a silent front-end that
// keeps what would be shown.
#ifndef QUILL_TESTS_UPDATE_COMMON_UPDATER_FIXTURE_H
#define QUILL_TESTS_UPDATE_COMMON_UPDATER_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"

class UpdaterTest : public ::testing::Test {
protected:
    UpdaterTest();

    // The lines of "report.txt" so far, without line ends.
    std::vector<std::string> log_lines() const;
    // True when the lines appear in the log in this order, each right after
    // the one before.
    bool log_has_run(const std::vector<std::string>& lines_in_order) const;
    bool log_has(const std::string& line) const { return log_has_run({line}); }

    quill_test::ScratchDir scratch;
    silent_front_end_C shown;
    logger_C log{shown};
    // A fixture may put a test clock in force after the run is made.
    quill_test::ClockInForceNow clock_in_force_now;
    update_run_C run{log, shown, clock_in_force_now};
};

#endif
