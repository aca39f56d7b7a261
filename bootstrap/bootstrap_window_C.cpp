#include "bootstrap/bootstrap_window_C.h"

#include "bootstrap/bootstrap_run.h"

void bootstrap_window_C::message_box(const char* text) {
    window_.message_box(text, nullptr);
}

void bootstrap_window_C::set_lamp(const lamp_colour_C& colour) {
    window_.set_lamp(colour);
}

void bootstrap_window_C::set_status_text(const char* text) {
    window_.set_status(text);
}

namespace {

void work(void* command_line) {
    run_bootstrap(*static_cast<const std::string*>(command_line));
}

} // namespace

bool run_bootstrap_in_window(const std::string& command_line) {
    qp::bootstrap_window& window = qp::system_bootstrap_window();
    bootstrap_window_C front_end(window);
    front_end_C* previous = set_front_end(&front_end);
    std::string parameters = command_line;
    const bool shown = window.run(work, &parameters);
    set_front_end(previous);
    return shown;
}
