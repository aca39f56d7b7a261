#include "launcher_logic.h"

// Bounds match the artwork: the band is the picture's top part without its
// rim, the buttons are the three plates drawn on the strip.
const launcher_region g_drag_band = {13, 13, 483, 148};
const launcher_region g_start_button = {48, 356, 168, 381};
const launcher_region g_homepage_button = {186, 356, 308, 381};
const launcher_region g_quit_button = {325, 356, 447, 381};

launcher_button launcher_button_at(int x, int y) {
    if (g_start_button.contains(x, y))
        return button_start;
    if (g_homepage_button.contains(x, y))
        return button_homepage;
    if (g_quit_button.contains(x, y))
        return button_quit;
    return button_none;
}

int strip_bitmap_at(int x, int y) {
    switch (launcher_button_at(x, y)) {
    case button_start:
        return IDB_STRIP_START;
    case button_homepage:
        return IDB_STRIP_HOMEPAGE;
    case button_quit:
        return IDB_STRIP_QUIT;
    case button_none:
        break;
    }
    return IDB_STRIP_NORMAL;
}

launcher_point drag_window_position(launcher_point window, launcher_point drag_start,
                                    int x, int y) {
    return launcher_point{window.x - drag_start.x + x, window.y - drag_start.y + y};
}
