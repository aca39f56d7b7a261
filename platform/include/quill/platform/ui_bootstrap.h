// The bootstrap's window: a captionless box with a banner, a status line and
// a coloured lamp. The player cannot close it; it closes itself when the
// work is done. The window lives on the thread that opens it; the work runs
// on a second thread and drives the window through the functions below.
// Like a sent window message, each returns once the window has taken the
// change; when no window is open they do nothing.
#ifndef QUILL_PLATFORM_UI_BOOTSTRAP_H
#define QUILL_PLATFORM_UI_BOOTSTRAP_H

#include <string>

#include "quill/platform/colour.h"

namespace qp {

const int kBootstrapStatusLine = 1404;
const int kBootstrapLamp = 1380;

typedef void (*BootstrapWork)(void* argument);

// Shows the window (status line "Initialize..") and runs work(argument) on
// a new thread; the window keeps painting meanwhile. Closes the window and
// returns true once the work has returned. Returns false at once, without
// running the work, when no window can be shown (no display).
bool bootstrap_window_run(BootstrapWork work, void* argument);

// The status line's text (narrow text of the system's code page).
void bootstrap_window_set_status(const char* text);
// Paints the lamp in one colour, fill and background alike, and repaints
// the window at once.
void bootstrap_window_set_lamp(const Colour& colour);

// What the status line shows now, for checks; "" when no window is open.
std::string bootstrap_window_status();

// A modal message box with an OK button and the caption given (null: the
// system's default caption), over the window when one is open, usable
// before any window too. Returns when the player closed it; false when it
// could not be shown at all (no display).
bool bootstrap_message_box(const char* text, const char* caption);

} // namespace qp

#endif
