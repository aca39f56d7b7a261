// What the updater's window shows, as the worker changes it and the
// window's thread takes it: one wake-up while the window is quiet, nothing
// lost between takes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "quill/platform/updater_window_state.h"

namespace {

using qp::Colour;
using qp::UpdaterWindowState;
using qp::UpdaterWindowTake;

const int kDownload = 0, kListing = 1, kLamp = 2; // indexes into a take's bars

TEST(UpdaterWindowState, OnlyTheFirstChangeWhileTheWindowIsQuietWakesIt) {
    UpdaterWindowState state;
    EXPECT_TRUE(state.set_bar_range(qp::kUpdaterDownloadBar, 5000));
    for (int i = 0; i < 4000; ++i)
        EXPECT_FALSE(state.step_bar(qp::kUpdaterDownloadBar));
    EXPECT_FALSE(state.set_status("retrieving remote version..."));
    EXPECT_FALSE(state.request_repaint());

    UpdaterWindowTake taken = state.take();
    EXPECT_EQ(4000, taken.bars[kDownload].position);
    EXPECT_EQ("retrieving remote version...", taken.status);
    EXPECT_TRUE(taken.has(qp::kChangedRepaint));

    // The window takes again by itself while changes keep coming...
    EXPECT_FALSE(state.step_bar(qp::kUpdaterDownloadBar));
    EXPECT_EQ(4001, state.take().bars[kDownload].position);
    // ...until a take finds nothing: then the next change wakes it.
    EXPECT_EQ(0u, state.take().changed);
    EXPECT_TRUE(state.step_bar(qp::kUpdaterDownloadBar));
    EXPECT_FALSE(state.step_bar(qp::kUpdaterDownloadBar));
    EXPECT_EQ(4003, state.take().bars[kDownload].position);
}

TEST(UpdaterWindowState, ATakeNamesWhatChangedPerBar) {
    UpdaterWindowState state;
    const Colour green = {0, 255, 0};
    state.set_bar_colours(qp::kUpdaterLamp, &green, &green);
    state.step_bar(qp::kUpdaterListingBar);
    UpdaterWindowTake taken = state.take();
    EXPECT_TRUE(taken.has(qp::kChangedColours, kLamp));
    EXPECT_FALSE(taken.has(qp::kChangedColours, kDownload));
    EXPECT_FALSE(taken.has(qp::kChangedColours, kListing));
    EXPECT_TRUE(taken.has(qp::kChangedPosition, kListing));
    EXPECT_FALSE(taken.has(qp::kChangedPosition, kLamp));
    EXPECT_FALSE(taken.has(qp::kChangedRange, kListing));
    EXPECT_FALSE(taken.has(qp::kChangedStatus));
    EXPECT_FALSE(taken.has(qp::kChangedClose));
    EXPECT_TRUE(taken.bars[kLamp].has_bar_colour);
    EXPECT_EQ(255, taken.bars[kLamp].background.green);

    // Null goes back to the system's colours.
    state.set_bar_colours(qp::kUpdaterLamp, nullptr, &green);
    taken = state.take();
    EXPECT_FALSE(taken.bars[kLamp].has_bar_colour);
    EXPECT_TRUE(taken.bars[kLamp].has_background);
}

TEST(UpdaterWindowState, BarsCountEveryStepAndAFullBarStaysFull) {
    UpdaterWindowState state;
    state.set_bar_range(qp::kUpdaterListingBar, 3);
    state.step_bar(qp::kUpdaterListingBar);
    state.take();
    state.step_bar(qp::kUpdaterListingBar);
    state.step_bar(qp::kUpdaterListingBar);
    EXPECT_EQ(3, state.take().bars[kListing].position);
    // A step on a full bar changes nothing, so it wakes nothing either.
    EXPECT_FALSE(state.step_bar(qp::kUpdaterListingBar));
    EXPECT_EQ(0u, state.take().changed);

    // A new range starts the bar over.
    state.set_bar_range(qp::kUpdaterListingBar, 10);
    UpdaterWindowTake taken = state.take();
    EXPECT_EQ(0, taken.bars[kListing].position);
    EXPECT_EQ(10, taken.bars[kListing].maximum);
    EXPECT_TRUE(taken.has(qp::kChangedRange, kListing));
    EXPECT_TRUE(taken.has(qp::kChangedPosition, kListing));

    // Controls that are no bar are ignored.
    EXPECT_FALSE(state.step_bar(qp::kUpdaterStatusLine));
    EXPECT_FALSE(state.set_bar_range(4242, 1));
    EXPECT_EQ(0u, state.take().changed);
}

TEST(UpdaterWindowState, TheCloseComesWithTheChangesBeforeIt) {
    UpdaterWindowState state;
    state.set_status("- UPDATE SUCCESS -");
    EXPECT_FALSE(state.request_close());
    UpdaterWindowTake taken = state.take();
    EXPECT_TRUE(taken.has(qp::kChangedClose));
    EXPECT_TRUE(taken.has(qp::kChangedStatus));
    EXPECT_EQ("- UPDATE SUCCESS -", taken.status);

    state.reset();
    EXPECT_TRUE(state.request_repaint()); // a fresh window is quiet
    state.reset();
    taken = state.take();
    EXPECT_EQ(0u, taken.changed);
    EXPECT_EQ("", taken.status);
    EXPECT_EQ(100, taken.bars[kDownload].maximum);
}

// A worker that steps a whole download while the window's thread takes now
// and then: the window goes quiet once for each wake-up, and the last take
// holds every step.
TEST(UpdaterWindowState, AWorkerAndTheWindowThreadShareTheState) {
    UpdaterWindowState state;
    const int steps = 20000;
    state.set_bar_range(qp::kUpdaterDownloadBar, steps);
    state.set_bar_range(qp::kUpdaterListingBar, steps / 2);
    state.take();
    state.take(); // the window is quiet when the worker starts

    std::atomic<int> wakes{0};
    std::atomic<bool> worker_done{false};
    std::thread worker([&] {
        for (int i = 0; i < steps; ++i) {
            if (state.step_bar(qp::kUpdaterDownloadBar))
                ++wakes;
            if (i % 2 == 0 && state.step_bar(qp::kUpdaterListingBar))
                ++wakes;
        }
        worker_done = true;
    });
    int quiet_spells = 0;
    bool quiet = true;
    UpdaterWindowTake last;
    for (;;) {
        const bool finished = worker_done.load();
        UpdaterWindowTake taken = state.take();
        if (taken.changed != 0) {
            quiet = false;
            last = taken;
        } else if (!quiet) {
            quiet = true;
            ++quiet_spells;
        }
        if (finished && quiet)
            break;
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_GE(wakes.load(), 1);
    EXPECT_EQ(wakes.load(), quiet_spells);
    EXPECT_EQ(steps, last.bars[kDownload].position);
    EXPECT_EQ(steps / 2, last.bars[kListing].position);
}

} // namespace
