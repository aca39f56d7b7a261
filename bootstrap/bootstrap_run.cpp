#include "bootstrap/bootstrap_run.h"

#include "bootstrap/do_client_update_update.h"
#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"
#include "quill/platform/shell.h"

const char* const g_launcher_name = "QuillLauncher.exe";
const char* const g_start_through_surepatch_text = "SurePatch를 사용하여 실행해주십시요.";

namespace {

// The working directory; "." if the system cannot tell it, so that names
// built on it never point at the root of the drive.
std::string working_directory() {
    const std::string directory = qp::current_directory();
    return directory.empty() ? std::string(".") : directory;
}

} // namespace

bool run_bootstrap(front_end_C& shown, const std::string& command_line) {
    // Only opened: an old copy is emptied and nothing is ever written to it.
    logger_C safe_string_log(shown);
    safe_string_log.open_log_file(working_directory(), "log_safe_string.txt");
    shown.set_status_text("Initialize..");
    logger_C log(shown);
    log.open_log_file(working_directory(), "report_rescue.txt");
    update_run_C run(log, shown, qp::clock());
    run.root_path = working_directory();

    const bool swapped = do_client_update_update(run);
    if (g_replacement_begun) {
        shown.set_lamp(lamp_idle);
        if (!swapped) {
            shown.set_status_text("UPDATE OF SURE_PATCH FAILED !!");
            for (int i = 0; i < 5; ++i)
                lamp_blink(shown, run.clock);
            return false;
        }
        shown.set_status_text("- UPDATE OF SURE_PATCH SUCCESS -");
        // Blue with rising green, then a little more red: about one second.
        lamp_sweep(shown, run.clock, 70, 250, 10);
    }
    qp::start_program(g_launcher_name, command_line.c_str());
    return true;
}
