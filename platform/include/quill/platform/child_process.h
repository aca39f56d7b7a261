// A program started and watched by the one that started it, which may end
// it at any moment: for tests that interrupt a program in the middle of its
// work, as a crash or a power cut would.
#ifndef QUILL_PLATFORM_CHILD_PROCESS_H
#define QUILL_PLATFORM_CHILD_PROCESS_H

namespace qp {

typedef struct ChildRecord* ChildHandle;

// Starts the program path with the parameter string as start_program does
// (in the current directory; on Windows the raw command line, elsewhere
// one argument, none when it is empty). Null when it could not be started.
ChildHandle child_start(const char* path, const char* parameters);
// True while the program runs.
bool child_running(ChildHandle child);
// Kills the program at once, without letting it clean up, waits until it
// is gone and releases the handle. False for a null handle.
bool child_kill(ChildHandle child);
// Waits for the program to end and releases the handle. Its exit code, or
// -1 for a null handle or a program that did not end by itself.
int child_wait(ChildHandle child);

} // namespace qp

#endif
