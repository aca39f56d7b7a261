#include "CLauncherDlg.h"
#include "quill/platform/shell.h"

namespace {

class system_shell_C : public CLauncherShell {
public:
    void StartProgram(const char* program, const char* parameters) override {
        qp::start_program(program, parameters);
    }
    void OpenUrl(const char* url) override { qp::open_url(url); }
};

} // namespace

CLauncherShell& system_shell() {
    static system_shell_C shell;
    return shell;
}
