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
    const std::string text = quill_test::read_file("report.txt");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        // The Windows build writes the log in text mode.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool UpdaterTest::log_has_run(const std::vector<std::string>& run) const {
    const std::vector<std::string> lines = log_lines();
    return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
}
