// What the updater's window shows, kept apart from the window itself so
// that the worker never waits on the window's thread. The worker changes
// the state; the first change after the window went quiet wakes the
// window's thread, which then takes all changes made since in one go, now
// and every few tens of milliseconds after, until a take finds nothing new
// and the window goes quiet again. A thousand bar steps between two takes
// are one redraw, and nothing of what the worker asked for is lost: the
// last text, the last colours and every step are in the next take.
#ifndef QUILL_PLATFORM_UPDATER_WINDOW_STATE_H
#define QUILL_PLATFORM_UPDATER_WINDOW_STATE_H

#include <mutex>
#include <string>

#include "quill/platform/ui_updater.h"

namespace qp {

struct UpdaterBarState {
    int maximum = 100;
    int position = 0;
    bool has_bar_colour = false; // false: the system's default
    bool has_background = false;
    Colour bar_colour{0, 0, 0};
    Colour background{0, 0, 0};
};

// Which parts changed since the previous take.
enum UpdaterChange : unsigned {
    kChangedStatus = 1u << 0,
    kChangedRange = 1u << 1,   // per bar: shifted by the bar's index
    kChangedColours = 1u << 4, // per bar
    kChangedPosition = 1u << 7, // per bar
    kChangedRepaint = 1u << 10,
    kChangedClose = 1u << 11,
};

// The bars in the order of UpdaterWindowTake::bars.
const int kUpdaterBars[3] = {kUpdaterDownloadBar, kUpdaterListingBar, kUpdaterLamp};
int updater_bar_index(int control); // -1 for a control that is no bar

struct UpdaterWindowTake {
    unsigned changed = 0;
    std::string status;
    UpdaterBarState bars[3];

    bool has(unsigned change, int bar = 0) const { return (changed & (change << bar)) != 0; }
};

class UpdaterWindowState {
public:
    // Each change returns true when the window's thread has to be woken:
    // the first change since the window went quiet. Later ones wait for the
    // window's next take.
    bool set_status(const char* text);
    bool set_bar_range(int control, int maximum);
    bool set_bar_colours(int control, const Colour* bar, const Colour* background);
    // A full bar stays full.
    bool step_bar(int control);
    bool request_repaint();
    bool request_close();

    // The window's thread: everything since the previous take, and the
    // whole state. A take that finds no change leaves the window quiet: the
    // next change wakes it. Until then the window's thread must take again
    // by itself.
    UpdaterWindowTake take();
    // Back to a fresh window's state, with nothing pending.
    void reset();

private:
    bool changed(unsigned change);

    std::mutex lock_;
    unsigned changed_ = 0;
    bool awake_ = false; // the window's thread will take again by itself
    std::string status_;
    UpdaterBarState bars_[3];
};

} // namespace qp

#endif
