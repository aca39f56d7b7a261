#include "bootstrap/do_client_update_update.h"

#include <string>

#include "bootstrap/bootstrap_files.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/md5_C.h"
#include "common/update_run_C.h"
#include "quill/platform/clock.h"

const char* const g_updater_name = "QuillUpdate.exe";
const char* const g_new_updater_name = "QuillNewUpdate.exe";

bool g_replacement_begun = false;

namespace {

const int kDeletionTries = 500;
const int kCopyTries = 50;
const uint32_t kRetryPauseMs = 10;

// The digest of a file of the root folder; empty when it cannot be read.
std::string digest_of(update_run_C& run, const char* name) {
    std::string digest;
    md5_C().doit(run, run.root_path, name, digest);
    return digest;
}

} // namespace

bool do_client_update_update(update_run_C& run) {
    if (!local_file_exists(run, g_new_updater_name))
        return true;
    if (digest_of(run, g_new_updater_name) == digest_of(run, g_updater_name))
        return true;
    g_replacement_begun = true;

    // The old updater may still be running, or a scanner may hold it: keep
    // trying for about five seconds.
    int failed_deletions = 0;
    while (!bootstrap::delete_one_local_file(run, g_updater_name)) {
        run.log.log_format(
            "do_client_update_update   [delete_one_local_file(%s)  FAILED, TRYING AGAIN..]",
            g_updater_name);
        run.clock.sleep(kRetryPauseMs);
        if (++failed_deletions == kDeletionTries) {
            run.log.log_format(
                "do_client_update_update  [MAJOR FAILURE : DEFINITIVELY CAN'T DELETE %s]",
                g_updater_name);
            return false;
        }
    }
    run.log.log_format("do_client_update_update  [the file : %s : WAS DELETED AFTER %d TICKS]",
                       g_updater_name, failed_deletions);

    for (int failed_copies = 0; failed_copies < kCopyTries; ++failed_copies) {
        if (bootstrap::copy_one_local_file(run, g_new_updater_name, g_updater_name)) {
            run.log.log_format(
                "do_client_update_update [copy_one_local_file(%s,%s) SUCCEEDED AFTER %d TICKS]",
                g_new_updater_name, g_updater_name, failed_copies);
            return true;
        }
        run.log.log_format("do_client_update_update [copy_one_local_file(%s,%s) FAILED]",
                           g_new_updater_name, g_updater_name);
        run.clock.sleep(kRetryPauseMs);
    }
    run.log.log_format("do_client_update_update [copy_one_local_file(%s,%s) FAILED DEFINITIVELY]",
                       g_new_updater_name, g_updater_name);
    return false;
}
