#include "net/recovery.h"

#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/placed_files_C.h"
#include "common/update_run_C.h"

namespace {

const char dash_line[] = "----------------------------------";

bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

bool is_interrupted_download(update_run_C& run, const std::string& name) {
    if (name.find_first_of("\\/") != std::string::npos)
        return false;
    const size_t gz = name.rfind(".gz");
    if (gz == std::string::npos || gz == 0)
        return false;
    // "name.gz." and a digest: a download not yet renamed, or a root file
    // uncompressed under its download name.
    if (name.size() == gz + 4 + 32 && name[gz + 3] == '.') {
        for (size_t i = gz + 4; i < name.size(); ++i)
            if (!is_hex_digit(name[i]))
                return false;
        return true;
    }
    // "name.gz": the compressed copy of a file the updater places.
    return name.size() == gz + 3 && run.placed.has_file_named(name.substr(0, gz));
}

bool last_session_has_crashed(update_run_C& run, name_map_C& names) {
    const bool walked = parcours_recursif_local(run, run.root_path, names);
    run.log.log_line(walked ? "last_session_has_crashed  [parcours_recursif_local  SUCCESS]"
                            : "last_session_has_crashed  [parcours_recursif_local  FAILED !!]");
    if (!walked || names.empty())
        return false;
    run.log.log_line(dash_line);
    int number = 0;
    for (const auto& entry : names)
        if (entry.second == 0)
            run.log.log_format("%d) %s", ++number, entry.first.c_str());
    run.log.log_line(dash_line);
    return true;
}

bool clean_temp_files_from_last_crash(update_run_C& run, const name_map_C& names) {
    run.log.log_format("clean_temp_files_from_last_crash [m_file.size() = %d]",
                       static_cast<int>(names.size()));
    if (names.empty()) {
        run.log.log_line("clean_temp_files_from_last_crash  [ERROR : MAP EMPTY, ABANDON CLEAN]");
        return false;
    }
    bool deleted = true;
    for (const auto& entry : names) {
        if (entry.second != 0)
            continue;
        deleted = delete_one_local_file(run, entry.first);
        if (deleted)
            run.log.log_format("clean_temp_files_from_last_crash  [%s  SUCCESS]",
                               entry.first.c_str());
        else
            run.log.log_format("clean_temp_files_from_last_crash  [FAILED with file : %s]",
                               entry.first.c_str());
    }
    return deleted;
}

bool process_recovery(update_run_C& run) {
    name_map_C leftovers;
    run.walk_pattern = "*.gz.*";
    const bool crashed = last_session_has_crashed(run, leftovers);
    run.walk_pattern = "*.*";
    if (!crashed) {
        run.log.log_line("process_recovery  [LAST SESSION ENDED NORMALLY]");
        return true;
    }
    // The pattern also finds the player's own "saves.gz" or "notes.gz.old".
    for (auto entry = leftovers.begin(); entry != leftovers.end();) {
        if (entry->second == 0 && !is_interrupted_download(run, entry->first)) {
            run.log.log_format("process_recovery  [KEPT, NOT LEFT BY AN INTERRUPTED DOWNLOAD : %s]",
                               entry->first.c_str());
            entry = leftovers.erase(entry);
        } else {
            ++entry;
        }
    }
    bool any_file = false;
    for (const auto& entry : leftovers)
        any_file = any_file || entry.second == 0;
    if (!any_file) {
        run.log.log_line("process_recovery  [LAST SESSION ENDED NORMALLY]");
        return true;
    }
    run.log.log_line("process_recovery  [LAST SESSION HAS CRASHED]");
    const bool cleaned = clean_temp_files_from_last_crash(run, leftovers);
    run.log.log_line(cleaned
                         ? "process_recovery  [clean_temp_files_from_last_crash  SUCCESS]"
                         : "process_recovery  [clean_temp_files_from_last_crash HAS FAILED !!]");
    return cleaned;
}
