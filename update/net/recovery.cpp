#include "net/recovery.h"

#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/settings.h"

namespace {

const char dash_line[] = "----------------------------------";

} // namespace

bool last_session_has_crashed(name_map_C& names) {
    const bool walked = parcours_recursif_local(g_root_path, names);
    process_log().log_line(walked ? "last_session_has_crashed  [parcours_recursif_local  SUCCESS]"
                                  : "last_session_has_crashed  [parcours_recursif_local  FAILED !!]");
    if (!walked || names.empty())
        return false;
    process_log().log_line(dash_line);
    int number = 0;
    for (const auto& entry : names)
        if (entry.second == 0)
            log_format("%d) %s", ++number, entry.first.c_str());
    process_log().log_line(dash_line);
    return true;
}

bool clean_temp_files_from_last_crash(const name_map_C& names) {
    log_format("clean_temp_files_from_last_crash [m_file.size() = %d]", static_cast<int>(names.size()));
    if (names.empty()) {
        process_log().log_line("clean_temp_files_from_last_crash  [ERROR : MAP EMPTY, ABANDON CLEAN]");
        return false;
    }
    bool deleted = true;
    for (const auto& entry : names) {
        if (entry.second != 0)
            continue;
        deleted = delete_one_local_file(entry.first);
        if (deleted)
            log_format("clean_temp_files_from_last_crash  [%s  SUCCESS]", entry.first.c_str());
        else
            log_format("clean_temp_files_from_last_crash  [FAILED with file : %s]", entry.first.c_str());
    }
    return deleted;
}

bool process_recovery() {
    name_map_C leftovers;
    g_walk_pattern = "*.gz.*";
    const bool crashed = last_session_has_crashed(leftovers);
    g_walk_pattern = "*.*";
    if (!crashed) {
        process_log().log_line("process_recovery  [LAST SESSION ENDED NORMALLY]");
        return true;
    }
    process_log().log_line("process_recovery  [LAST SESSION HAS CRASHED]");
    const bool cleaned = clean_temp_files_from_last_crash(leftovers);
    process_log().log_line(cleaned ? "process_recovery  [clean_temp_files_from_last_crash  SUCCESS]"
                                   : "process_recovery  [clean_temp_files_from_last_crash HAS FAILED !!]");
    return cleaned;
}
