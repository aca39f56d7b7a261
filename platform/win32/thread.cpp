// Threads over the C run-time's _beginthreadex.
#include "quill/platform/thread.h"

#include <process.h>

#include "quill/platform/types.h"

#include "../common/thread_shares.h"

namespace qp {

struct ThreadRecord : ThreadShares {
    HANDLE handle;
};

namespace {

unsigned __stdcall run(void* record) {
    run_then_release(static_cast<ThreadRecord*>(record));
    return 0;
}

} // namespace

ThreadHandle thread_start(ThreadProc proc, void* argument) {
    ThreadRecord* record = new ThreadRecord{{proc, argument}, nullptr};
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
