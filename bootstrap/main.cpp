// QuillUpdate_bootstrap: started by the updater with a command line, swaps in
// a newly downloaded updater and hands the command line on to the launcher.
#include <string>

#include "bootstrap/bootstrap_run.h"
#include "bootstrap/bootstrap_window_C.h"
#include "common/front_end_C.h"
#include "quill/platform/instant_clock.h"
#include "quill/platform/shell.h"
#include "quill/platform/ui_bootstrap.h"
#include "quill/platform/ui_choice.h"

int main(int argc, char** argv) {
    qp::use_instant_clock_if_requested();
    const std::string command_line = qp::command_line_parameters(argc, argv);
    const bool windows = !qp::console_ui_requested();
    console_front_end_C console;

    // Started by hand: the player must go through the updater.
    if (command_line.empty()) {
        if (!windows ||
            !qp::system_bootstrap_window().message_box(g_start_through_surepatch_text, "WARNING"))
            console.message_box(g_start_through_surepatch_text);
        return 0;
    }
    // Without a display the same run is shown as text.
    if (!windows || !run_bootstrap_in_window(command_line))
        run_bootstrap(console, command_line);
    return kBootstrapExitCode;
}
