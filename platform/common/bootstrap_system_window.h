// The system's own bootstrap window, which each system's window code defines
// (internal to the platform layer).
#ifndef QUILL_PLATFORM_COMMON_BOOTSTRAP_SYSTEM_WINDOW_H
#define QUILL_PLATFORM_COMMON_BOOTSTRAP_SYSTEM_WINDOW_H

#include <string>

#include "quill/platform/ui_bootstrap.h"

namespace qp {

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
