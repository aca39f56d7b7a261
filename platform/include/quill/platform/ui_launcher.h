// The launcher's window: a fixed picture with the launcher web page embedded
// over a placeholder and a strip of picture buttons below it. The launcher's
// dialog class drives it through launcher_window and hears of the user's
// mouse through launcher_events; the window system stays behind this header.
#ifndef QUILL_PLATFORM_UI_LAUNCHER_H
#define QUILL_PLATFORM_UI_LAUNCHER_H

#include <stddef.h>

#include <string>

namespace qp {

// A rectangle in client pixels: its top left corner and its size.
struct launcher_rect {
    int left, top, width, height;
};

// One control of the dialog, placed in client pixels. A bitmap control
// shows the bitmap resource `bitmap` at the bitmap's own size; a placeholder
// is an invisible static that only lends its rectangle.
struct launcher_control {
    int id; // 0 for a control the dialog never addresses
    enum kind_t { bitmap_control, placeholder_control } kind;
    int left, top, width, height;
    int bitmap;
};

// A bitmap or icon compiled into the program.
struct launcher_resource {
    int id;
    const unsigned char* data; // a .bmp or .ico file's bytes
    size_t size;
};

// The dialog's layout in pixels. The hit areas of the picture buttons are
// pixel areas of the artwork, so the window keeps this layout whatever
// font sizes the system gives to dialog units. On Windows the dialog itself
// comes from the template `id` of the program's resources (QuillLauncher.rc),
// controls in the same order, and is then put into this layout; resources
// are used only where the system has no resource section (elsewhere).
struct launcher_template {
    int id;
    int width, height; // client size
    const launcher_control* controls;
    size_t control_count;
    const launcher_resource* resources;
    size_t resource_count;
};

// What the dialog may ask of its window while it runs.
class launcher_window {
public:
    virtual ~launcher_window() = default;
    // Gives the window the system menu, so the taskbar button offers one.
    virtual void add_system_menu() = 0;
    // The rectangle of a template control in client pixels. False when the
    // template has no such control.
    virtual bool control_rect(int control, launcher_rect* out) = 0;
    // Creates the embedded browser as a visible child over rect, with the
    // child id given. False, with the reason logged, when the system cannot
    // embed a browser; the window goes on without it.
    virtual bool create_web_view(const launcher_rect& rect, int id) = 0;
    // Starts loading url in the embedded browser: no flags, no target frame,
    // no post data, no extra headers. False when there is no browser or the
    // request was refused at once; a later failure of the page is logged.
    virtual bool navigate(const char* url) = 0;
    virtual void set_title(const char* title) = 0;
    // Makes the icon resource the window's big and small icon.
    virtual void set_icon(int icon) = 0;
    // Loads a bitmap resource for show_bitmap. False when it is missing.
    virtual bool load_bitmap(int bitmap) = 0;
    // Shows a loaded bitmap in a bitmap control.
    virtual void show_bitmap(int control, int bitmap) = 0;
    // The window's outer top left corner on the screen, and moving it there
    // without resizing it.
    virtual void get_position(int* x, int* y) = 0;
    virtual void move_to(int x, int y) = 0;
    // Repaints whatever is pending at once.
    virtual void update_now() = 0;
    // Ends the dialog's message loop after the events being handled.
    virtual void post_quit() = 0;
};

// What the window reports to the dialog. Points are client pixels.
class launcher_events {
public:
    virtual ~launcher_events() = default;
    // The window and its controls exist but are not yet shown.
    virtual void on_init_dialog(launcher_window& window) = 0;
    // Also called when the pointer enters the window, which is all some
    // systems report of a pointer that jumped there.
    virtual void on_mouse_move(int x, int y) = 0;
    virtual void on_left_button_down(int x, int y) = 0;
    virtual void on_left_button_up(int x, int y) = 0;
    // A line for the program's log: why the browser is missing, a page that
    // failed to load.
    virtual void on_log(const char* text) = 0;
};

// Shows the dialog of the template and runs its message loop until the
// dialog ends. 0 when it ran; -1, with the reason given to events.on_log,
// when no window could be made (no display, a missing template).
//
// Test aid: when the environment variable QUILL_TEST_LAUNCHER_CLICKS holds
// "x,y;x,y;...", those client points are clicked (a move, a press and a
// release each) through the window's own event path once it is shown.
int run_launcher_dialog(const launcher_template& dialog, launcher_events& events);

// A modal message box without owner and with an OK button, captioned with
// the caption given. Returns when the user closed it.
//
// Test aid: when the environment variable QUILL_TEST_MESSAGE_BOX_MS holds a
// number, the box closes by itself after that many milliseconds.
void launcher_message_box(const char* text, const char* caption);

} // namespace qp

#endif
