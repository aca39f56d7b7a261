#include "app/pending_steps.h"

#include "app/update_worker.h"
#include "common/front_end_C.h"
#include "common/logger_C.h"

bool process_crash_log_file() {
    process_log().log_line("process_crash_log_file  [NOT IN THIS BUILD]");
    return true;
}

bool do_client_auto_update() {
    front_end().set_status_text("Auto update Started");
    process_log().log_line("do_client_auto_update  [NOT IN THIS BUILD]");
    return false;
}
