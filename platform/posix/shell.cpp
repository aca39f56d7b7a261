// Programs through posix_spawn, web pages through xdg-open.
#include "quill/platform/shell.h"

#include "spawn_program.h"

#include <errno.h>
#include <limits.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>

extern char** environ;

namespace qp {

namespace {

// The started program outlives us or not; either way it must not stay a
// zombie while we run on, so a detached thread collects its exit.
void reap_later(pid_t child) {
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

// Starts file with at most one argument; 0 when it could not be started.
pid_t spawn(const std::string& file, const char* argument, bool search_path) {
    char* argv[3] = {const_cast<char*>(file.c_str()), const_cast<char*>(argument), nullptr};
    pid_t child = 0;
    const int failed = search_path
                           ? posix_spawnp(&child, file.c_str(), nullptr, nullptr, argv, environ)
                           : posix_spawn(&child, file.c_str(), nullptr, nullptr, argv, environ);
    return failed == 0 ? child : 0;
}

} // namespace

pid_t spawn_program(const char* path, const char* parameters) {
    std::string file(path);
    for (char& c : file)
        if (c == '\\')
            c = '/';
    // A bare name means the current directory, as on Windows, never $PATH.
    if (file.find('/') == std::string::npos)
        file = "./" + file;
    const bool has_parameters = parameters && parameters[0] != '\0';
    return spawn(file, has_parameters ? parameters : nullptr, false);
}

bool start_program(const char* path, const char* parameters) {
    const pid_t child = spawn_program(path, parameters);
    if (child == 0)
        return false;
    reap_later(child);
    return true;
}

int run_program(const char* path, const char* parameters) {
    const pid_t child = spawn_program(path, parameters);
    if (child == 0)
        return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool open_url(const char* url) {
    const pid_t child = spawn("xdg-open", url, true);
    if (child == 0)
        return false;
    reap_later(child);
    return true;
}

std::string command_line_parameters(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += argv[i];
    }
    return text;
}

std::string program_folder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    const std::string full(path, static_cast<size_t>(length));
    const size_t slash = full.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : full.substr(0, slash);
}

} // namespace qp
