// Watched programs through CreateProcessA and TerminateProcess.
#include "quill/platform/child_process.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qp {

struct ChildRecord {
    HANDLE process;
};

ChildHandle child_start(const char* path, const char* parameters) {
    // The program's name quoted, then the parameters unchanged: the child
    // reads them back byte for byte after its name.
    std::string line = std::string("\"") + path + "\"";
    if (parameters && parameters[0] != '\0')
        line += std::string(" ") + parameters;
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(path, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return nullptr;
    CloseHandle(started.hThread);
    return new ChildRecord{started.hProcess};
}

bool child_running(ChildHandle child) {
    return child && WaitForSingleObject(child->process, 0) == WAIT_TIMEOUT;
}

bool child_kill(ChildHandle child) {
    if (!child)
        return false;
    TerminateProcess(child->process, 1);
    WaitForSingleObject(child->process, INFINITE);
    CloseHandle(child->process);
    delete child;
    return true;
}

int child_wait(ChildHandle child) {
    if (!child)
        return -1;
    WaitForSingleObject(child->process, INFINITE);
    DWORD code = 0;
    const int result = GetExitCodeProcess(child->process, &code) ? static_cast<int>(code) : -1;
    CloseHandle(child->process);
    delete child;
    return result;
}

} // namespace qp
