// What the GTK windows of the updater, the bootstrap and the launcher share
// (internal to the platform layer).
#ifndef QUILL_PLATFORM_POSIX_GTK_AIDS_H
#define QUILL_PLATFORM_POSIX_GTK_AIDS_H

#include <gtk/gtk.h>

#include <stddef.h>

namespace qp {

// A picture from the bytes of a built-in image file, with a reference of
// its own for the caller; null when GTK cannot read it.
GdkPixbuf* picture_from_bytes(const unsigned char* bytes, size_t size);

// A modal message dialog with one OK button, run to its end on the calling
// thread, which must be GTK's. parent may be null; close_after_ms >= 0
// answers it by itself after that long (for tests).
void run_message_dialog(GtkWindow* parent, GtkMessageType type, const char* title,
                        const char* text, bool centred, long close_after_ms = -1);

} // namespace qp

#endif
