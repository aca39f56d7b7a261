// What the GTK windows of the updater, the bootstrap and the launcher share
// (internal to the platform layer).
#ifndef QUILL_PLATFORM_POSIX_GTK_AIDS_H
#define QUILL_PLATFORM_POSIX_GTK_AIDS_H

#include <gtk/gtk.h>

#include <stddef.h>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace qp {

// A picture from the bytes of a built-in image file, with a reference of
// its own for the caller; null when GTK cannot read it.
GdkPixbuf* picture_from_bytes(const unsigned char* bytes, size_t size);

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
