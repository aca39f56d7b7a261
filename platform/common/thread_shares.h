// What both systems keep of a started thread besides its native handle
// (internal to the platform layer).
#ifndef QUILL_PLATFORM_COMMON_THREAD_SHARES_H
#define QUILL_PLATFORM_COMMON_THREAD_SHARES_H

#include <atomic>

#include "quill/platform/thread.h"

namespace qp {

// The base of each system's ThreadRecord. The running thread and a
// detaching caller each hold one share of the record; whoever lets go last
// frees it. A joining caller frees it after the join.
struct ThreadShares {
    ThreadProc proc;
    void* argument;
    std::atomic<int> shares{2};
};

template <typename Record> void release_share(Record* record) {
    if (record->shares.fetch_sub(1) == 1)
        delete record;
}

// The started thread's whole life: the procedure, then its share let go.
template <typename Record> void run_then_release(Record* record) {
    record->proc(record->argument);
    release_share(record);
}

} // namespace qp

#endif
