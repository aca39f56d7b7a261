// Programs and web pages through the shell's default verb.
#include "quill/platform/shell.h"

#include <windows.h>

#include <shellapi.h>

namespace qp {

namespace {

// ShellExecuteA reports success as a value above 32.
bool shell_open(const char* file, const char* parameters) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, nullptr, file, parameters, "", SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool start_program(const char* path, const char* parameters) {
    return shell_open(path, parameters);
}

bool open_url(const char* url) {
    return shell_open(url, nullptr);
}

std::string command_line_parameters(int, char**) {
    const unsigned char* text = reinterpret_cast<const unsigned char*>(GetCommandLineA());
    if (!text)
        return std::string();
    if (*text == '"') {
        ++text;
        while (*text && *text != '"')
            ++text;
        if (*text == '"')
            ++text;
    } else {
        while (*text > ' ')
            ++text;
    }
    while (*text && *text <= ' ')
        ++text;
    return std::string(reinterpret_cast<const char*>(text));
}

} // namespace qp
