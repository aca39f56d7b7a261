// A test of the shared updater code: a scratch installation folder as root
// path and working directory, its trace log open in it, every setting at
// its initial value, and a silent front-end that keeps what would be shown.
#ifndef QUILL_TESTS_UPDATE_COMMON_UPDATER_FIXTURE_H
#define QUILL_TESTS_UPDATE_COMMON_UPDATER_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "support/scratch_dir.h"

class UpdaterTest : public ::testing::Test {
protected:
    UpdaterTest();
    ~UpdaterTest() override;

    // The lines of "report.txt" so far, without line ends.
    std::vector<std::string> log_lines() const;
    // True when the lines appear in the log in this order, each right after
    // the one before.
    bool log_has_run(const std::vector<std::string>& run) const;
    bool log_has(const std::string& line) const { return log_has_run({line}); }

    quill_test::ScratchDir scratch;
    silent_front_end_C shown;

private:
    front_end_C* previous_front_end_;
};

#endif
