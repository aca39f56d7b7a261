// QuillUpdate: brings the installation folder in its working directory up
// to date from the mirrors of "ver_C", then starts the game. It takes no
// command line.
#include <stdlib.h>

#include "app/publisher_key.h"
#include "app/update_worker.h"
#include "quill/platform/instant_clock.h"
#include "quill/platform/ui_choice.h"
#include "quill/platform/ui_updater.h"

int main() {
    qp::use_instant_clock_if_requested();
    require_publisher_signatures(built_in_publisher_key);

    if (!qp::console_ui_requested()) {
        qp::updater_window& window = qp::system_updater_window();
        const qp::UpdaterWindowEnd end = window.run(update_worker, &window);
        if (end == qp::UpdaterWindowEnd::closed_by_worker)
            return 1;
        if (end == qp::UpdaterWindowEnd::not_shown)
            return 0;
        if (end == qp::UpdaterWindowEnd::closed_by_player) {
            // The worker may be in the middle of a download; ending here,
            // without tearing down what it uses, leaves only a temporary
            // file that the next run's recovery deletes.
            _Exit(1);
        }
    }
    // No display (where a terminal is there to show the run), or the
    // terminal asked for: the same run, shown as text.
    update_worker(nullptr);
    return 1;
}
