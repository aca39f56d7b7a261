#include "quill/platform/updater_window_state.h"

#include "system_windows.h"

namespace qp {

int updater_bar_index(int control) {
    for (int i = 0; i < 3; ++i)
        if (kUpdaterBars[i] == control)
            return i;
    return -1;
}

// Called with the lock held.
bool UpdaterWindowState::changed(unsigned change) {
    const bool wake = !awake_;
    awake_ = true;
    changed_ |= change;
    return wake;
}

bool UpdaterWindowState::set_status(const char* text) {
    std::lock_guard<std::mutex> hold(lock_);
    status_ = text ? text : "";
    return changed(kChangedStatus);
}

bool UpdaterWindowState::set_bar_range(int control, int maximum) {
    const int bar = updater_bar_index(control);
    if (bar < 0)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    bars_[bar].maximum = maximum;
    bars_[bar].position = 0;
    return changed((kChangedRange | kChangedPosition) << bar);
}

bool UpdaterWindowState::set_bar_colours(int control, const Colour* bar_colour,
                                         const Colour* background) {
    const int bar = updater_bar_index(control);
    if (bar < 0)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    UpdaterBarState& state = bars_[bar];
    state.has_bar_colour = bar_colour != nullptr;
    state.bar_colour = bar_colour ? *bar_colour : Colour{0, 0, 0};
    state.has_background = background != nullptr;
    state.background = background ? *background : Colour{0, 0, 0};
    return changed(kChangedColours << bar);
}

bool UpdaterWindowState::step_bar(int control) {
    const int bar = updater_bar_index(control);
    if (bar < 0)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    UpdaterBarState& state = bars_[bar];
    if (state.position >= state.maximum)
        return false;
    ++state.position;
    return changed(kChangedPosition << bar);
}

bool UpdaterWindowState::request_repaint() {
    std::lock_guard<std::mutex> hold(lock_);
    return changed(kChangedRepaint);
}

bool UpdaterWindowState::request_close() {
    std::lock_guard<std::mutex> hold(lock_);
    return changed(kChangedClose);
}

UpdaterWindowTake UpdaterWindowState::take() {
    std::lock_guard<std::mutex> hold(lock_);
    UpdaterWindowTake taken;
    taken.changed = changed_;
    if (changed_ == 0)
        awake_ = false;
    taken.status = status_;
    for (int i = 0; i < 3; ++i)
        taken.bars[i] = bars_[i];
    changed_ = 0;
    return taken;
}

void UpdaterWindowState::reset() {
    std::lock_guard<std::mutex> hold(lock_);
    changed_ = 0;
    awake_ = false;
    status_.clear();
    for (UpdaterBarState& bar : bars_)
        bar = UpdaterBarState();
}

void posting_updater_window::set_status(const char* text) {
    wake(state_.set_status(text));
}

void posting_updater_window::set_bar_range(int control, int maximum) {
    wake(state_.set_bar_range(control, maximum));
}

void posting_updater_window::set_bar_colours(int control, const Colour* bar_colour,
                                             const Colour* background) {
    wake(state_.set_bar_colours(control, bar_colour, background));
}

void posting_updater_window::step_bar(int control) {
    wake(state_.step_bar(control));
}

void posting_updater_window::repaint() {
    wake(state_.request_repaint());
}

void posting_updater_window::close() {
    // Taken with the changes before it, so the window shows them all before
    // it ends.
    wake(state_.request_close());
}

} // namespace qp
