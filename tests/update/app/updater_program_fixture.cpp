#include "updater_program_fixture.h"

#include <algorithm>

namespace updater_test {


std::string program(const std::string& name) {
    return quill_test::build_program(name + QUILL_TEST_PROGRAM_SUFFIX);
}

int run_in(const std::string& folder, const std::string& name, const std::string& parameters) {
    const std::string previous = qp::current_directory();
    qp::set_current_directory(folder.c_str());
#ifdef _WIN32
    // The program's run-time library splits the raw command line.
    const int code = qp::run_program(program(name).c_str(), parameters.c_str());
#else
    // Elsewhere the seam passes one argument on; the shell splits instead.
    const int status = system(("\"" + program(name) + "\" " + parameters).c_str());
    const int code = status == 0 ? 0 : (status >> 8 ? status >> 8 : -1);
#endif
    qp::set_current_directory(previous.c_str());
    return code;
}

bool download_in_progress(const std::string& folder) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".gz.") != std::string::npos && entry.file_size(ignored) > 100000)
            return true;
    }
    return false;
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

const std::vector<std::pair<std::string, std::string>> players_files = {
    {"install/pref_201274.txt", "the player's preferences"},
    {"install/saves.gz", "the player's saves"},
    {"install/notes.gz.old", "the player's notes"},
    {"install/data/my.cfg", "the player's settings"},
    {"install/screenshots/one.png", "a picture"},
    {"install/Desktop/letter.txt", "dear friend"},
};

void put_players_files() {
    for (const auto& file : players_files) {
        fs::create_directories(fs::path(file.first).parent_path());
        write_file(file.first, file.second);
    }
}

void expect_players_files(const char* when) {
    for (const auto& file : players_files)
        EXPECT_EQ(file.second, read_file(file.first)) << file.first << " " << when;
}

std::vector<std::pair<std::string, std::string>> snapshot(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).generic_string();
        if (name == "report.txt" || name == "ls.txt" || name == "ls_remote.txt" ||
            name == "version.txt" || name == "ls_static.txt" || name == "parameters.txt")
            continue;
        files.emplace_back(name, entry.is_directory() ? "/" : read_file(entry.path().string()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace updater_test
