#include "bootstrap/bootstrap_window_C.h"

#include "bootstrap/bootstrap_run.h"
#include "quill/platform/ui_bootstrap.h"

void bootstrap_window_C::message_box(const char* text) {
    qp::bootstrap_message_box(text, nullptr);
}

void bootstrap_window_C::set_lamp(const lamp_colour_C& colour) {
    qp::bootstrap_window_set_lamp(colour);
}

void bootstrap_window_C::set_status_text(const char* text) {
    qp::bootstrap_window_set_status(text);
}

namespace {

void work(void* command_line) {
    run_bootstrap(*static_cast<const std::string*>(command_line));
}

} // namespace

bool run_bootstrap_in_window(const std::string& command_line) {
    bootstrap_window_C window;
    front_end_C* previous = set_front_end(&window);
    std::string parameters = command_line;
    const bool shown = qp::bootstrap_window_run(work, &parameters);
    set_front_end(previous);
    return shown;
}
