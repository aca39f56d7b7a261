// The updater's Linux window, through the calls its program makes: the
// window is a module the program loads when it asks for one, so a program
// whose module cannot be found would quietly show its run as text instead.
// The Windows dialog comes from the updater program's own resources and is
// shown by the updater program tests.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>

#include "quill/platform/ui_updater.h"

namespace {

struct Work {
    std::atomic<bool> done{false};
};

void work_and_close(void* argument) {
    qp::updater_window& window = qp::system_updater_window();
    window.set_status("working");
    window.set_bar_range(qp::kUpdaterDownloadBar, 10);
    window.step_bar(qp::kUpdaterDownloadBar);
    window.repaint();
    static_cast<Work*>(argument)->done = true;
    window.close();
}

TEST(UpdaterWindow, OpensRunsTheWorkerAndEndsWhenTheWorkerClosesIt) {
    if (!getenv("DISPLAY"))
        GTEST_SKIP() << "the window needs a display (DISPLAY is not set)";
    Work work;
    qp::updater_window& window = qp::system_updater_window();
    EXPECT_EQ(qp::UpdaterWindowEnd::closed_by_worker, window.run(work_and_close, &work));
    EXPECT_TRUE(work.done);
    // Once the window is gone its calls do nothing.
    window.set_status("after the end");
    window.close();
}

} // namespace
#endif
