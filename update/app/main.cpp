// QuillUpdate: brings the installation folder in its working directory up
// to date from the mirrors of "ver_C", then starts the game. It takes no
// command line.
#include <stdlib.h>
#include <string.h>

#include "app/update_worker.h"
#include "app/window_front_end_C.h"
#include "common/front_end_C.h"
#include "quill/platform/clock.h"
#include "quill/platform/ui_updater.h"

namespace {

// A test aid: QUILL_TEST_CLOCK_SPEEDUP=N makes every wait of the program N
// times shorter, so whole-program tests need not sit through the blinking
// and the retry pauses. Unset, the program keeps its real waits.
class sped_up_clock_C : public qp::Clock {
public:
    explicit sped_up_clock_C(unsigned factor) : factor_(factor) {}
    uint32_t tick_count() override { return qp::system_clock().tick_count(); }
    void local_time(SYSTEMTIME* out) override { qp::system_clock().local_time(out); }
    void system_time(SYSTEMTIME* out) override { qp::system_clock().system_time(out); }
    void sleep(uint32_t ms) override { qp::system_clock().sleep(ms / factor_); }

private:
    unsigned factor_;
};

bool console_wanted() {
    const char* ui = getenv("QUILL_UI");
    return ui && strcmp(ui, "console") == 0;
}

} // namespace

int main() {
    static sped_up_clock_C* sped_up = nullptr;
    if (const char* factor = getenv("QUILL_TEST_CLOCK_SPEEDUP")) {
        const long value = strtol(factor, nullptr, 10);
        if (value > 1) {
            sped_up = new sped_up_clock_C(static_cast<unsigned>(value));
            qp::set_clock(sped_up);
        }
    }

    if (!console_wanted()) {
        static window_front_end_C window;
        set_front_end(&window);
        const qp::UpdaterWindowEnd end = qp::updater_window_run(update_worker, nullptr);
        if (end == qp::UpdaterWindowEnd::closed_by_worker)
            return 1;
        if (end == qp::UpdaterWindowEnd::closed_by_player) {
            // The worker may be in the middle of a download; ending here,
            // without tearing down what it uses, leaves only a temporary
            // file that the next run's recovery deletes.
            _Exit(1);
        }
        set_front_end(nullptr);
    }
    // No display, or the terminal asked for: the same run, shown as text.
    update_worker(nullptr);
    return 1;
}
