#include "quill/platform/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "quill/platform/clock.h"

namespace {

TEST(Event, ManualResetReleasesEveryWaiterAndStaysSet) {
    qp::Event event(true, false);
    EXPECT_FALSE(event.wait(0));
    std::atomic<int> released{0};
    std::thread a([&] { released += event.wait(qp::kWaitForever); });
    std::thread b([&] { released += event.wait(qp::kWaitForever); });
    event.set();
    a.join();
    b.join();
    EXPECT_EQ(released.load(), 2);
    EXPECT_TRUE(event.wait(0)) << "a manual-reset event stays set";
    event.reset();
    EXPECT_FALSE(event.wait(0));
}

TEST(Event, AutoResetReleasesExactlyOneWaiter) {
    qp::Event event(false, false);
    std::atomic<int> released{0};
    auto waiter = [&] { released += event.wait(300); };
    std::thread a(waiter);
    std::thread b(waiter);
    qp::system_clock().sleep(50);
    event.set();
    a.join();
    b.join();
    EXPECT_EQ(released.load(), 1);
    EXPECT_FALSE(event.wait(0)) << "the release must have reset the event";
}

TEST(Event, SetBeforeWaitIsNotLost) {
    qp::Event automatic(false, false);
    automatic.set();
    EXPECT_TRUE(automatic.wait(0));
    EXPECT_FALSE(automatic.wait(0));

    qp::Event initially(true, true);
    EXPECT_TRUE(initially.wait(qp::kWaitForever));
}

TEST(Event, TimedWaitLastsAboutItsTime) {
    qp::Event event(true, false);
    const uint32_t start = qp::system_clock().tick_count();
    EXPECT_FALSE(event.wait(200));
    const uint32_t elapsed = qp::system_clock().tick_count() - start;
    EXPECT_GE(elapsed, 170u); // the Windows tick count moves in steps of 10 to 16 ms
    EXPECT_LT(elapsed, 2000u);
}

TEST(WaitEither, TellsWhichEventWasSet) {
    qp::Event first(false, false);
    qp::Event second(false, false);
    EXPECT_EQ(qp::wait_either(first, second, 0), -1);

    std::thread setter([&] {
        qp::system_clock().sleep(30);
        second.set();
    });
    EXPECT_EQ(qp::wait_either(first, second, qp::kWaitForever), 1);
    setter.join();
    EXPECT_FALSE(second.wait(0)) << "the auto-reset event must be taken by the wait";

    first.set();
    second.set();
    EXPECT_EQ(qp::wait_either(first, second, 100), 0) << "the first event wins when both are set";
    EXPECT_EQ(qp::wait_either(first, second, 100), 1);
    EXPECT_EQ(qp::wait_either(first, second, 20), -1);
}

TEST(WaitEither, ManyRoundsLoseNoSignal) {
    // A receiver waiting on two events, as the receive thread does, while two
    // producers set them: every set must end up releasing a wait.
    qp::Event first(false, false);
    qp::Event second(false, false);
    qp::Event first_taken(false, false);
    qp::Event second_taken(false, false);
    const int rounds = 2000;
    std::thread a([&] {
        for (int i = 0; i < rounds; ++i) {
            first.set();
            ASSERT_TRUE(first_taken.wait(5000));
        }
    });
    std::thread b([&] {
        for (int i = 0; i < rounds; ++i) {
            second.set();
            ASSERT_TRUE(second_taken.wait(5000));
        }
    });
    int seen[2] = {0, 0};
    while (seen[0] + seen[1] < 2 * rounds) {
        const int which = qp::wait_either(first, second, 5000);
        ASSERT_GE(which, 0) << "a set was lost";
        ++seen[which];
        (which == 0 ? first_taken : second_taken).set();
    }
    a.join();
    b.join();
    EXPECT_EQ(seen[0], rounds);
    EXPECT_EQ(seen[1], rounds);
}

TEST(RawLock, IsRecursiveAndHoldsOthersOut) {
    QuillRawLock lock;
    qp::lock_init(&lock);
    qp::lock_enter(&lock);
    qp::lock_enter(&lock);
    std::atomic<bool> inside{false};
    std::thread other([&] {
        qp::ScopedLock hold(&lock);
        inside = true;
    });
    qp::lock_leave(&lock);
    qp::system_clock().sleep(50);
    EXPECT_FALSE(inside.load());
    qp::lock_leave(&lock);
    other.join();
    EXPECT_TRUE(inside.load());
    qp::lock_destroy(&lock);
}

} // namespace
