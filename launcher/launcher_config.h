// Where the launcher's two web pages are. Each deployment has its own: the
// build gives defaults, and a "launcher.cfg" beside the program, published
// with the game tree, overrides them with lines of the form key=value:
//
//   launcher_page=http://www.example.com/launcher/
//   home_page=http://www.example.com/
//
// Blank lines and lines starting with '#' or ';' are ignored.
#ifndef QUILL_LAUNCHER_LAUNCHER_CONFIG_H
#define QUILL_LAUNCHER_LAUNCHER_CONFIG_H

#include <string>
#include <vector>

extern const char* const g_launcher_config_name;

struct launcher_settings {
    std::string launcher_page;
    std::string home_page;
};

// The addresses the build was configured with.
launcher_settings default_launcher_settings();

// Applies the lines of a configuration text. A line that names no known
// key, has no '=', or gives an address that is not an http or https URL
// changes nothing and adds a complaint for the log; the other lines still
// apply, the last one of a key winning.
void apply_launcher_config(const std::string& text, launcher_settings* settings,
                           std::vector<std::string>* complaints);

// Reads folder/"launcher.cfg" into settings when the file exists. False,
// with a complaint, only when it exists and cannot be read or is too large
// to be a configuration; settings then stay as they were.
bool load_launcher_config(const std::string& folder, launcher_settings* settings,
                          std::vector<std::string>* complaints);

#endif
