// The bootstrap's window: a captionless box with a banner, a status line and
// a coloured lamp. The player cannot close it; it closes itself when the
// work is done. The window lives on the thread that opens it; the work runs
// on a second thread and drives the window through the calls below.
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

// The window as the bootstrap drives it; the system's own is
// system_bootstrap_window(), and a test may stand in another.
class bootstrap_window {
public:
    virtual ~bootstrap_window() = default;

    // Shows the window (status line "Initialize..") and runs work(argument)
    // on a new thread; the window keeps painting meanwhile. Closes the
    // window and returns true once the work has returned. Returns false at
    // once, without running the work, when no window can be shown (no
    // display).
    virtual bool run(BootstrapWork work, void* argument) = 0;

    // The status line's text (narrow text of the system's code page).
    virtual void set_status(const char* text) = 0;
    // Paints the lamp in one colour, fill and background alike, and
    // repaints the window at once.
    virtual void set_lamp(const Colour& colour) = 0;

    // What the status line shows now, for checks; "" when no window is
    // open.
    virtual std::string status() = 0;

    // A modal message box with an OK button and the caption given (null:
    // the system's default caption), over the window when one is open,
    // usable before any window too. Returns when the player closed it;
    // false when it could not be shown at all (no display).
    virtual bool message_box(const char* text, const char* caption) = 0;
};

// The system's bootstrap window: the dialog on Windows, GTK elsewhere. One
// for the process.
bootstrap_window& system_bootstrap_window();

} // namespace qp

#endif
