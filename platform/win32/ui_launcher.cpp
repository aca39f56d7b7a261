// The launcher's window on Windows: a dialog of the program's resources with
// the system's WebBrowser control in place, hosted through COM by the small
// site object of browser_site.h. Where the control cannot be made or cannot
// show the page, the dialog still runs with its pictures and buttons.
#include "quill/platform/ui_launcher.h"

#include "../common/ui_launcher_aids.h"
#include "browser_site.h"
#include "dialog_aids.h"

// The platform's types bring <winsock2.h>, which must come before <windows.h>.
#include "quill/platform/text.h"

#include <windows.h>
#include <ole2.h>
#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qp {

namespace {

const UINT_PTR kTestClickTimer = 1;

class win32_launcher_window : public launcher_window {
public:
    win32_launcher_window(const launcher_template& dialog, launcher_events& events)
        : dialog_(dialog), events_(events) {}

    ~win32_launcher_window() override {
        delete site_;
        for (auto& entry : bitmaps_)
            DeleteObject(entry.second);
        if (big_icon_)
            DestroyIcon(big_icon_);
        if (small_icon_)
            DestroyIcon(small_icon_);
    }

    int run();

    void add_system_menu() override {
        SetWindowLongPtrA(window_, GWL_STYLE, GetWindowLongPtrA(window_, GWL_STYLE) | WS_SYSMENU);
    }

    bool control_rect(int control, launcher_rect* out) override {
        HWND child = GetDlgItem(window_, control);
        RECT place;
        if (!child || !GetWindowRect(child, &place))
            return false;
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
        *out = launcher_rect{place.left, place.top, place.right - place.left,
                             place.bottom - place.top};
        return true;
    }

    bool create_web_view(const launcher_rect& rect, int) override {
        if (site_)
            return true;
        const RECT place = {rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
        site_ = new browser_site(window_, events_);
        if (!site_->create(place)) {
            delete site_;
            site_ = nullptr;
            return false;
        }
        return true;
    }

    bool navigate(const char* url) override { return site_ && site_->navigate(url); }

    void set_title(const char* title) override { SetWindowTextA(window_, title); }

    void set_icon(int icon) override {
        HINSTANCE module = GetModuleHandleA(nullptr);
        big_icon_ = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXICON),
                                                  GetSystemMetrics(SM_CYICON), 0));
        small_icon_ = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), 0));
        if (!big_icon_ || !small_icon_)
            events_.on_log("the window icon is missing");
        if (big_icon_)
            SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
        if (small_icon_)
            SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
    }

    bool load_bitmap(int bitmap) override {
        if (bitmaps_.count(bitmap))
            return true;
        HBITMAP loaded = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmap));
        if (!loaded)
            return false;
        bitmaps_[bitmap] = loaded;
        return true;
    }

    void show_bitmap(int control, int bitmap) override {
        auto loaded = bitmaps_.find(bitmap);
        if (loaded == bitmaps_.end())
            return;
        // Setting the picture it already shows would only make it flicker.
        if (shown_[control] == bitmap)
            return;
        shown_[control] = bitmap;
        SendDlgItemMessageA(window_, control, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(loaded->second));
    }

    void get_position(int* x, int* y) override {
        RECT place{};
        GetWindowRect(window_, &place);
        *x = place.left;
        *y = place.top;
    }

    void move_to(int x, int y) override {
        SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void update_now() override {
        UpdateWindow(window_);
        RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW);
    }

    void post_quit() override { EndDialog(window_, IDOK); }

private:
    const launcher_template& dialog_;
    launcher_events& events_;
    HWND window_ = nullptr;
    browser_site* site_ = nullptr;
    std::map<int, HBITMAP> bitmaps_;
    std::map<int, int> shown_;
    HICON big_icon_ = nullptr;
    HICON small_icon_ = nullptr;
    std::vector<std::pair<int, int>> test_clicks_;
    size_t next_click_ = 0;

    void lay_out();
    void read_test_clicks();
    void post_next_test_click();
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
};

