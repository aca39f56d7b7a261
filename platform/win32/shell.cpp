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

// The shell looks for a bare name beside the running program before the
// current directory; the launch chain means the current directory only.
std::string in_current_directory(const char* path) {
    char full[2 * MAX_PATH];
    const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return path;
    return std::string(full, length);
}

} // namespace

bool start_program(const char* path, const char* parameters) {
    return shell_open(in_current_directory(path).c_str(), parameters);
}

int run_program(const char* path, const char* parameters) {
    // The command line the program reads back: its name, a blank, the rest.
    std::string command_line = std::string("\"") + path + "\"";
    if (parameters && parameters[0] != '\0')
        command_line += std::string(" ") + parameters;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    const BOOL known = GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return known ? static_cast<int>(code) : -1;
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

std::string program_folder() {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string full(path, length);
    const size_t separator = full.find_last_of("\\/");
    if (separator == std::string::npos)
        return std::string();
    return full.substr(0, separator);
}

} // namespace qp
