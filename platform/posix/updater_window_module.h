// The updater's GTK window is a module of its own, loaded only when a
// window is to be shown: a run in text form, or without a display, never
// pays for loading GTK and the libraries it brings. The module sits beside
// the program and hands out its window through one entry point, whose name
// changes with the window's interface, so that a program never takes a
// window it does not know (internal to the platform layer).
#ifndef QUILL_PLATFORM_POSIX_UPDATER_WINDOW_MODULE_H
#define QUILL_PLATFORM_POSIX_UPDATER_WINDOW_MODULE_H

#include "quill/platform/ui_updater.h"

namespace qp {

// The file beside the program.
const char kUpdaterWindowModule[] = "libquill_updater_window.so";

} // namespace qp

#define QUILL_UPDATER_WINDOW_ENTRY "quill_updater_window_2"
typedef qp::updater_window* (*QuillUpdaterWindowEntry)();

#endif
