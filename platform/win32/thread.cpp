// Threads over the C run-time's _beginthreadex.
#include "quill/platform/thread.h"

#include <process.h>

#include <atomic>

#include "quill/platform/types.h"

namespace qp {

struct ThreadRecord {
    HANDLE handle;
    ThreadProc proc;
    void* argument;
    // The running thread and a detaching caller each hold one share of the
    // record; whoever lets go last frees it. A joining caller frees it after
    // the join.
    std::atomic<int> shares;
};

namespace {

void release_share(ThreadRecord* record) {
    if (record->shares.fetch_sub(1) == 1)
        delete record;
}

unsigned __stdcall run(void* record_pointer) {
    ThreadRecord* record = static_cast<ThreadRecord*>(record_pointer);
    record->proc(record->argument);
    release_share(record);
    return 0;
}

} // namespace

ThreadHandle thread_start(ThreadProc proc, void* argument) {
    ThreadRecord* record = new ThreadRecord{nullptr, proc, argument, {2}};
    const uintptr_t handle = _beginthreadex(nullptr, 0, run, record, 0, nullptr);
    if (handle == 0) {
        delete record;
        return nullptr;
    }
    record->handle = reinterpret_cast<HANDLE>(handle);
    return record;
}

bool thread_join(ThreadHandle thread) {
    if (!thread)
        return false;
    const bool joined = WaitForSingleObject(thread->handle, INFINITE) == WAIT_OBJECT_0;
    CloseHandle(thread->handle);
    delete thread;
    return joined;
}

void thread_detach(ThreadHandle thread) {
    if (!thread)
        return;
    CloseHandle(thread->handle);
    release_share(thread);
}

bool thread_is_current(ThreadHandle thread) {
    return thread && GetThreadId(thread->handle) == GetCurrentThreadId();
}

bool thread_raise_priority() {
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL) != 0;
}

} // namespace qp
