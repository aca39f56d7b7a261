#include "net/crash_log.h"

#include <stdio.h>
#include <stdlib.h>

#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "net/CFtp.h"
#include "quill/platform/clock.h"

#ifndef QUILL_CRASHLOG_HOST_DEFAULT
#define QUILL_CRASHLOG_HOST_DEFAULT "crashlog.quill.example"
#endif

namespace {

const char crash_log_user[] = "quill";
const char crash_log_password[] = "rvoplank";
const char crash_log_directory[] = "/home/quill/LOG";

struct client_log_C {
    const char* file;
    const char* upload_stem;
    const char* delete_warning;
};

// The order of the uploads, and the names they are known by on the server.
const client_log_C client_logs[] = {
    {"log_client.txt", "log_client", "process_crash_log_file  [WARNING: DELETE FILE log_cient.txt FAILED]"},
    {"NETWork.log", "log_network", "process_crash_log_file  [WARNING: DELETE FILE log_network.txt FAILED]"},
    {"gl_Info.txt", "gl_info", "process_crash_log_file  [WARNING: DELETE FILE gl_Info.txt FAILED]"},
};

} // namespace

std::string crash_log_host() {
    const char* chosen = getenv("QUILL_CRASHLOG_HOST");
    if (chosen && chosen[0] != '\0')
        return chosen;
    return QUILL_CRASHLOG_HOST_DEFAULT;
}

std::string crash_log_unique_suffix() {
    int draws[6];
    for (int& draw : draws)
        draw = rand() % 16000000;
    char text[96];
    snprintf(text, sizeof text, "_%d_%d_%d_%d_%d_%d", draws[5], draws[4], draws[3], draws[2],
             draws[1], draws[0]);
    return text;
}

bool is_client_crash_log_file_present(update_run_C& run) {
    run.log.log_line("is_client_crash_log_file_present");
    const bool present = local_file_exists(run, run.local_path("log_client.txt")) ||
                         local_file_exists(run, run.local_path("NETWork.log"));
    run.log.log_line(present ? "is_client_crash_log_file_present  [TRUE]"
                             : "is_client_crash_log_file_present  [FALSE]");
    return present;
}

bool process_crash_log_file(update_run_C& run) {
    run.log.log_line("process_crash_log_file");
    bool uploaded[3] = {true, true, true};
    if (!is_client_crash_log_file_present(run)) {
        run.log.log_line("process_crash_log_file  [NO_CRASH_LOG_FILE_FOUND]");
        return true;
    }
    run.shown.set_status_text("Processing Client Recovery...");
    // Dark blue to light cyan: something unusual is being done.
    lamp_sweep(run.shown, run.clock, 60, 240, 20);
    run.log.log_line("process_crash_log_file  [CRASH_DETECTED___PROCESSING LOG FILES___]");
    const std::string suffix = crash_log_unique_suffix();
    const std::string host = crash_log_host();

    for (size_t i = 0; i < 3; ++i) {
        const client_log_C& log = client_logs[i];
        const std::string path = run.local_path(log.file);
        if (!local_file_exists(run, path))
            continue;
        CFtp ftp(run);
        uploaded[i] = ftp.PutFtpFile(crash_log_user, crash_log_password, host, crash_log_directory,
                                     path, log.upload_stem + suffix + ".txt");
        if (!delete_one_local_file(run, path))
            run.log.log_line(log.delete_warning);
    }
    return uploaded[0] && uploaded[1] && uploaded[2];
}
