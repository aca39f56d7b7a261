#include "app/update_worker.h"

#include <stdlib.h>

#include <memory>

#include "app/window_front_end_C.h"
#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "net/crash_log.h"
#include "net/mirror_choice.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"
#include "quill/platform/ftp.h"
#include "quill/platform/shell.h"
#include "quill/platform/ui_updater.h"
#include "tree/mirror_signature.h"
#include "tree/mirror_trust.h"

namespace {

// Seconds of the current UTC time, enough to give each run its own
// sequence of random numbers.
unsigned seed_from_clock(update_run_C& run) {
    SYSTEMTIME now;
    run.clock.system_time(&now);
    const unsigned days = static_cast<unsigned>(now.wYear) * 372u +
                          static_cast<unsigned>(now.wMonth) * 31u + now.wDay;
    return ((days * 24u + now.wHour) * 60u + now.wMinute) * 60u + now.wSecond;
}

// A null window: the run is shown as text, and there is nothing to draw.
void repaint(qp::updater_window* window) {
    if (window)
        window->repaint();
}

void end_dialog(qp::updater_window* window) {
    if (window)
        window->close();
}

} // namespace

void blink(update_run_C& run) {
    lamp_blink(run.shown, run.clock);
}

void require_publisher_signatures(const char* public_key_hex) {
    if (!public_key_hex || !*public_key_hex)
        return;
    qp::PublicKey key{};
    if (!read_public_key(public_key_hex, &key))
        key.fill(0);
    mirror_trust().require_signatures_of(key);
}

namespace {

void run_update(update_run_C& run, qp::updater_window* window) {
    srand(seed_from_clock(run));
    run.shown.set_lamp(lamp_idle);
    run.log.open_log_file(qp::current_directory(), "report.txt");

    if (!load_mirror_list(run)) {
        run.shown.set_status_text("Server List Could Not Be Loaded !!");
        repaint(window);
        run.clock.sleep(3000);
        end_dialog(window);
        return;
    }
    repaint(window);
    run.shown.set_status_text("Server List Loaded");
    run.root_path = qp::current_directory();

    if (!process_crash_log_file(run))
        run.log.log_line("main: WARNING : process_crash_log_file  [FAILED]");

    bool updated = do_client_auto_update(run);
    // A refused mirror has changed nothing, and a listing of the disk would
    // not make it trustworthy.
    if (!updated && !mirror_trust().ended_untouched()) {
        run.shown.set_lamp(lamp_orange);
        run.clock.sleep(250);
        // Without the static listing the second run lists the disk itself,
        // so whatever the first run left half done is found again.
        if (delete_one_local_file(run, "ls_static.txt"))
            updated = do_client_auto_update(run);
    }

    // The mirror's session was kept for the next transfer; there is none.
    qp::ftp_close_kept_session();

    if (!updated) {
        const lamp_colour_C red = {255, 0, 0};
        run.shown.set_bar_colours(qp::kUpdaterDownloadBar, &red, &red);
        run.shown.set_bar_colours(qp::kUpdaterListingBar, &red, &red);
        run.shown.set_status_text("UPDATE FAILED !!");
        repaint(window);
        for (int i = 0; i < 5; ++i)
            blink(run);
        end_dialog(window);
        return;
    }

    run.shown.set_status_text("- UPDATE SUCCESS -");
    // Whether the next program of the chain starts is its own affair.
    qp::start_program("ClientApp.exe", run.client_parameters.c_str());
    end_dialog(window);
}

} // namespace

void update_worker(void* argument) {
    qp::updater_window* const window = static_cast<qp::updater_window*>(argument);
    console_front_end_C console;
    std::unique_ptr<window_front_end_C> drawn;
    if (window)
        drawn.reset(new window_front_end_C(*window));
    front_end_C& shown = drawn ? static_cast<front_end_C&>(*drawn) : console;
    logger_C log(shown);
    update_run_C run(log, shown, qp::clock());
    run_update(run, window);
}
