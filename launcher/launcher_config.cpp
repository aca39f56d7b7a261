#include "launcher_config.h"

#include <stdio.h>
#include <string.h>

#include "quill/platform/file.h"

#ifndef QUILL_LAUNCHER_PAGE_URL
#error "the build must define QUILL_LAUNCHER_PAGE_URL"
#endif
#ifndef QUILL_HOME_PAGE_URL
#error "the build must define QUILL_HOME_PAGE_URL"
#endif

const char* const g_launcher_config_name = "launcher.cfg";

namespace {

// A configuration is a few short lines; anything larger is not one.
const size_t kMaxConfigSize = 64 * 1024;

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool starts_with_no_case(const std::string& text, const char* prefix) {
    const size_t length = strlen(prefix);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

// The home page is opened through the shell, which would just as well run a
// program or open a local file: only web addresses may come from the file.
bool is_web_address(const std::string& value) {
    size_t rest;
    if (starts_with_no_case(value, "http://"))
        rest = 7;
    else if (starts_with_no_case(value, "https://"))
        rest = 8;
    else
        return false;
    if (value.size() == rest)
        return false;
    for (unsigned char c : value) {
        if (c < 0x20 || c == 0x7f || c == ' ' || c == '"')
            return false;
    }
    return true;
}

} // namespace

launcher_settings default_launcher_settings() {
    launcher_settings settings;
    settings.launcher_page = QUILL_LAUNCHER_PAGE_URL;
    settings.home_page = QUILL_HOME_PAGE_URL;
    return settings;
}

void apply_launcher_config(const std::string& text, launcher_settings* settings,
                           std::vector<std::string>* complaints) {
    size_t start = 0;
    // A byte order mark from an editor is no part of the first key.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    int number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        const size_t equals = line.find('=');
        const std::string where = std::string(g_launcher_config_name) + " line " +
                                  std::to_string(number) + ": ";
        if (equals == std::string::npos) {
            complaints->push_back(where + "no '=', ignored");
            continue;
        }
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        std::string* target = nullptr;
        if (key == "launcher_page")
            target = &settings->launcher_page;
        else if (key == "home_page")
            target = &settings->home_page;
        if (!target) {
            complaints->push_back(where + "unknown key \"" + key + "\", ignored");
            continue;
        }
        if (!is_web_address(value)) {
            complaints->push_back(where + key + " is not an http or https address, ignored");
            continue;
        }
        *target = value;
    }
}

bool load_launcher_config(const std::string& folder, launcher_settings* settings,
                          std::vector<std::string>* complaints) {
    const std::string path =
        folder.empty() ? std::string(g_launcher_config_name) : folder + "\\" + g_launcher_config_name;
    if (!qp::path_exists(path.c_str()))
        return true;
    FILE* stream = qp::open_stream(path.c_str(), "rb");
    if (!stream) {
        complaints->push_back(path + ": cannot be read");
        return false;
    }
    std::string text;
    char chunk[4096];
    size_t got;
    bool too_large = false;
    while ((got = fread(chunk, 1, sizeof chunk, stream)) > 0) {
        if (text.size() + got > kMaxConfigSize) {
            too_large = true;
            break;
        }
        text.append(chunk, got);
    }
    const bool failed = ferror(stream) != 0;
    fclose(stream);
    if (too_large || failed) {
        complaints->push_back(path + (too_large ? ": too large for a configuration, ignored"
                                                : ": read failed, ignored"));
        return false;
    }
    apply_launcher_config(text, settings, complaints);
    return true;
}
