#include "transport/CLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
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

    // Whether another thread gets the lock, within wait_ms, once
    // logging_call writes its first log line. release runs after the call,
    // so that the other thread can finish and be joined.
    bool other_thread_gets_in_while_logging(CLock& lock, uint32_t wait_ms,
                                            const std::function<void()>& logging_call,
                                            const std::function<void()>& release = {}) {
        qp::Event entered(true, false);
        std::thread other;
        std::atomic<int> checks{0};
        std::atomic<bool> got_in{false};
        clock.on_local_time = [&] {
            if (checks++ != 0)
                return;
            other = std::thread([&] {
                lock.Enter();
                entered.set();
                lock.Leave();
            });
            got_in = entered.wait(wait_ms);
        };
        logging_call();
        clock.on_local_time = nullptr;
        if (release)
            release();
        EXPECT_TRUE(other.joinable()) << "the call wrote nothing to the log";
        if (other.joinable())
            other.join();
        EXPECT_TRUE(entered.wait(0)) << "the other thread got in once the lock was free";
        return got_in;
    }
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
    EXPECT_TRUE(other_thread_gets_in_while_logging(lock, 2000, [&] { lock.Leave("done"); }));
}

TEST_F(CLockLogging, EnterHoldsTheLockBeforeItLogs) {
    CLock lock;
    EXPECT_FALSE(other_thread_gets_in_while_logging(
        lock, 500, [&] { lock.Enter("busy"); }, [&] { lock.Leave(); }));
}

} // namespace
