#include "transport/CLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "quill/platform/clock.h"
#include "quill/platform/sync.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"
#include "transport/network_log.h"

namespace {

void pause_ms(uint32_t ms) {
    qp::system_clock().sleep(ms);
}

TEST(CLock, OwnerEntersAgainAndOthersWaitForTheLastLeave) {
    CLock lock;
    lock.Enter();
    lock.Enter();
    std::atomic<bool> inside{false};
    std::thread other([&] {
        lock.Enter();
        inside = true;
        lock.Leave();
    });
    pause_ms(50);
    EXPECT_FALSE(inside.load());
    lock.Leave();
    pause_ms(50);
    EXPECT_FALSE(inside.load()) << "one Leave of two must not release the lock";
    lock.Leave();
    other.join();
    EXPECT_TRUE(inside.load());
}

TEST(CLock, IsExactlyItsCriticalSection) {
    CLock lock;
    EXPECT_EQ(static_cast<void*>(lock.GetCriticalSection()), static_cast<void*>(&lock));
    EXPECT_EQ(sizeof(CLock), sizeof(QuillRawLock));
}

TEST(CLock, CopyIsAnIndependentLock) {
    CLock original;
    original.Enter();
    CLock copy(original);
    CLock assigned;
    assigned = original;
    std::atomic<int> entered{0};
    std::thread other([&] {
        copy.Enter();
        assigned.Enter();
        entered = 1;
        assigned.Leave();
        copy.Leave();
    });
    other.join();
    EXPECT_EQ(entered.load(), 1) << "a copy must not share the held original";
    original.Leave();
}

class CLockLogging : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch;
    quill_test::TestClock clock;
    quill_test::ClockInForce in_force{&clock};

    std::string log() {
        char name[256];
        ntc::network_log_file_name(name, sizeof name, 3, 14);
        return quill_test::read_file(name);
    }

    void SetUp() override { clock.set_date(2026, 3, 14); }
};

#ifdef _WIN32
const char* const kNewline = "\r\n";
#else
const char* const kNewline = "\n";
#endif

TEST_F(CLockLogging, LoggingFormsWriteTwoLinesEach) {
    CLock lock;
    lock.Enter("queue %d", 7);
    lock.Leave("queue %s", "done");
    const std::string nl = kNewline;
    EXPECT_EQ(log(), "Enter " + nl + "queue 7" + nl + "Leave " + nl + "queue done" + nl);
}

TEST_F(CLockLogging, LongTextIsCutAt511Bytes) {
    CLock lock;
    const std::string text(2000, 'x');
    lock.Enter("%s", text.c_str());
    lock.Leave();
    const std::string nl = kNewline;
    EXPECT_EQ(log(), "Enter " + nl + std::string(511, 'x') + nl);
}

TEST_F(CLockLogging, LeaveReleasesBeforeItLogs) {
    CLock lock;
    lock.Enter();
    // At the first log write of Leave, another thread must get the lock.
    qp::Event entered(true, false);
    std::thread other;
    std::atomic<int> checks{0};
    std::atomic<bool> other_got_in{false};
    clock.on_local_time = [&] {
        if (checks++ != 0)
            return;
        other = std::thread([&] {
            lock.Enter();
            entered.set();
            lock.Leave();
        });
        other_got_in = entered.wait(2000);
    };
    lock.Leave("done");
    clock.on_local_time = nullptr;
    other.join();
    EXPECT_TRUE(other_got_in.load());
}

TEST_F(CLockLogging, EnterHoldsTheLockBeforeItLogs) {
    CLock lock;
    // At the first log write of Enter, another thread must not get in.
    qp::Event entered(true, false);
    std::thread other;
    std::atomic<int> checks{0};
    std::atomic<bool> other_got_in{true};
    clock.on_local_time = [&] {
        if (checks++ != 0)
            return;
        other = std::thread([&] {
            lock.Enter();
            entered.set();
            lock.Leave();
        });
        other_got_in = entered.wait(200);
    };
    lock.Enter("busy");
    clock.on_local_time = nullptr;
    EXPECT_FALSE(other_got_in.load());
    lock.Leave();
    other.join();
    EXPECT_TRUE(entered.wait(0)) << "the other thread got in once the lock was left";
}

} // namespace
