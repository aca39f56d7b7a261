// Files and folders on POSIX systems. Names arrive in Windows form; every
// backslash becomes a slash here, at the system-call boundary.
#include "quill/platform/file.h"

#include "../common/folder_scan.h"

#include <dirent.h>
#include <stdlib.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdint.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qp {

const FileHandle kInvalidFile = reinterpret_cast<FileHandle>(static_cast<intptr_t>(-1));

namespace {

std::string native(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

int descriptor(FileHandle file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file));
}

FileHandle handle(int fd) {
    return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd));
}

bool valid(FileHandle file) {
    const intptr_t value = reinterpret_cast<intptr_t>(file);
    return value >= 0 && value <= INT_MAX;
}

// Splits "folder/pattern" into the folder to read and the wildcard.
void split_pattern(const std::string& path, std::string* folder, std::string* wildcard) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        *folder = ".";
        *wildcard = path;
    } else {
        *folder = slash == 0 ? "/" : path.substr(0, slash);
        *wildcard = path.substr(slash + 1);
    }
}

bool entry_is_directory(const std::string& folder, const struct dirent* entry) {
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return entry->d_type == DT_DIR;
    struct stat info;
    const std::string full = folder + "/" + entry->d_name;
    return stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

bool scan_folder(const char* pattern, const std::function<bool(DirEntry)>& visit) {
    std::string folder, wildcard;
    split_pattern(native(pattern), &folder, &wildcard);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    while (const struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        if (!wildcard_match(wildcard.c_str(), name))
            continue;
        if (!visit(DirEntry{name, entry_is_directory(folder, entry)}))
            break;
    }
    closedir(dir);
    return true;
}

FileHandle file_open_append(const char* name) {
    const int fd = open(native(name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return kInvalidFile;
    if (lseek(fd, 0, SEEK_END) < 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return kInvalidFile;
    }
    return handle(fd);
}

FileHandle file_open_read(const char* name) {
    const int fd = open(native(name).c_str(), O_RDONLY | O_CLOEXEC);
    return fd < 0 ? kInvalidFile : handle(fd);
}

bool file_write(FileHandle file, const void* data, uint32_t size, uint32_t* written) {
    *written = 0;
    if (!valid(file)) {
        errno = EBADF;
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    while (*written < size) {
        const ssize_t done = write(descriptor(file), bytes + *written, size - *written);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            // Bytes already written stay counted; the call still failed.
            return *written > 0 && errno == ENOSPC;
        }
        if (done == 0)
            break;
        *written += static_cast<uint32_t>(done);
    }
    return true;
}

bool file_read(FileHandle file, void* buffer, uint32_t size, uint32_t* read_count) {
    *read_count = 0;
    if (!valid(file)) {
        errno = EBADF;
        return false;
    }
    for (;;) {
        const ssize_t done = read(descriptor(file), buffer, size);
        if (done >= 0) {
            *read_count = static_cast<uint32_t>(done);
            return true;
        }
        if (errno != EINTR)
            return false;
    }
}

bool file_close(FileHandle file) {
    if (!valid(file)) {
        errno = EBADF;
        return false;
    }
    return close(descriptor(file)) == 0;
}

uint32_t last_error() {
    return static_cast<uint32_t>(errno);
}

bool path_exists(const char* name) {
    struct stat info;
    return stat(native(name).c_str(), &info) == 0;
}

bool is_directory(const char* name) {
    struct stat info;
    return stat(native(name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool delete_file(const char* name) {
    const std::string path = native(name);
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return false;
    }
    return unlink(path.c_str()) == 0;
}

bool create_directory(const char* name) {
    return mkdir(native(name).c_str(), 0755) == 0;
}

std::string current_directory() {
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return std::string();
    return buffer;
}

bool set_current_directory(const char* name) {
    return chdir(native(name).c_str()) == 0;
}

bool restrict_to_owner(const char* name) {
    return chmod(native(name).c_str(), S_IRUSR | S_IWUSR) == 0;
}

bool make_writable(const char* name) {
    const std::string path = native(name);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return false;
    // chmod would follow the link and change a file that may lie anywhere.
    if (S_ISLNK(info.st_mode))
        return true;
    if (info.st_mode & S_IWUSR)
        return true;
    return chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) == 0;
}

bool mark_program_executable(const char* name) {
    const std::string path = native(name);
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    unsigned char head[4] = {0, 0, 0, 0};
    const size_t got = fread(head, 1, sizeof head, file);
    fclose(file);
    const bool elf = got == 4 && head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' &&
                     head[3] == 'F';
    const bool script = got >= 2 && head[0] == '#' && head[1] == '!';
    if (!elf && !script)
        return true;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return false;
    if (S_ISLNK(info.st_mode))
        return true;
    mode_t mode = info.st_mode & 07777;
    if (mode & S_IRUSR)
        mode |= S_IXUSR;
    if (mode & S_IRGRP)
        mode |= S_IXGRP;
    if (mode & S_IROTH)
        mode |= S_IXOTH;
    return mode == (info.st_mode & 07777) || chmod(path.c_str(), mode) == 0;
}

bool remove_directory(const char* name) {
    const std::string path = native(name);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return false;
    if (S_ISLNK(info.st_mode)) {
        // Windows removes a folder link itself; rmdir would refuse it.
        struct stat target;
        if (stat(path.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) {
            errno = ENOTDIR;
            return false;
        }
        return unlink(path.c_str()) == 0;
    }
    return rmdir(path.c_str()) == 0;
}

namespace {

// Copies an open descriptor's content into a new file that must not exist.
bool copy_into_new_file(int source, const std::string& to, mode_t mode) {
    const int target = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0777);
    if (target < 0)
        return false;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t got = read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        uint32_t written = 0;
        if (!file_write(handle(target), buffer, static_cast<uint32_t>(got), &written) ||
            written != static_cast<uint32_t>(got)) {
            ok = false;
            break;
        }
    }
    if (close(target) != 0)
        ok = false;
    if (!ok) {
        const int saved = errno;
        unlink(to.c_str());
        errno = saved;
    }
    return ok;
}

} // namespace

bool move_file(const char* from, const char* to) {
    const std::string source = native(from);
    const std::string target = native(to);
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace flag: check first, then move.
        struct stat info;
        if (lstat(target.c_str(), &info) == 0) {
            errno = EEXIST;
            return false;
        }
        return rename(source.c_str(), target.c_str()) == 0;
    }
    if (errno != EXDEV)
        return false;
    // Windows moves a file to another volume by copying it; so do we.
    const int input = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (input < 0)
        return false;
    struct stat info;
    bool ok = fstat(input, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok)
        errno = EXDEV;
    ok = ok && copy_into_new_file(input, target, info.st_mode);
    close(input);
    if (ok && unlink(source.c_str()) != 0) {
        const int saved = errno;
        unlink(target.c_str());
        errno = saved;
        return false;
    }
    return ok;
}

bool copy_file(const char* from, const char* to) {
    const int input = open(native(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (input < 0)
        return false;
    struct stat info;
    bool ok = fstat(input, &info) == 0;
    if (ok && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        ok = false;
    }
    ok = ok && copy_into_new_file(input, native(to), info.st_mode);
    const int saved = errno;
    close(input);
    errno = saved;
    return ok;
}

bool is_symbolic_link(const char* name) {
    struct stat info;
    return lstat(native(name).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

namespace {

bool lies_inside(const std::string& path, const std::string& folder) {
    if (folder == "/")
        return true;
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

} // namespace

bool path_leaves_folder(const char* root, const char* relative) {
    const std::string base = native(root);
    const std::string real_base = resolved(base);
    if (real_base.empty())
        return true;
    const std::string rest = native(relative);
    std::string walked = base;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('/', start);
        if (end == std::string::npos)
            end = rest.size();
        if (end > start) {
            walked += "/" + rest.substr(start, end - start);
            struct stat info;
            if (lstat(walked.c_str(), &info) != 0)
                return false;
            if (S_ISLNK(info.st_mode)) {
                const std::string target = resolved(walked);
                if (target.empty() || !lies_inside(target, real_base))
                    return true;
            }
        }
        start = end + 1;
    }
    return false;
}

bool replace_file(const char* from, const char* to) {
    return rename(native(from).c_str(), native(to).c_str()) == 0;
}

FILE* open_stream(const char* name, const char* mode) {
    FILE* stream = fopen(native(name).c_str(), mode);
    if (!stream)
        return nullptr;
    // fopen opens a folder for reading here; Windows never does.
    struct stat info;
    if (fstat(fileno(stream), &info) != 0 || S_ISDIR(info.st_mode)) {
        fclose(stream);
        errno = EISDIR;
        return nullptr;
    }
    return stream;
}

std::string system_path(const char* name) {
    return native(name);
}

bool stream_is_terminal(FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

} // namespace qp
