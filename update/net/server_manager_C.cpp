#include "net/server_manager_C.h"

#include <stdlib.h>

#include <algorithm>

#include "common/logger_C.h"
#include "common/server_list.h"
#include "common/settings.h"
#include "common/update_run_C.h"
#include "quill/platform/ftp.h"

server_manager_C& server_manager() {
    static server_manager_C instance;
    return instance;
}

void server_manager_C::reset() {
    initialised_ = false;
    stack_.clear();
}

bool server_manager_C::generate_one_shake(update_run_C& run) {
    if (!stack_.empty()) {
        run.log.log_line(
            "server_manager_C::generate_one_shake  [ILLEGAL CALL WHEN STACK NOT EMPTY]");
        return false;
    }
    run.log.log_line("*--------[server_manager_C::generate_one_shake]----------*");
    const int count = static_cast<int>(run.server_list.size());
    std::vector<int> drawn;
    while (static_cast<int>(drawn.size()) < count) {
        const int candidate = rand() % count;
        if (std::find(drawn.begin(), drawn.end(), candidate) != drawn.end())
            continue;
        drawn.push_back(candidate);
        run.log.log_format("push this server => %d", candidate);
        stack_.push_back(candidate);
    }
    run.log.log_line("*--------------------------------------------*");
    return true;
}

void server_manager_C::init(update_run_C& run) {
    if (generate_one_shake(run))
        initialised_ = true;
    else
        run.log.log_line("server_manager_C::init  [generate_one_shake FAILED]");
}

int server_manager_C::gime_random_server(update_run_C& run) {
    run.log.log_line("server_manager_C::gime_random_server  [ENTERING]");
    if (!initialised_) {
        run.log.log_line("server_manager_C::gime_random_server  [ILLEGAL CALL BEFORE INIT]");
        return -1;
    }
    if (!run.last_connection_failed)
        return run.current_server_index;
    if (stack_.empty()) {
        if (!generate_one_shake(run)) {
            run.log.log_line("server_manager_C::gime_random_server   [generate_one_shake  FAILED]");
            return -1;
        }
        if (stack_.empty()) {
            run.log.log_line("server_manager_C::gime_random_server  [INCOHERENCY : STACK EMPTY]");
            return -1;
        }
    }
    const int chosen = stack_.back();
    stack_.pop_back();
    run.log.log_format("server_manager_C::gime_random_server  [CHOSEN_SERVER : %d]", chosen);
    return chosen;
}

bool choose_randomly_FTP_server(update_run_C& run) {
    run.log.log_line("choose_randomly_FTP_server  [ENTERING]");
    // After a failure a mirror is drawn anew: the session kept with the old
    // one goes, even when the draw falls on the same mirror again.
    const bool drawing = run.last_connection_failed;
    const int chosen = server_manager().gime_random_server(run);
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
    server_manager().init(run);
    return true;
}
