// What the Windows dialogs of the updater, the bootstrap and the launcher
// share (internal to the platform layer).
#ifndef QUILL_PLATFORM_WIN32_DIALOG_AIDS_H
#define QUILL_PLATFORM_WIN32_DIALOG_AIDS_H

namespace qp {

// A modal message box without owner, of the MB_* type given, run to its end
// on the calling thread. A null caption is the system's default one.
// close_after_ms >= 0 presses its button by itself after that long (for
// tests). Returns what the box answered: 0 when it could not be shown.
int run_message_box(const char* text, const char* caption, unsigned type,
                    long close_after_ms = -1);

} // namespace qp

#endif
