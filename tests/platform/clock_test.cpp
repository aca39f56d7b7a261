#include "quill/platform/clock.h"

#include <gtest/gtest.h>

#include "support/test_clock.h"

namespace {

TEST(Clock, ReplacementIsUsedAndRestored) {
    quill_test::TestClock fake;
    fake.set_date(2024, 2, 29);
    {
        quill_test::ClockInForce in_force(&fake);
        SYSTEMTIME now;
        qp::local_time(&now);
        EXPECT_EQ(now.wYear, 2024);
        EXPECT_EQ(now.wMonth, 2);
        EXPECT_EQ(now.wDay, 29);
        const uint32_t before = qp::tick_count();
        qp::sleep(60000); // a test clock lets a minute pass at once
        EXPECT_EQ(qp::tick_count() - before, 60000u);
    }
    EXPECT_EQ(&qp::clock(), &qp::system_clock());
    EXPECT_EQ(qp::set_clock(nullptr), &qp::system_clock());
}

TEST(Clock, SystemClockTellsPlausibleTimes) {
    SYSTEMTIME local, utc;
    qp::system_clock().local_time(&local);
    qp::system_clock().system_time(&utc);
    for (const SYSTEMTIME& t : {local, utc}) {
        EXPECT_GE(t.wYear, 2024);
        EXPECT_GE(t.wMonth, 1);
        EXPECT_LE(t.wMonth, 12);
        EXPECT_GE(t.wDay, 1);
        EXPECT_LE(t.wDay, 31);
        EXPECT_LE(t.wHour, 23);
        EXPECT_LE(t.wMilliseconds, 999);
    }
}

TEST(Clock, RealSleepLastsAboutItsTime) {
    qp::Clock& real = qp::system_clock();
    const uint32_t start = real.tick_count();
    real.sleep(100);
    const uint32_t elapsed = real.tick_count() - start;
    // The Windows tick count moves in steps of 10 to 16 ms.
    EXPECT_GE(elapsed, 75u);
    EXPECT_LT(elapsed, 2000u);
}

} // namespace
