// Threads over POSIX threads.
#include "quill/platform/thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "../common/thread_shares.h"

namespace qp {

struct ThreadRecord : ThreadShares {
    pthread_t thread;
};

namespace {

void* run(void* record) {
    run_then_release(static_cast<ThreadRecord*>(record));
    return nullptr;
}

} // namespace

ThreadHandle thread_start(ThreadProc proc, void* argument) {
    ThreadRecord* record = new ThreadRecord{{proc, argument}, pthread_t()};
    if (pthread_create(&record->thread, nullptr, run, record) != 0) {
        delete record;
        return nullptr;
    }
    return record;
}

bool thread_join(ThreadHandle thread) {
    if (!thread)
        return false;
    const bool joined = pthread_join(thread->thread, nullptr) == 0;
    delete thread;
    return joined;
}

void thread_detach(ThreadHandle thread) {
    if (!thread)
        return;
    pthread_detach(thread->thread);
    release_share(thread);
}

bool thread_is_current(ThreadHandle thread) {
    return thread && pthread_equal(thread->thread, pthread_self());
}

bool thread_raise_priority() {
    // Linux schedules threads as tasks: a lower nice value for this task is
    // the nearest thing to "above normal".
    const pid_t task = static_cast<pid_t>(syscall(SYS_gettid));
    const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(task));
    return setpriority(PRIO_PROCESS, static_cast<id_t>(task), current - 1) == 0;
}

} // namespace qp
