#include "common/server_manager_C.h"

#include <stdlib.h>

#include <algorithm>

#include "common/logger_C.h"
#include "common/update_run_C.h"

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
