// Where the launcher's mouse positions fall and what they make it do. Plain
// arithmetic on client coordinates in pixels, apart from any window system,
// so that the window code of every target shares one set of rules.
#ifndef QUILL_LAUNCHER_LAUNCHER_LOGIC_H
#define QUILL_LAUNCHER_LAUNCHER_LOGIC_H

// Resource numbers of the launcher's window.
enum {
    IDD_QUILLLAUNCHER_DIALOG = 102,
    IDB_BACKGROUND = 129,
    IDB_STRIP_NORMAL = 134,
    IDB_STRIP_START = 135,
    IDB_STRIP_QUIT = 136,
    IDB_STRIP_HOMEPAGE = 137,
    IDI_LAUNCHER = 138,
    IDC_BROWSER_PLACEHOLDER = 1009,
    IDC_BUTTON_STRIP = 1016,
    // The framework's id of a first pane, given to the embedded view.
    AFX_IDW_PANE_FIRST = 59648
};

// A rectangle whose bounds all belong to it.
struct launcher_region {
    int left, top, right, bottom;
    bool contains(int x, int y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
};

extern const launcher_region g_drag_band;
extern const launcher_region g_start_button;
extern const launcher_region g_homepage_button;
extern const launcher_region g_quit_button;

enum launcher_button { button_none, button_start, button_homepage, button_quit };

// The picture button under a client point, or button_none.
launcher_button launcher_button_at(int x, int y);
// The strip bitmap a pointer at that point shows: the button's highlighted
// strip, or the normal one anywhere else.
int strip_bitmap_at(int x, int y);

// A drag keeps the client point where it began under the pointer: the
// window's new screen position when the pointer is at client point (x, y).
struct launcher_point {
    int x, y;
};
launcher_point drag_window_position(launcher_point window, launcher_point drag_start,
                                    int x, int y);

#endif
