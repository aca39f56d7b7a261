// A shell for the launcher's tests: it starts and opens nothing and keeps
// what it was asked, in order.
#ifndef QUILL_TESTS_LAUNCHER_RECORDING_SHELL_H
#define QUILL_TESTS_LAUNCHER_RECORDING_SHELL_H

#include <string>
#include <vector>

#include "CLauncherDlg.h"

class RecordingShell : public CLauncherShell {
public:
    // "program|parameters"
    void StartProgram(const char* program, const char* parameters) override {
        started.push_back(std::string(program) + "|" + parameters);
    }
    void OpenUrl(const char* url) override { opened.push_back(url); }
    std::vector<std::string> started;
    std::vector<std::string> opened;
};

#endif
