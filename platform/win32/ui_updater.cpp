// The updater's window as a Win32 dialog from the program's resources
// (template 128, icon 132), with common-control progress bars.
#include "quill/platform/ui_updater.h"

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <atomic>

#include "dialog_aids.h"
#include "../common/system_windows.h"

#include "quill/platform/thread.h"
#include "quill/platform/updater_window_state.h"

namespace qp {
namespace {

const int kDialogTemplate = 128;
const int kIcon = 132;
const UINT kStartWorker = WM_USER + 1;
// The worker changed what the window shows (see updater_window_state.h).
const UINT kRefresh = WM_USER + 2;
// While the worker keeps changing things the dialog takes them at this
// pace: often enough to look smooth, seldom enough to cost nothing.
const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMs = 40;

// Set by the dialog procedure on every message; read by the worker.
std::atomic<HWND> g_dialog{nullptr};
UpdaterWorker g_worker = nullptr;
void* g_worker_argument = nullptr;
ThreadHandle g_worker_thread = nullptr;
HANDLE g_worker_done = nullptr;
std::atomic<bool> g_closed_by_worker{false};
bool g_initialised = false;
bool g_ended = false; // the dialog's loop stops after the message at hand
UpdaterWindowState g_state;

void run_worker(void*) {
    g_worker(g_worker_argument);
    SetEvent(g_worker_done);
}

COLORREF colour_or_default(bool has, const Colour& colour) {
    return has ? RGB(colour.red, colour.green, colour.blue) : CLR_DEFAULT;
}

void repaint(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// On the dialog's thread: the controls take what changed since the last
// refresh. Messages to the dialog's own controls are plain calls here.
// False when nothing had changed.
bool refresh(HWND dialog) {
    const UpdaterWindowTake taken = g_state.take();
    if (taken.changed == 0)
        return false;
    if (taken.has(kChangedStatus))
        SetDlgItemTextA(dialog, kUpdaterStatusLine, taken.status.c_str());
    for (int i = 0; i < 3; ++i) {
        HWND bar = GetDlgItem(dialog, kUpdaterBars[i]);
        const UpdaterBarState& state = taken.bars[i];
        if (taken.has(kChangedRange, i)) {
            SendMessageA(bar, PBM_SETRANGE32, 0, state.maximum);
            SendMessageA(bar, PBM_SETSTEP, 1, 0);
        }
        if (taken.has(kChangedColours, i)) {
            SendMessageA(bar, PBM_SETBARCOLOR, 0,
                         colour_or_default(state.has_bar_colour, state.bar_colour));
            SendMessageA(bar, PBM_SETBKCOLOR, 0,
                         colour_or_default(state.has_background, state.background));
        }
        if (taken.has(kChangedPosition, i))
            SendMessageA(bar, PBM_SETPOS, state.position, 0);
    }
    if (taken.has(kChangedRepaint))
        repaint(dialog);
    if (taken.has(kChangedClose)) {
        g_closed_by_worker = true;
        g_ended = true;
    }
    return true;
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
        for (int id : kUpdaterBars)
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
    case kRefresh:
        if (refresh(dialog))
            SetTimer(dialog, kRefreshTimer, kRefreshMs, nullptr);
        return 0;
    case WM_TIMER:
        if (!refresh(dialog))
            KillTimer(dialog, kRefreshTimer);
        return 0;
    case WM_CLOSE:
        // Never wait for the worker here: it may itself be waiting for this
        // thread to take one of its messages.
        g_ended = true;
        return 0;
    }
    return 0;
}

// The worker's message boxes need this thread to handle messages, so it does
// so until the worker has returned.
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

// Never waits: the change is in g_state already, and the dialog takes it
// with every other change made until its thread gets to them.
void wake_dialog(bool needed) {
    if (!needed)
        return;
    if (HWND dialog = open_dialog())
        PostMessageA(dialog, kRefresh, 0, 0);
}

// A GUI program has no console to fall back on: without its window the
// player would see nothing at all.
void tell_window_failed(DWORD error) {
    char text[160];
    wsprintfA(text, "Quill Update could not open its window (error %lu).",
              static_cast<unsigned long>(error));
    run_message_box(text, "Quill Update", MB_OK | MB_ICONERROR);
}

} // namespace

// The dialog runs in a loop of its own rather than in DialogBoxParamA, so
// that ending it does not hide it: under an X server without a window
// manager, Wine waits two seconds for the hidden window to be withdrawn,
// and the updater must be gone at once after it started "ClientApp.exe"
// (which replaces it). The window goes with the process a moment later;
// without an owner, a modal dialog disables nothing, so the loop is all the
// difference.
UpdaterWindowEnd updater_system_window::run(UpdaterWorker worker, void* argument) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    g_worker = worker;
    g_worker_argument = argument;
    g_worker_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_closed_by_worker = false;
    g_initialised = false;
    g_ended = false;
    g_state.reset();

    SetLastError(0);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDialogTemplate),
                                     nullptr, dialog_procedure, 0);
    const DWORD error = GetLastError();
    if (dialog) {
        MSG message;
        while (!g_ended && GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageA(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    g_dialog = nullptr;
    if (!dialog || !g_initialised || !g_worker_thread) {
        if (g_worker_thread)
            pump_until_worker_done();
        CloseHandle(g_worker_done);
        if (g_initialised)
            return UpdaterWindowEnd::closed_by_player;
        tell_window_failed(error);
        return UpdaterWindowEnd::not_shown;
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

updater_system_window::updater_system_window() : posting_updater_window(g_state) {}

void updater_system_window::wake(bool needed) {
    wake_dialog(needed);
}

void updater_system_window::message_box(const char* text) {
    run_message_box(text, nullptr, MB_OK);
}

updater_window& system_updater_window() {
    static updater_system_window window;
    return window;
}

} // namespace qp
