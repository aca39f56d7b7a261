#include "dialog_aids.h"

#include <windows.h>

namespace qp {
namespace {

// Finds the calling thread's message box and presses its button.
BOOL CALLBACK close_if_message_box(HWND window, LPARAM) {
    char name[16];
    if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32770") == 0) {
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    return TRUE;
}

void CALLBACK close_message_box(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), close_if_message_box, 0);
}

} // namespace

int run_message_box(const char* text, const char* caption, unsigned type, long close_after_ms) {
    if (close_after_ms >= 0)
        SetTimer(nullptr, 0, static_cast<UINT>(close_after_ms), close_message_box);
    return MessageBoxA(nullptr, text, caption, type);
}

} // namespace qp
