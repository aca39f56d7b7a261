// FTP sessions on Windows: the internet functions of the system, whose
// agent and connection handles are two levels of the seam. A remote file is
// its handle with a buffer: the caller reads small pieces, and each read of
// the system's may cost a trip through the system's socket layer (a request
// to the server process under Wine), so it is asked for large ones.
#include "quill/platform/ftp.h"
#include "quill/platform/ftp_reply.h"

#include "quill/platform/types.h"

#include <wininet.h>

#include <string.h>

namespace qp {

struct FtpRemoteFile {
    HINTERNET handle = nullptr;
    DWORD offset = 0; // of the next byte to hand out
    DWORD size = 0;   // bytes in buffer
    bool ended = false;
    bool broken = false;
    DWORD error = 0; // of the read that broke
    char buffer[64 * 1024];
};

namespace {

HINTERNET handle_of(const void* level) {
    return static_cast<HINTERNET>(const_cast<void*>(level));
}

// The system puts names into commands as they are: a line end in one would
// end the command and start another.
bool refuse_line_ends(const char* name) {
    if (name && !strpbrk(name, "\r\n"))
        return false;
    SetLastError(ERROR_INVALID_PARAMETER);
    return true;
}

} // namespace

FtpAgent* ftp_open_agent(const char* agent_name) {
    return static_cast<FtpAgent*>(
        InternetOpenA(agent_name, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

void ftp_close_agent(FtpAgent* agent) {
    // The system closes the connections and files made through it.
    if (agent)
        InternetCloseHandle(handle_of(agent));
}

FtpConnection* ftp_connect(FtpAgent* agent, const char* server, const char* user,
                           const char* password) {
    std::string host;
    uint16_t port = 0;
    if (!agent || !ftp_split_server_name(server, &host, &port)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<FtpConnection*>(
        InternetConnectA(handle_of(agent), host.c_str(), port, user, user ? password : nullptr,
                         INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
}

void ftp_close_connection(FtpConnection* connection) {
    if (connection)
        InternetCloseHandle(handle_of(connection));
}

bool ftp_set_current_directory(FtpConnection* connection, const char* directory) {
    if (refuse_line_ends(directory))
        return false;
    return FtpSetCurrentDirectoryA(handle_of(connection), directory) != FALSE;
}

bool ftp_get_current_directory(FtpConnection* connection, std::string* out) {
    char text[MAX_PATH + 1] = {0};
    DWORD length = MAX_PATH;
    if (!FtpGetCurrentDirectoryA(handle_of(connection), text, &length))
        return false;
    // The system takes the folder from the server's reply as it finds it; a
    // line end in it would reach the next command.
    if (ftp_has_line_end(text)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    out->assign(text);
    return true;
}

FtpRemoteFile* ftp_open_file(FtpConnection* connection, const char* remote_name) {
    if (refuse_line_ends(remote_name))
        return nullptr;
    // Always the server's current content: a copy the system kept from an
    // earlier run would hide a new version of the file.
    HINTERNET handle =
        FtpOpenFileA(handle_of(connection), remote_name, GENERIC_READ,
                     FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE,
                     0);
    if (!handle)
        return nullptr;
    FtpRemoteFile* file = new FtpRemoteFile;
    file->handle = handle;
    return file;
}

bool ftp_read_file(FtpRemoteFile* file, void* buffer, uint32_t size, uint32_t* read_count) {
    *read_count = 0;
    if (!file)
        return false;
    // Whole pieces but for the last, as the system gives them when asked for
    // one piece at a time; a break is told after the bytes that came before.
    char* out = static_cast<char*>(buffer);
    uint32_t count = 0;
    while (count < size) {
        if (file->offset == file->size) {
            if (file->ended || file->broken)
                break;
            DWORD got = 0;
            if (!InternetReadFile(file->handle, file->buffer, sizeof file->buffer, &got)) {
                file->broken = true;
                file->error = GetLastError();
                break;
            }
            file->offset = 0;
            file->size = got;
            if (got == 0) {
                file->ended = true;
                break;
            }
        }
        const DWORD waiting = file->size - file->offset;
        const DWORD step = size - count < waiting ? size - count : waiting;
        memcpy(out + count, file->buffer + file->offset, step);
        file->offset += step;
        count += step;
    }
    *read_count = count;
    if (count == 0 && file->broken) {
        SetLastError(file->error);
        return false;
    }
    return true;
}

bool ftp_close_file(FtpRemoteFile* file) {
    if (!file)
        return false;
    const bool closed = InternetCloseHandle(file->handle) != FALSE;
    delete file;
    return closed;
}

bool ftp_put_file(FtpConnection* connection, const char* local_path, const char* remote_name) {
    if (refuse_line_ends(remote_name))
        return false;
    return FtpPutFileA(handle_of(connection), local_path, remote_name, FTP_TRANSFER_TYPE_BINARY,
                       0) != FALSE;
}

bool ftp_connection_alive(FtpConnection* connection) {
    // The system notices a dropped connection only when it next sends a
    // command on it: the shortest command that changes nothing.
    if (!connection)
        return false;
    char text[MAX_PATH + 1] = {0};
    DWORD length = MAX_PATH;
    return FtpGetCurrentDirectoryA(handle_of(connection), text, &length) != FALSE;
}

uint32_t ftp_last_error() {
    return GetLastError();
}

} // namespace qp
