// Starting a program of the installation (internal to the platform layer).
#ifndef QUILL_PLATFORM_POSIX_SPAWN_PROGRAM_H
#define QUILL_PLATFORM_POSIX_SPAWN_PROGRAM_H

#include <sys/types.h>

namespace qp {

// Starts path (backslashes read as slashes; a bare name is in the current
// directory, as on Windows, never on $PATH) with parameters as its one
// argument, none when empty. 0 when it could not be started.
pid_t spawn_program(const char* path, const char* parameters);

} // namespace qp

#endif
