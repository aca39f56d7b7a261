// Watched programs through posix_spawn and signals.
#include "quill/platform/child_process.h"

#include "spawn_program.h"

#include <errno.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>

namespace qp {

struct ChildRecord {
    pid_t pid;
    bool ended;
    int status;
};

namespace {

bool reap(ChildRecord* child, int options) {
    if (child->ended)
        return true;
    pid_t got;
    while ((got = waitpid(child->pid, &child->status, options)) < 0 && errno == EINTR) {
    }
    if (got == child->pid)
        child->ended = true;
    return child->ended;
}

} // namespace

ChildHandle child_start(const char* path, const char* parameters) {
    const pid_t pid = spawn_program(path, parameters);
    if (pid == 0)
        return nullptr;
    return new ChildRecord{pid, false, 0};
}

bool child_running(ChildHandle child) {
    return child && !reap(child, WNOHANG);
}

bool child_kill(ChildHandle child) {
    if (!child)
        return false;
    if (!child->ended)
        kill(child->pid, SIGKILL);
    reap(child, 0);
    delete child;
    return true;
}

int child_wait(ChildHandle child) {
    if (!child)
        return -1;
    reap(child, 0);
    const int code = WIFEXITED(child->status) ? WEXITSTATUS(child->status) : -1;
    delete child;
    return code;
}

} // namespace qp
