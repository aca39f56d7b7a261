#include "net/server_manager_C.h"

#include <stdlib.h>

#include <algorithm>

#include "common/logger_C.h"
#include "common/settings.h"
#include "quill/platform/ftp.h"

namespace {

// Loading a server list starts the first shake, so the manager is ready
// before the first transfer of any program that links the transfers.
struct hook_into_loader {
    hook_into_loader() {
        g_server_list_loaded = [] { server_manager().init(); };
    }
} g_hook_into_loader;

} // namespace

server_manager_C& server_manager() {
    static server_manager_C instance;
    return instance;
}

void server_manager_C::reset() {
    initialised_ = false;
    stack_.clear();
}

bool server_manager_C::generate_one_shake() {
    if (!stack_.empty()) {
        process_log().log_line("server_manager_C::generate_one_shake  [ILLEGAL CALL WHEN STACK NOT EMPTY]");
        return false;
    }
    process_log().log_line("*--------[server_manager_C::generate_one_shake]----------*");
    const int count = static_cast<int>(g_server_list.size());
    std::vector<int> drawn;
    while (static_cast<int>(drawn.size()) < count) {
        const int candidate = rand() % count;
        if (std::find(drawn.begin(), drawn.end(), candidate) != drawn.end())
            continue;
        drawn.push_back(candidate);
        log_format("push this server => %d", candidate);
        stack_.push_back(candidate);
    }
    process_log().log_line("*--------------------------------------------*");
    return true;
}

void server_manager_C::init() {
    if (generate_one_shake())
        initialised_ = true;
    else
        process_log().log_line("server_manager_C::init  [generate_one_shake FAILED]");
}

int server_manager_C::gime_random_server() {
    process_log().log_line("server_manager_C::gime_random_server  [ENTERING]");
    if (!initialised_) {
        process_log().log_line("server_manager_C::gime_random_server  [ILLEGAL CALL BEFORE INIT]");
        return -1;
    }
    if (!g_last_connection_failed)
        return g_current_server_index;
    if (stack_.empty()) {
        if (!generate_one_shake()) {
            process_log().log_line(
                "server_manager_C::gime_random_server   [generate_one_shake  FAILED]");
            return -1;
        }
        if (stack_.empty()) {
            process_log().log_line("server_manager_C::gime_random_server  [INCOHERENCY : STACK EMPTY]");
            return -1;
        }
    }
    const int chosen = stack_.back();
    stack_.pop_back();
    log_format("server_manager_C::gime_random_server  [CHOSEN_SERVER : %d]", chosen);
    return chosen;
}

bool choose_randomly_FTP_server() {
    process_log().log_line("choose_randomly_FTP_server  [ENTERING]");
    // After a failure a mirror is drawn anew: the session kept with the old
    // one goes, even when the draw falls on the same mirror again.
    const bool drawing = g_last_connection_failed;
    const int chosen = server_manager().gime_random_server();
    // An index from a shake of a longer list than the one loaded now would
    // read past the list.
    if (chosen < 0 || chosen >= static_cast<int>(g_server_list.size())) {
        process_log().log_line("choose_randomly_FTP_server  [sm.gime_random_server  FAILED]");
        return false;
    }
    if (drawing || chosen != g_current_server_index)
        qp::ftp_close_kept_session();
    g_current_server = g_server_list[static_cast<size_t>(chosen)];
    g_current_server_index = chosen;
    g_last_connection_failed = false;
    log_format("choose_randomly_FTP_server  [CHOSEN_SERVER : number %d]", chosen);
    return true;
}
