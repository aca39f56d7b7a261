// One run of the updater (or of its bootstrap): the folder it brings in line,
// the mirrors, their order and the one chosen, what the listing says and what the updater
// placed, the trace log, what the player is shown and the clock. The program makes one and hands it to every step; a test
// makes its own. Only the worker thread of the run uses it, nothing locks.
#ifndef QUILL_UPDATE_COMMON_UPDATE_RUN_C_H
#define QUILL_UPDATE_COMMON_UPDATE_RUN_C_H

#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/placed_files_C.h"
#include "common/remote_records.h"
#include "common/server_manager_C.h"
#include "common/settings.h"
#include "quill/platform/clock.h"

class update_run_C {
public:
    update_run_C(logger_C& log, front_end_C& shown, qp::Clock& clock)
        : log(log), shown(shown), clock(clock) {
        current_server.Servername.clear();
        current_server.Directory = "---";
        current_server.strUser.clear();
        current_server.strPass.clear();
    }
    update_run_C(const update_run_C&) = delete;
    update_run_C& operator=(const update_run_C&) = delete;

    logger_C& log;
    front_end_C& shown;
    qp::Clock& clock;

    // Root of the local tree: the working directory without a trailing
    // backslash; "---" until the run has found it.
    std::string root_path = "---";
    // The mirrors of "ver_C", in file order.
    std::vector<ftp_server_C> server_list;
    // Copy of the chosen mirror and its index in server_list (-1: none yet).
    ftp_server_C current_server;
    int current_server_index = -1;
    // Set by a failed connection: the next choice draws another mirror.
    bool last_connection_failed = true;
    // Command line given to the game client.
    std::string client_parameters = "UNSET";
    // The file pattern of the tree walk; the crash recovery narrows it.
    std::string walk_pattern = "*.*";
    // The number written into the preferences file; nothing changes it.
    int preferences_value = 0;

    // The records of the reference listing: the size table of the downloads.
    record_map_C remote_records;
    // Entries of the reference listing to fetch, and the number of the one
    // in hand.
    int file_count = 0;
    int file_current = 0;
    // What the updater has placed in the folder, and may therefore delete.
    placed_files_C placed;
    // The random order in which the mirrors are tried.
    server_manager_C server_manager;

    // root_path\relative.
    std::string local_path(const std::string& relative) const {
        return root_path + "\\" + relative;
    }
};

// A run with a front end and a log of its own, the log open as "report.txt"
// in the root folder when one is given: for benchmarks and fuzzing, which
// look only at what the steps return.
template <class FrontEnd>
class own_run_C {
public:
    explicit own_run_C(const std::string& root = std::string()) {
        if (root.empty())
            return;
        run.root_path = root;
        log.open_log_file(root, "report.txt");
    }

    FrontEnd shown;
    logger_C log{shown};
    update_run_C run{log, shown, qp::clock()};
};

#endif
