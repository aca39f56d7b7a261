#include "net/mirror_choice.h"

#include "common/logger_C.h"
#include "common/server_list.h"
#include "common/update_run_C.h"
#include "quill/platform/ftp.h"

bool choose_randomly_FTP_server(update_run_C& run) {
    run.log.log_line("choose_randomly_FTP_server  [ENTERING]");
    // After a failure a mirror is drawn anew: the session kept with the old
    // one goes, even when the draw falls on the same mirror again.
    const bool drawing = run.last_connection_failed;
    const int chosen = run.server_manager.gime_random_server(run);
    // An index from a shake of a longer list than the one loaded now would
    // read past the list.
    if (chosen < 0 || chosen >= static_cast<int>(run.server_list.size())) {
        run.log.log_line("choose_randomly_FTP_server  [sm.gime_random_server  FAILED]");
        return false;
    }
    if (drawing || chosen != run.current_server_index)
        qp::ftp_close_kept_session();
    run.current_server = run.server_list[static_cast<size_t>(chosen)];
    run.current_server_index = chosen;
    run.last_connection_failed = false;
    run.log.log_format("choose_randomly_FTP_server  [CHOSEN_SERVER : number %d]", chosen);
    return true;
}

bool load_mirror_list(update_run_C& run) {
    if (!load_server_list(run))
        return false;
    run.server_manager.init(run);
    return true;
}
