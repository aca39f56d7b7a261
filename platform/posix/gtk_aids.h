// What the GTK windows of the updater, the bootstrap and the launcher share
// (internal to the platform layer).
#ifndef QUILL_PLATFORM_POSIX_GTK_AIDS_H
#define QUILL_PLATFORM_POSIX_GTK_AIDS_H

#include <gtk/gtk.h>

#include <stddef.h>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "quill/platform/colour.h"

namespace qp {

// A picture from the bytes of a built-in image file, with a reference of
// its own for the caller; null when GTK cannot read it.
GdkPixbuf* picture_from_bytes(const unsigned char* bytes, size_t size);

// The small windows are laid out as their Windows dialogs, in dialog units
// of two pixels.
const int kPixelsPerDialogUnit = 2;

// A top-level window that keeps its size, centred on the screen, with the
// icon of the built-in image bytes when GTK can read them.
GtkWidget* new_dialog_window(const unsigned char* icon, size_t icon_size);
// The fixed layout of such a window, width by height dialog units.
GtkWidget* new_dialog_layout(GtkWidget* window, int width, int height);
// Puts a widget at x, y in a dialog layout, width by height dialog units.
void place_in_dialog(GtkWidget* layout, GtkWidget* widget, int x, int y, int width, int height);
// A label whose text has the size given in points.
void set_label_points(GtkWidget* label, int points);
// The colour cairo paints with next.
void set_cairo_colour(cairo_t* cr, const Colour& colour);

// A modal message dialog with one OK button, run to its end on the calling
// thread, which must be GTK's. parent may be null; close_after_ms >= 0
// answers it by itself after that long (for tests).
void run_message_dialog(GtkWindow* parent, GtkMessageType type, const char* title,
                        const char* text, bool centred, long close_after_ms = -1);

// Hands work from other threads to GTK's thread. While open, run() carries
// an action out there and waits for it, as a sent message does, and post()
// queues a callback without waiting. Once closed nothing more runs and
// nobody waits. Both go in at idle priority, below the redraw's, so a
// thread that keeps asking still lets the window show what it asked for.
class WindowThread {
public:
    void open();
    // Also wakes every run() still waiting; their actions are dropped.
    void close();
    bool is_open();
    void run(std::function<void()> action);
    // Queues function(data) on GTK's thread; nothing while closed.
    void post(GSourceFunc function, gpointer data);

private:
    struct Request;
    static gboolean carry_out(gpointer data);

    std::mutex lock_;
    std::condition_variable changed_;
    bool open_ = false;
};

} // namespace qp

#endif
