// The updater's window: a banner, two progress bars, a status line and a
// coloured lamp. The window lives on the thread that opens it; one worker
// thread does all the work and drives the window through the calls below.
// None of them waits for the window's thread, but for the message box: the
// change is recorded and the window draws it soon after, together with the
// changes made meanwhile; once the window is gone they do nothing.
#ifndef QUILL_PLATFORM_UI_UPDATER_H
#define QUILL_PLATFORM_UI_UPDATER_H

#include "quill/platform/colour.h"

namespace qp {

// The window's parts, by control number.
const int kUpdaterDownloadBar = 1377; // upper bar: the current download
const int kUpdaterListingBar = 1376;  // lower bar: the reference listing
const int kUpdaterStatusLine = 1404;
const int kUpdaterLamp = 1380; // a bar whose two colours are the lamp's

enum class UpdaterWindowEnd {
    no_window,        // no display; the worker never started, the caller may
                      // show the run another way
    not_shown,        // the window failed and the player was told so; the
                      // worker never started and the run must not go on
    closed_by_worker, // the worker closed it and has finished since
    closed_by_player, // the player closed it; the worker may still run
};

typedef void (*UpdaterWorker)(void* argument);

// The window as the updater drives it; the system's own is
// system_updater_window(), and a test may stand in another.
class updater_window {
public:
    virtual ~updater_window() = default;

    // Shows the window and, once it is on screen, starts worker(argument)
    // on a new thread. Returns when the window has closed: when the worker
    // closed it, only after the worker has finished (the window's thread
    // keeps handling messages meanwhile, so the worker never waits on it);
    // when the player closed it, at once. Without a display it returns
    // no_window at once; where a program has no terminal to fall back on, a
    // window that fails is reported to the player in a message box and
    // gives not_shown.
    virtual UpdaterWindowEnd run(UpdaterWorker worker, void* argument) = 0;

    // The status line's text (narrow text of the system's code page).
    virtual void set_status(const char* text) = 0;
    // A bar's range becomes 0 ... maximum, its step 1 and its position 0.
    virtual void set_bar_range(int control, int maximum) = 0;
    // A bar's fill and background colours; null stands for the system's
    // default.
    virtual void set_bar_colours(int control, const Colour* bar, const Colour* background) = 0;
    // Advances a bar by its step; a full bar stays full.
    virtual void step_bar(int control) = 0;
    // Redraws the whole window now.
    virtual void repaint() = 0;
    // Closes the window from the worker; run() then returns
    // closed_by_worker once the worker has returned.
    virtual void close() = 0;
    // A modal message box with the system's default caption and an OK
    // button, over the window when it is open. Returns when the player
    // closed it.
    virtual void message_box(const char* text) = 0;
};

// The system's updater window: the dialog on Windows, GTK elsewhere. One
// for the process.
updater_window& system_updater_window();

} // namespace qp

#endif
