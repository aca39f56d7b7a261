// The system's own updater window, which each system's window code defines
// (internal to the platform layer).
#ifndef QUILL_PLATFORM_COMMON_UPDATER_SYSTEM_WINDOW_H
#define QUILL_PLATFORM_COMMON_UPDATER_SYSTEM_WINDOW_H

#include "quill/platform/ui_updater.h"

namespace qp {

class updater_system_window final : public updater_window {
public:
    UpdaterWindowEnd run(UpdaterWorker worker, void* argument) override;
    void set_status(const char* text) override;
    void set_bar_range(int control, int maximum) override;
    void set_bar_colours(int control, const Colour* bar, const Colour* background) override;
    void step_bar(int control) override;
    void repaint() override;
    void close() override;
    void message_box(const char* text) override;
};

} // namespace qp

#endif
