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
    qp::updater_window_set_status("working");
    qp::updater_window_set_bar_range(qp::kUpdaterDownloadBar, 10);
    qp::updater_window_step_bar(qp::kUpdaterDownloadBar);
    qp::updater_window_repaint();
    static_cast<Work*>(argument)->done = true;
    qp::updater_window_close();
}

TEST(UpdaterWindow, OpensRunsTheWorkerAndEndsWhenTheWorkerClosesIt) {
    if (!getenv("DISPLAY"))
        GTEST_SKIP() << "the window needs a display (DISPLAY is not set)";
    Work work;
    EXPECT_EQ(qp::UpdaterWindowEnd::closed_by_worker,
              qp::updater_window_run(work_and_close, &work));
    EXPECT_TRUE(work.done);
    // Once the window is gone its calls do nothing.
    qp::updater_window_set_status("after the end");
    qp::updater_window_close();
}

} // namespace
#endif