// The template is in dialog units, whose size follows the dialog's font as
// the system has it. The pictures and their click areas are pixels, so the
// controls are put where the pixel layout wants them.
void win32_launcher_window::lay_out() {
    RECT frame = {0, 0, dialog_.width, dialog_.height};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE));
    const DWORD extended = static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE));
    AdjustWindowRectEx(&frame, style, FALSE, extended);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    HWND child = GetWindow(window_, GW_CHILD);
    for (size_t i = 0; i < dialog_.control_count && child; ++i) {
        const launcher_control& control = dialog_.controls[i];
        SetWindowPos(child, nullptr, control.left, control.top, control.width, control.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (control.id != 0)
            shown_[control.id] = control.bitmap;
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

void win32_launcher_window::read_test_clicks() {
    test_clicks_ = launcher_test_clicks();
}

void win32_launcher_window::post_next_test_click() {
    if (next_click_ >= test_clicks_.size()) {
        KillTimer(window_, kTestClickTimer);
        return;
    }
    const std::pair<int, int> point = test_clicks_[next_click_++];
    const LPARAM where = MAKELPARAM(point.first, point.second);
    PostMessageA(window_, WM_MOUSEMOVE, 0, where);
    PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(window_, WM_LBUTTONUP, 0, where);
}

INT_PTR CALLBACK win32_launcher_window::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<win32_launcher_window*>(GetWindowLongPtrA(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        self = reinterpret_cast<win32_launcher_window*>(l);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
        self->lay_out();
        self->events_.on_init_dialog(*self);
        self->read_test_clicks();
        if (!self->test_clicks_.empty())
            SetTimer(window, kTestClickTimer, 100, nullptr);
        return TRUE;
    case WM_MOUSEMOVE:
        if (self)
            self->events_.on_mouse_move(static_cast<short>(LOWORD(l)),
                                        static_cast<short>(HIWORD(l)));
        return TRUE;
    case WM_LBUTTONDOWN:
        if (self)
            self->events_.on_left_button_down(static_cast<short>(LOWORD(l)),
                                              static_cast<short>(HIWORD(l)));
        return TRUE;
    case WM_LBUTTONUP:
        if (self)
            self->events_.on_left_button_up(static_cast<short>(LOWORD(l)),
                                            static_cast<short>(HIWORD(l)));
        return TRUE;
    case WM_TIMER:
        if (self && w == kTestClickTimer) {
            self->post_next_test_click();
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        // Enter and Escape end the dialog, as in any dialog.
        if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
            EndDialog(window, LOWORD(w));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(window, IDCANCEL);
        return TRUE;
    case WM_DESTROY:
        if (self && self->site_)
            self->site_->destroy();
        return FALSE;
    default:
        return FALSE;
    }
}

int win32_launcher_window::run() {
    // The browser control needs OLE on this thread, and the single-threaded
    // apartment that OleInitialize gives.
    const HRESULT ole = OleInitialize(nullptr);
    if (FAILED(ole))
        events_.on_log(hresult_text("OLE cannot be started; no launcher page", ole).c_str());
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(dialog_.id), nullptr, procedure,
                                           reinterpret_cast<LPARAM>(this));
    if (site_) {
        site_->destroy();
        delete site_;
        site_ = nullptr;
    }
    if (SUCCEEDED(ole))
        OleUninitialize();
    if (result == -1) {
        char line[96];
        snprintf(line, sizeof line, "the launcher window cannot be made (error %lu)",
                 static_cast<unsigned long>(GetLastError()));
        events_.on_log(line);
        return -1;
    }
    return 0;
}

} // namespace

int run_launcher_dialog(const launcher_template& dialog, launcher_events& events) {
    win32_launcher_window window(dialog, events);
    return window.run();
}

void launcher_message_box(const char* text, const char* caption) {
    run_message_box(text, caption, MB_OK | MB_ICONEXCLAMATION,
                    launcher_test_delay("QUILL_TEST_MESSAGE_BOX_MS"));
}

} // namespace qp
