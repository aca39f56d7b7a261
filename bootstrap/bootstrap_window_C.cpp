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

struct work_C {
    front_end_C& shown;
    std::string command_line;
};

void work(void* argument) {
    work_C& job = *static_cast<work_C*>(argument);
    run_bootstrap(job.shown, job.command_line);
}

} // namespace

bool run_bootstrap_in_window(const std::string& command_line) {
    qp::bootstrap_window& window = qp::system_bootstrap_window();
    bootstrap_window_C front_end(window);
    work_C job{front_end, command_line};
    return window.run(work, &job);
}
