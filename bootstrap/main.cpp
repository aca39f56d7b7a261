// QuillUpdate_bootstrap: started by the updater with a command line, swaps in
// a newly downloaded updater and hands the command line on to the launcher.
#include <string>

#include "bootstrap/bootstrap_run.h"
#include "common/front_end_C.h"
#include "quill/platform/instant_clock.h"
#include "quill/platform/shell.h"

int main(int argc, char** argv) {
    qp::use_instant_clock_if_requested();
    const std::string command_line = qp::command_line_parameters(argc, argv);
    // Started by hand: the player must go through the updater.
    if (command_line.empty()) {
        front_end().message_box(g_start_through_surepatch_text);
        return 0;
    }
    run_bootstrap(command_line);
    close_bootstrap_logs();
    return kBootstrapExitCode;
}
