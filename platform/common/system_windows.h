// The system's own windows of the updater and the bootstrap, which each
// system's window code defines (internal to the platform layer).
#ifndef QUILL_PLATFORM_COMMON_SYSTEM_WINDOWS_H
#define QUILL_PLATFORM_COMMON_SYSTEM_WINDOWS_H

#include <string>

#include "quill/platform/ui_bootstrap.h"
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
