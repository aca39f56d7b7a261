// The bootstrap's window as the front-end of the shared code.
#ifndef QUILL_BOOTSTRAP_BOOTSTRAP_WINDOW_C_H
#define QUILL_BOOTSTRAP_BOOTSTRAP_WINDOW_C_H

#include <string>

#include "common/front_end_C.h"
#include "quill/platform/ui_bootstrap.h"

class bootstrap_window_C : public front_end_C {
public:
    explicit bootstrap_window_C(qp::bootstrap_window& window) : window_(window) {}

    void message_box(const char* text) override;
    void set_lamp(const lamp_colour_C& colour) override;
    void set_status_text(const char* text) override;
    // The bootstrap's window has no progress bars.
    void set_bar_range(int, int) override {}
    void set_bar_colours(int, const lamp_colour_C*, const lamp_colour_C*) override {}
    void step_bar(int) override {}

private:
    qp::bootstrap_window& window_;
};

// Runs run_bootstrap in the system's window, with the window as the
// front-end in force meanwhile. False, without running anything, when no
// window can be shown.
bool run_bootstrap_in_window(const std::string& command_line);

#endif
