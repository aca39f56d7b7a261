// The updater's GTK window is a module of its own, loaded only when a
// window is to be shown: a run in text form, or without a display, never
// pays for loading GTK and the libraries it brings. The module sits beside
// the program and hands out its calls through one entry point (internal to
// the platform layer).
#ifndef QUILL_PLATFORM_POSIX_UPDATER_WINDOW_MODULE_H
#define QUILL_PLATFORM_POSIX_UPDATER_WINDOW_MODULE_H

#include "quill/platform/ui_updater.h"

namespace qp {

// The file beside the program.
const char kUpdaterWindowModule[] = "libquill_updater_window.so";

// The window's calls, with the meaning of those of ui_updater.h. A module
// with other calls gets another entry name, so a program never takes calls
// it does not know.
struct UpdaterWindowCalls {
    UpdaterWindowEnd (*run)(UpdaterWorker worker, void* argument);
    void (*set_status)(const char* text);
    void (*set_bar_range)(int control, int maximum);
    void (*set_bar_colours)(int control, const Colour* bar, const Colour* background);
    void (*step_bar)(int control);
    void (*repaint)();
    void (*close)();
    void (*message_box)(const char* text);
};

} // namespace qp

#define QUILL_UPDATER_WINDOW_ENTRY "quill_updater_window_calls_1"
typedef const qp::UpdaterWindowCalls* (*QuillUpdaterWindowEntry)();

#endif
