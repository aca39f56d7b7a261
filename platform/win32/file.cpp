// Files and folders on Windows, through the narrow (code page) API.
#include "quill/platform/file.h"

#include "../common/folder_scan.h"

#include "quill/platform/types.h"

#include <io.h>
#include <stdio.h>

namespace qp {

const FileHandle kInvalidFile = INVALID_HANDLE_VALUE;

namespace {

bool is_dot_or_dot_dot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

bool scan_folder(const char* pattern, const std::function<bool(DirEntry)>& visit) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        // No match in a readable folder is an empty listing, not a failure.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        if (is_dot_or_dot_dot(found.cFileName))
            continue;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!visit(DirEntry{found.cFileName, folder}))
            break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

FileHandle file_open_append(const char* name) {
    HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kInvalidFile;
    if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        const DWORD saved = GetLastError();
        CloseHandle(file);
        SetLastError(saved);
        return kInvalidFile;
    }
    return file;
}

FileHandle file_open_read(const char* name) {
    return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool file_write(FileHandle file, const void* data, uint32_t size, uint32_t* written) {
    DWORD done = 0;
    const BOOL ok = WriteFile(file, data, size, &done, nullptr);
    *written = done;
    return ok != 0;
}

bool file_read(FileHandle file, void* buffer, uint32_t size, uint32_t* read_count) {
    DWORD done = 0;
    const BOOL ok = ReadFile(file, buffer, size, &done, nullptr);
    *read_count = ok ? done : 0;
    return ok != 0;
}

bool file_close(FileHandle file) {
    return file != kInvalidFile && CloseHandle(file) != 0;
}

uint32_t last_error() {
    return GetLastError();
}

bool path_exists(const char* name) {
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

bool is_directory(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool delete_file(const char* name) {
    return DeleteFileA(name) != 0;
}

bool create_directory(const char* name) {
    return CreateDirectoryA(name, nullptr) != 0;
}

std::string current_directory() {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer)
        return std::string();
    return std::string(buffer, length);
}

bool set_current_directory(const char* name) {
    return SetCurrentDirectoryA(name) != 0;
}

bool restrict_to_owner(const char* name) {
    return path_exists(name);
}

bool make_writable(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    // A link's attributes are its own business; the target is not ours.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    return SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL) != 0;
}

bool mark_program_executable(const char* name) {
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

bool remove_directory(const char* name) {
    return RemoveDirectoryA(name) != 0;
}

bool move_file(const char* from, const char* to) {
    return MoveFileA(from, to) != 0;
}

bool copy_file(const char* from, const char* to) {
    return CopyFileA(from, to, TRUE) != 0;
}

bool is_symbolic_link(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool path_leaves_folder(const char* root, const char* relative) {
    std::string walked = root;
    const std::string rest = relative;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = rest.size();
        if (end > start) {
            walked += "\\" + rest.substr(start, end - start);
            const DWORD attributes = GetFileAttributesA(walked.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                return false;
            // Resolving a junction's target takes calls older systems lack;
            // refusing every one is the safe side.
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                return true;
        }
        start = end + 1;
    }
    return false;
}

bool replace_file(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

FILE* open_stream(const char* name, const char* mode) {
    return fopen(name, mode);
}

std::string system_path(const char* name) {
    return name;
}

bool stream_is_terminal(FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

} // namespace qp
