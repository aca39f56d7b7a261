#include "update/common/updater_fixture.h"

#include <algorithm>

UpdaterTest::UpdaterTest() {
    run.root_path = scratch.path();
    log.open_log_file(run.root_path, "report.txt");
}

std::vector<std::string> UpdaterTest::log_lines() const {
    // The Windows build writes the log in text mode.
    return quill_test::lines_of(quill_test::read_text_file("report.txt"));
}

bool UpdaterTest::log_has_run(const std::vector<std::string>& lines_in_order) const {
    const std::vector<std::string> lines = log_lines();
    return std::search(lines.begin(), lines.end(), lines_in_order.begin(), lines_in_order.end()) !=
           lines.end();
}
