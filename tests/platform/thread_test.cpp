#include "quill/platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "quill/platform/sync.h"

namespace {

struct Work {
    std::atomic<int> runs{0};
    qp::Event done{true, false};
};

void do_work(void* argument) {
    Work* work = static_cast<Work*>(argument);
    ++work->runs;
    work->done.set();
}

TEST(Thread, JoinWaitsForTheProcedure) {
    Work work;
    qp::ThreadHandle thread = qp::thread_start(do_work, &work);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(qp::thread_join(thread));
    EXPECT_EQ(work.runs.load(), 1);
    EXPECT_FALSE(qp::thread_join(nullptr));
}

TEST(Thread, DetachedThreadsRunToTheirEnd) {
    Work works[20];
    for (Work& work : works) {
        qp::ThreadHandle thread = qp::thread_start(do_work, &work);
        ASSERT_NE(thread, nullptr);
        qp::thread_detach(thread);
    }
    for (Work& work : works) {
        EXPECT_TRUE(work.done.wait(10000));
        EXPECT_EQ(work.runs.load(), 1);
    }
}

} // namespace
