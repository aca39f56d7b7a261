// One run of the bootstrap once its window is up: its logs, the swap of the
// updater, the outcome on the window, and the start of the launcher.
#ifndef QUILL_BOOTSTRAP_BOOTSTRAP_RUN_H
#define QUILL_BOOTSTRAP_BOOTSTRAP_RUN_H

#include <string>

class front_end_C;

// The launcher, started with the bootstrap's command line at the end.
extern const char* const g_launcher_name; // "QuillLauncher.exe"
// Shown, with the caption "WARNING", when the command line is empty.
extern const char* const g_start_through_surepatch_text;

// Opens "log_safe_string.txt" (left empty) and "report_rescue.txt" (the
// trace log) in the current directory, takes it as the root path, runs
// do_client_update_update, shows the outcome on the front-end given (5 s of red blinking after a
// failure, a one-second colour sweep after a swap) and, unless the swap failed, starts the launcher
// with the command line (whose outcome nobody checks). False when the swap failed and the launcher
// was therefore not started. Both logs are closed on return.
bool run_bootstrap(front_end_C& shown, const std::string& command_line);

// The exit code of a bootstrap that opened its window.
const int kBootstrapExitCode = 1;

#endif
