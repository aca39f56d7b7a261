// The updater's window as a Win32 dialog from the program's resources
// (template 128, icon 132), with common-control progress bars.
#include "quill/platform/ui_updater.h"

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <atomic>

#include "quill/platform/thread.h"

namespace qp {
namespace {

const int kDialogTemplate = 128;
const int kIcon = 132;
const UINT kStartWorker = WM_USER + 1;

// Set by the dialog procedure on every message; read by the worker.
std::atomic<HWND> g_dialog{nullptr};
UpdaterWorker g_worker = nullptr;
void* g_worker_argument = nullptr;
ThreadHandle g_worker_thread = nullptr;
HANDLE g_worker_done = nullptr;
std::atomic<bool> g_closed_by_worker{false};
bool g_initialised = false;

void run_worker(void*) {
    g_worker(g_worker_argument);
    SetEvent(g_worker_done);
}

COLORREF colour_or_default(const UpdaterColour* colour) {
    return colour ? RGB(colour->red, colour->green, colour->blue) : CLR_DEFAULT;
}

void repaint(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM, LPARAM) {
    g_dialog = dialog;
    switch (message) {
    case WM_INITDIALOG: {
        g_initialised = true;
        HINSTANCE instance = GetModuleHandleA(nullptr);
        HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(kIcon));
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        // Themed progress bars draw the theme's colours and ignore the ones
        // the updater sets, so the bars and the lamp go unthemed. A blank,
        // not an empty string: an empty one means "the default theme".
        const int bars[] = {kUpdaterDownloadBar, kUpdaterListingBar, kUpdaterLamp};
        for (int id : bars)
            SetWindowTheme(GetDlgItem(dialog, id), L" ", L" ");
        repaint(dialog);
        ShowWindow(dialog, SW_SHOWNORMAL);
        SendMessageA(dialog, kStartWorker, 0, 0);
        return 0;
    }
    case kStartWorker:
        if (!g_worker_thread)
            g_worker_thread = thread_start(run_worker, nullptr);
        return 0;
    case WM_CLOSE:
        // Never wait for the worker here: it may itself be waiting for this
        // thread to take one of its messages.
        EndDialog(dialog, 0);
        return 0;
    }
    return 0;
}

// The worker's messages reach the dialog only while this thread handles
// messages, so it does so until the worker has returned.
void pump_until_worker_done() {
    for (;;) {
        const DWORD woke =
            MsgWaitForMultipleObjects(1, &g_worker_done, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    thread_join(g_worker_thread);
    g_worker_thread = nullptr;
}

HWND open_dialog() {
    HWND dialog = g_dialog.load();
    return dialog && IsWindow(dialog) ? dialog : nullptr;
}

HWND bar_of(int control) {
    HWND dialog = open_dialog();
    return dialog ? GetDlgItem(dialog, control) : nullptr;
}

} // namespace

UpdaterWindowEnd updater_window_run(UpdaterWorker worker, void* argument) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    g_worker = worker;
    g_worker_argument = argument;
    g_worker_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_closed_by_worker = false;
    g_initialised = false;

    // Without a display the dialog fails without a word: the template loads
    // but the window is never made.
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(kDialogTemplate), nullptr,
                                           dialog_procedure, 0);
    g_dialog = nullptr;
    if (result == -1 || !g_initialised || !g_worker_thread) {
        if (g_worker_thread)
            pump_until_worker_done();
        CloseHandle(g_worker_done);
        return g_initialised ? UpdaterWindowEnd::closed_by_player : UpdaterWindowEnd::no_window;
    }
    if (!g_closed_by_worker) {
        // The worker runs on unwatched; the caller ends the process.
        thread_detach(g_worker_thread);
        g_worker_thread = nullptr;
        return UpdaterWindowEnd::closed_by_player;
    }
    pump_until_worker_done();
    CloseHandle(g_worker_done);
    return UpdaterWindowEnd::closed_by_worker;
}

void updater_window_set_status(const char* text) {
    if (HWND dialog = open_dialog())
        SetDlgItemTextA(dialog, kUpdaterStatusLine, text);
}

void updater_window_set_bar_range(int control, int maximum) {
    if (HWND bar = bar_of(control)) {
        SendMessageA(bar, PBM_SETRANGE32, 0, maximum);
        SendMessageA(bar, PBM_SETSTEP, 1, 0);
        SendMessageA(bar, PBM_SETPOS, 0, 0);
    }
}

void updater_window_set_bar_colours(int control, const UpdaterColour* bar_colour,
                                    const UpdaterColour* background) {
    if (HWND bar = bar_of(control)) {
        SendMessageA(bar, PBM_SETBARCOLOR, 0, colour_or_default(bar_colour));
        SendMessageA(bar, PBM_SETBKCOLOR, 0, colour_or_default(background));
    }
}

void updater_window_step_bar(int control) {
    // PBM_STEPIT starts a full bar over from empty; a full bar stays full.
    if (HWND bar = bar_of(control)) {
        const LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
        const LRESULT maximum = SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
        if (position < maximum)
            SendMessageA(bar, PBM_STEPIT, 0, 0);
    }
}

void updater_window_repaint() {
    if (HWND dialog = open_dialog())
        repaint(dialog);
}

void updater_window_close() {
    if (HWND dialog = open_dialog()) {
        g_closed_by_worker = true;
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

void updater_message_box(const char* text) {
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}

} // namespace qp
