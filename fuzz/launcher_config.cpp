// Arbitrary bytes as "launcher.cfg". What the configuration sets is always
// an http or https address that the shell cannot take for anything else; a
// complaint is made for no more lines than there are; applying the text
// again changes nothing; and the settings written back as a configuration
// read back the same, without complaint.
#include <ctype.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "launcher_config.h"

namespace {

void require(bool condition) {
    if (!condition)
        abort();
}

bool starts_no_case(const std::string& text, const std::string& prefix) {
    if (text.size() <= prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

void require_web_address(const std::string& value) {
    require(starts_no_case(value, "http://") || starts_no_case(value, "https://"));
    for (unsigned char c : value)
        require(c > 0x20 && c != 0x7f && c != '"');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const launcher_settings defaults = default_launcher_settings();
    launcher_settings settings = defaults;
    std::vector<std::string> complaints;
    apply_launcher_config(text, &settings, &complaints);

    size_t lines = 0;
    for (size_t at = 0; at < text.size(); ++lines) {
        const size_t end = text.find('\n', at);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    require(complaints.size() <= lines);
    if (settings.launcher_page != defaults.launcher_page)
        require_web_address(settings.launcher_page);
    if (settings.home_page != defaults.home_page)
        require_web_address(settings.home_page);

    launcher_settings again = settings;
    std::vector<std::string> ignored;
    apply_launcher_config(text, &again, &ignored);
    require(again.launcher_page == settings.launcher_page && again.home_page == settings.home_page);
    require(ignored.size() == complaints.size());

    const std::string written =
        "launcher_page=" + settings.launcher_page + "\nhome_page=" + settings.home_page + "\n";
    launcher_settings back;
    std::vector<std::string> none;
    apply_launcher_config(written, &back, &none);
    require(none.empty());
    require(back.launcher_page == settings.launcher_page && back.home_page == settings.home_page);
    return 0;
}
