// The system's own windows of the updater and the bootstrap, which each
// system's window code defines (internal to the platform layer).
#ifndef QUILL_PLATFORM_COMMON_SYSTEM_WINDOWS_H
#define QUILL_PLATFORM_COMMON_SYSTEM_WINDOWS_H

#include <string>

#include "quill/platform/ui_bootstrap.h"
#include "quill/platform/ui_updater.h"
#include "quill/platform/updater_window_state.h"

namespace qp {

// What a worker asks of the updater's window, on either system: each change
// is posted to the window's state, and the window's thread is woken when
// the state says it must be (one wake-up carries every change made until
// the window gets to it). Nothing here waits.
class posting_updater_window : public updater_window {
public:
    void set_status(const char* text) override;
    void set_bar_range(int control, int maximum) override;
    void set_bar_colours(int control, const Colour* bar, const Colour* background) override;
    void step_bar(int control) override;
    void repaint() override;
    void close() override;

protected:
    explicit posting_updater_window(UpdaterWindowState& state) : state_(state) {}
    // Asks the window's thread to take the posted changes, when needed.
    virtual void wake(bool needed) = 0;

private:
    UpdaterWindowState& state_;
};

class updater_system_window final : public posting_updater_window {
public:
    updater_system_window();
    UpdaterWindowEnd run(UpdaterWorker worker, void* argument) override;
    void message_box(const char* text) override;

private:
    void wake(bool needed) override;
};

class bootstrap_system_window final : public bootstrap_window {
public:
    bool run(BootstrapWork work, void* argument) override;
    void set_status(const char* text) override;
    void set_lamp(const Colour& colour) override;
    std::string status() override;
    bool message_box(const char* text, const char* caption) override;
};

} // namespace qp

#endif
