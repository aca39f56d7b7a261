#include "update/common/updater_fixture.h"

#include <algorithm>

#include "common/logger_C.h"
#include "common/settings.h"

UpdaterTest::UpdaterTest() : previous_front_end_(set_front_end(&shown)) {
    reset_settings();
    g_root_path = scratch.path();
    process_log().close_log_file();
    process_log().open_log_file(g_root_path, "report.txt");
}

UpdaterTest::~UpdaterTest() {
    process_log().close_log_file();
    reset_settings();
    set_front_end(previous_front_end_);
}

std::vector<std::string> UpdaterTest::log_lines() const {
    // The Windows build writes the log in text mode.
    return quill_test::lines_of(quill_test::read_text_file("report.txt"));
}

bool UpdaterTest::log_has_run(const std::vector<std::string>& run) const {
    const std::vector<std::string> lines = log_lines();
    return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
}
