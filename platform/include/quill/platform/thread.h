// Threads.
#ifndef QUILL_PLATFORM_THREAD_H
#define QUILL_PLATFORM_THREAD_H

namespace qp {

typedef void (*ThreadProc)(void* argument);

// A started thread. A null handle means the start failed.
typedef struct ThreadRecord* ThreadHandle;

// Starts proc(argument) on a new thread with the default stack size.
// Returns null when no thread could be made; proc is then never called.
ThreadHandle thread_start(ThreadProc proc, void* argument);
// Waits for the thread to end and releases the handle. False for a null handle.
bool thread_join(ThreadHandle thread);
// Lets the thread run on unwatched; its resources go when it ends.
void thread_detach(ThreadHandle thread);

// True when the calling thread is that thread.
bool thread_is_current(ThreadHandle thread);

// Raises the calling thread above normal priority. False when the system
// refused (ordinary users may not raise priorities on every system); the
// thread then goes on at its old priority.
bool thread_raise_priority();

} // namespace qp

#endif
