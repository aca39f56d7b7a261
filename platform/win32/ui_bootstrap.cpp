// The bootstrap's window as a Win32 dialog from the program's resources
// (template 128, banner bitmap 131).
#include "../common/system_windows.h"

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <atomic>

#include "dialog_aids.h"

#include "quill/platform/thread.h"

namespace qp {
namespace {

const int kDialogTemplate = 128;
const UINT kWorkDone = WM_APP + 1;

// The open dialog, null before and after the run.
std::atomic<HWND> g_dialog{nullptr};

struct Run {
    BootstrapWork work;
    void* argument;
    ThreadHandle thread;
};

void run_work(void* data) {
    Run* run = static_cast<Run*>(data);
    run->work(run->argument);
    PostMessageA(g_dialog.load(), kWorkDone, 0, 0);
}

INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM, LPARAM parameter) {
    switch (message) {
    case WM_INITDIALOG: {
        g_dialog = dialog;
        // A themed progress bar draws the theme's colours and ignores the
        // lamp's. A blank theme name switches theming off; an empty one
        // would mean "the default theme".
        SetWindowTheme(GetDlgItem(dialog, kBootstrapLamp), L" ", L" ");
        ShowWindow(dialog, SW_SHOWNORMAL);
        SetDlgItemTextA(dialog, kBootstrapStatusLine, "Initialize..");
        // The work runs on its own thread so that this one keeps painting
        // through the retry pauses and the blinking.
        Run* run = reinterpret_cast<Run*>(parameter);
        run->thread = thread_start(run_work, run);
        if (!run->thread)
            EndDialog(dialog, 0);
        return TRUE;
    }
    case kWorkDone:
        EndDialog(dialog, 1);
        return TRUE;
    case WM_CLOSE:
    case WM_COMMAND:
        // Escape, Alt+F4 and Enter do nothing: a swap stopped half-way
        // would leave no updater at all.
        return TRUE;
    }
    return FALSE;
}

} // namespace

bool bootstrap_system_window::run(BootstrapWork work, void* argument) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Run run{work, argument, nullptr};
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDialogTemplate), nullptr,
                        dialog_procedure, reinterpret_cast<LPARAM>(&run));
    g_dialog = nullptr;
    if (run.thread)
        thread_join(run.thread);
    return result == 1;
}

void bootstrap_system_window::set_status(const char* text) {
    if (HWND dialog = g_dialog.load())
        SetDlgItemTextA(dialog, kBootstrapStatusLine, text);
}

void bootstrap_system_window::set_lamp(const Colour& colour) {
    HWND dialog = g_dialog.load();
    if (!dialog)
        return;
    HWND lamp = GetDlgItem(dialog, kBootstrapLamp);
    const COLORREF shown = RGB(colour.red, colour.green, colour.blue);
    SendMessageA(lamp, PBM_SETBARCOLOR, 0, shown);
    SendMessageA(lamp, PBM_SETBKCOLOR, 0, shown);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::string bootstrap_system_window::status() {
    HWND dialog = g_dialog.load();
    if (!dialog)
        return std::string();
    char text[512];
    const UINT length = GetDlgItemTextA(dialog, kBootstrapStatusLine, text, sizeof text);
    return std::string(text, length);
}

bool bootstrap_system_window::message_box(const char* text, const char* caption) {
    return run_message_box(text, caption, MB_OK) != 0;
}

bootstrap_window& system_bootstrap_window() {
    static bootstrap_system_window window;
    return window;
}

} // namespace qp
