#include "bootstrap/bootstrap_files.h"

#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"

namespace bootstrap {

namespace {

const int kAppearancePolls = 1000;
const uint32_t kAppearancePollMs = 25;

// Removes what a crashed earlier copy left under the staging name; a
// leftover would make the new copy fail, since copies never replace.
void remove_staging_file(const std::string& staging) {
    if (!qp::path_exists(staging.c_str()))
        return;
    qp::make_writable(staging.c_str());
    qp::delete_file(staging.c_str());
}

} // namespace

std::string staging_name(const std::string& destination) {
    return destination + ".copying";
}

bool delete_one_local_file(update_run_C& run, const std::string& path) {
    return delete_local_file_reporting(run, path, "delete_one_local_file(%s) [FILE_DOESNT_EXIST]",
                                       true);
}

bool copy_one_local_file(update_run_C& run, const std::string& source,
                         const std::string& destination) {
    const char* from = source.c_str();
    const char* to = destination.c_str();
    run.log.log_format("copy_one_local_file(%s,%s)", from, to);

    const std::string staging = staging_name(destination);
    remove_staging_file(staging);
    const bool copied = qp::copy_file(from, staging.c_str()) && qp::move_file(staging.c_str(), to);
    if (!copied)
        remove_staging_file(staging);
    run.log.log_format(copied ? "copy_one_local_file(%s,%s)  [SUCCESS]"
                              : "copy_one_local_file(%s,%s)  [FAILED]",
                       from, to);

    // The destination is polled whatever the copy said: on a network share
    // or under a virus scanner a finished copy may show up late.
    for (int misses = 0; misses < kAppearancePolls; ++misses) {
        if (local_file_exists(run, destination)) {
            run.log.log_format(
                "copy_one_local_file(%s,%s)  [SUCCESS : FILE APPEARED AFTER %d TICKS]", from, to,
                misses);
            return true;
        }
        run.clock.sleep(kAppearancePollMs);
    }
    run.log.log_format("copy_one_local_file(%s,%s)  [FAILED]", from, to);
    return false;
}

} // namespace bootstrap
