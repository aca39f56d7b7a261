// FTP sessions through libcurl. Each connection owns one transfer handle and
// one multi handle whose connection cache keeps the control connection open
// from one request to the next, so a session logs on once. Every request is
// driven through the multi handle, which also lets a remote file be read in
// pieces as the caller asks for them.
#include "quill/platform/ftp.h"

#include "quill/platform/file.h"
#include "quill/platform/ftp_reply.h"
#include "quill/platform/text.h"

#include <curl/curl.h>
#include <poll.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace qp {

struct FtpAgent {
    std::vector<FtpConnection*> connections;
};

struct FtpConnection {
    FtpAgent* agent = nullptr;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::string base_url;  // "ftp://host:port"
    std::string directory; // as changed into; "" is the logon folder
    std::string replies;   // the server's reply lines of the running request
    FtpRemoteFile* file = nullptr;
    // The control connection the library kept after the last request, bad
    // when it kept none.
    curl_socket_t control = CURL_SOCKET_BAD;
};

struct FtpRemoteFile {
    FtpConnection* connection = nullptr;
    std::string data; // arrived and not yet read, from offset on
    size_t offset = 0;
    bool started = false; // the server agreed to send the file
    bool done = false;
    CURLcode result = CURLE_OK;
};

namespace {

thread_local uint32_t t_last_error = 0;

// Not thread-safe in the library itself, so done once for the process.
void global_init() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Percent-encodes a remote path for a URL, keeping its '/' separators.
std::string encode_path(const std::string& path) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

// A remote path taken from the current directory, as the server would.
std::string combine(const std::string& directory, const std::string& name) {
    if (!name.empty() && name[0] == '/')
        return name;
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

// The URL of a remote path. A path from the server's root starts with an
// encoded '/', which the library sends as part of the folder to change into;
// other paths start at the logon folder. Names go on the wire in code page
// 949, as the Windows product sends them: false for a name without that form.
bool url_of(const FtpConnection* connection, const std::string& path, std::string* url) {
    std::string wire;
    if (!name_to_cp949(path, &wire))
        return false;
    if (!wire.empty() && wire[0] == '/')
        *url = connection->base_url + "/%2F" + encode_path(wire.substr(1));
    else
        *url = connection->base_url + "/" + encode_path(wire);
    return true;
}

bool folder_url_of(const FtpConnection* connection, const std::string& path, std::string* url) {
    if (!url_of(connection, path, url))
        return false;
    if (url->back() != '/')
        *url += '/';
    return true;
}

size_t on_reply_line(char* text, size_t size, size_t count, void* user) {
    FtpConnection* connection = static_cast<FtpConnection*>(user);
    const size_t length = size * count;
    connection->replies.append(text, length);
    // A transfer that opens means the file exists and is on its way.
    if (connection->file && ftp_reply_opens_transfer(text, length))
        connection->file->started = true;
    return length;
}

size_t on_file_data(char* data, size_t size, size_t count, void* user) {
    FtpRemoteFile* file = static_cast<FtpRemoteFile*>(user);
    const size_t length = size * count;
    if (file->offset == file->data.size()) {
        file->data.clear();
        file->offset = 0;
    }
    file->data.append(data, length);
    file->started = true;
    return length;
}

size_t discard_data(char*, size_t size, size_t count, void*) {
    return size * count;
}

struct Upload {
    FileHandle file;
    bool failed = false;
};

size_t on_upload_read(char* buffer, size_t size, size_t count, void* user) {
    Upload* upload = static_cast<Upload*>(user);
    uint32_t got = 0;
    const size_t wanted = std::min<size_t>(size * count, 1u << 20);
    if (!file_read(upload->file, buffer, static_cast<uint32_t>(wanted), &got)) {
        upload->failed = true;
        return CURL_READFUNC_ABORT;
    }
    return got;
}

// Puts the handle back to a plain download of nothing.
void reset_request(FtpConnection* connection, const std::string& url) {
    CURL* easy = connection->easy;
    connection->replies.clear();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(easy, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(easy, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, discard_data);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_READFUNCTION, nullptr);
    curl_easy_setopt(easy, CURLOPT_READDATA, nullptr);
}

// Runs the multi handle until stop() holds or the request ends; gives the
// request's result once it ended.
template <typename Stop>
bool drive(FtpConnection* connection, Stop stop, CURLcode* result) {
    for (;;) {
        int running = 0;
        CURLMcode step = curl_multi_perform(connection->multi, &running);
        // On a kept connection the server's passive-mode answer can arrive
        // within the same call that sent the command: the library then
        // leaves the data connection unstarted and waits on the control
        // connection, which has nothing more to say, until the wait below
        // runs out. A second call starts it at once.
        if (step == CURLM_OK && running)
            step = curl_multi_perform(connection->multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(connection->multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == connection->easy) {
                *result = message->data.result;
                // Asked while the request still belongs to the multi handle,
                // whose cache holds the connection.
                if (curl_easy_getinfo(connection->easy, CURLINFO_ACTIVESOCKET,
                                      &connection->control) != CURLE_OK)
                    connection->control = CURL_SOCKET_BAD;
                return true;
            }
        }
        if (step != CURLM_OK) {
            *result = CURLE_RECV_ERROR;
            return true;
        }
        if (stop())
            return false;
        curl_multi_poll(connection->multi, nullptr, 0, 1000, nullptr);
    }
}

// Runs one whole request. True when it succeeded.
bool run(FtpConnection* connection) {
    if (curl_multi_add_handle(connection->multi, connection->easy) != CURLM_OK) {
        t_last_error = CURLE_FAILED_INIT;
        return false;
    }
    CURLcode result = CURLE_OK;
    drive(connection, [] { return false; }, &result);
    curl_multi_remove_handle(connection->multi, connection->easy);
    t_last_error = result;
    return result == CURLE_OK;
}

// Logs on (the first time) and changes into path, without a transfer.
bool visit_folder(FtpConnection* connection, const std::string& path, curl_slist* after) {
    std::string url;
    if (!folder_url_of(connection, path, &url)) {
        t_last_error = CURLE_BAD_FUNCTION_ARGUMENT;
        return false;
    }
    reset_request(connection, url);
    curl_easy_setopt(connection->easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(connection->easy, CURLOPT_POSTQUOTE, after);
    return run(connection);
}

void free_connection(FtpConnection* connection) {
    if (connection->file)
        ftp_close_file(connection->file);
    curl_easy_cleanup(connection->easy);
    curl_multi_cleanup(connection->multi);
    delete connection;
}

} // namespace

FtpAgent* ftp_open_agent(const char* agent_name) {
    global_init();
    // The name only matters to the Windows backend, which tells it to proxies.
    (void)agent_name;
    return new FtpAgent;
}

void ftp_close_agent(FtpAgent* agent) {
    if (!agent)
        return;
    for (FtpConnection* connection : agent->connections)
        free_connection(connection);
    delete agent;
}

FtpConnection* ftp_connect(FtpAgent* agent, const char* server, const char* user,
                           const char* password) {
    std::string host;
    uint16_t port = 0;
    if (!agent || !server || !ftp_split_server_name(server, &host, &port)) {
        t_last_error = CURLE_URL_MALFORMAT;
        return nullptr;
    }
    FtpConnection* connection = new FtpConnection;
    connection->agent = agent;
    connection->multi = curl_multi_init();
    connection->easy = curl_easy_init();
    if (!connection->multi || !connection->easy) {
        t_last_error = CURLE_FAILED_INIT;
        free_connection(connection);
        return nullptr;
    }
    // A host name holding ':' would be an IPv6 address: it goes in brackets.
    connection->base_url = "ftp://" + (host.find(':') != std::string::npos ? "[" + host + "]" : host) +
                           ":" + std::to_string(port);

    CURL* easy = connection->easy;
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(easy, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, on_reply_line);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, connection);
    // A server that stops answering must not hold the updater for ever.
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, 60L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, 60L);
    if (user) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, user);
        curl_easy_setopt(easy, CURLOPT_PASSWORD, password ? password : "");
    }

    if (!visit_folder(connection, "", nullptr)) {
        const uint32_t error = t_last_error;
        free_connection(connection);
        t_last_error = error;
        return nullptr;
    }
    agent->connections.push_back(connection);
    return connection;
}

void ftp_close_connection(FtpConnection* connection) {
    if (!connection)
        return;
    std::vector<FtpConnection*>& list = connection->agent->connections;
    list.erase(std::remove(list.begin(), list.end(), connection), list.end());
    free_connection(connection);
}

bool ftp_set_current_directory(FtpConnection* connection, const char* directory) {
    if (!connection || !directory || connection->file || ftp_has_line_end(directory)) {
        t_last_error = CURLE_BAD_FUNCTION_ARGUMENT;
        return false;
    }
    const std::string target = combine(connection->directory, directory);
    if (!visit_folder(connection, target, nullptr))
        return false;
    connection->directory = target;
    return true;
}

bool ftp_get_current_directory(FtpConnection* connection, std::string* out) {
    if (!connection || connection->file) {
        t_last_error = CURLE_BAD_FUNCTION_ARGUMENT;
        return false;
    }
    curl_slist* print = curl_slist_append(nullptr, "PWD");
    const bool answered = visit_folder(connection, connection->directory, print);
    curl_slist_free_all(print);
    if (!answered)
        return false;
    std::string folder;
    if (!ftp_folder_of_reply(connection->replies, &folder) || !name_from_cp949(folder, out)) {
        t_last_error = CURLE_WEIRD_SERVER_REPLY;
        return false;
    }
    return true;
}

FtpRemoteFile* ftp_open_file(FtpConnection* connection, const char* remote_name) {
    if (!connection || !remote_name || connection->file || ftp_has_line_end(remote_name)) {
        t_last_error = CURLE_BAD_FUNCTION_ARGUMENT;
        return nullptr;
    }
    std::string url;
    if (!url_of(connection, combine(connection->directory, remote_name), &url)) {
        t_last_error = CURLE_BAD_FUNCTION_ARGUMENT;
        return nullptr;
    }
    FtpRemoteFile* file = new FtpRemoteFile;
    file->connection = connection;
    reset_request(connection, url);
    curl_easy_setopt(connection->easy, CURLOPT_WRITEFUNCTION, on_file_data);
    curl_easy_setopt(connection->easy, CURLOPT_WRITEDATA, file);
    if (curl_multi_add_handle(connection->multi, connection->easy) != CURLM_OK) {
        delete file;
        t_last_error = CURLE_FAILED_INIT;
        return nullptr;
    }
    connection->file = file;
    // Open means the server agreed to send: wait for its answer to the
    // retrieve command, or for the end of a transfer that was quicker.
    file->done = drive(connection, [file] { return file->started; }, &file->result);
    if (file->done && file->result != CURLE_OK) {
        t_last_error = file->result;
        curl_multi_remove_handle(connection->multi, connection->easy);
        connection->file = nullptr;
        delete file;
        return nullptr;
    }
    return file;
}

bool ftp_read_file(FtpRemoteFile* file, void* buffer, uint32_t size, uint32_t* read_count) {
    *read_count = 0;
    if (!file)
        return false;
    if (file->offset == file->data.size() && !file->done)
        file->done = drive(file->connection,
                           [file] { return file->offset < file->data.size(); }, &file->result);
    const size_t waiting = file->data.size() - file->offset;
    if (waiting > 0 && size > 0) {
        const size_t count = std::min<size_t>(waiting, size);
        std::copy(file->data.data() + file->offset, file->data.data() + file->offset + count,
                  static_cast<char*>(buffer));
        file->offset += count;
        *read_count = static_cast<uint32_t>(count);
        return true;
    }
    if (file->done && file->result != CURLE_OK) {
        // Whatever arrived before the break is not the whole file.
        t_last_error = file->result;
        return false;
    }
    return true;
}

bool ftp_close_file(FtpRemoteFile* file) {
    if (!file)
        return false;
    FtpConnection* connection = file->connection;
    // Taking the transfer away before its end makes the library drop the
    // connection; the next request opens a new one.
    if (!file->done)
        connection->control = CURL_SOCKET_BAD;
    curl_multi_remove_handle(connection->multi, connection->easy);
    connection->file = nullptr;
    delete file;
    return true;
}

bool ftp_put_file(FtpConnection* connection, const char* local_path, const char* remote_name) {
    if (!connection || !local_path || !remote_name || connection->file ||
        ftp_has_line_end(remote_name)) {
        t_last_error = CURLE_BAD_FUNCTION_ARGUMENT;
        return false;
    }
    std::string url;
    if (!url_of(connection, combine(connection->directory, remote_name), &url)) {
        t_last_error = CURLE_BAD_FUNCTION_ARGUMENT;
        return false;
    }
    Upload upload;
    upload.file = file_open_read(local_path);
    if (upload.file == kInvalidFile) {
        t_last_error = CURLE_READ_ERROR;
        return false;
    }
    reset_request(connection, url);
    curl_easy_setopt(connection->easy, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(connection->easy, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(-1));
    curl_easy_setopt(connection->easy, CURLOPT_READFUNCTION, on_upload_read);
    curl_easy_setopt(connection->easy, CURLOPT_READDATA, &upload);
    const bool sent = run(connection);
    file_close(upload.file);
    if (!sent && upload.failed)
        t_last_error = CURLE_READ_ERROR;
    return sent && !upload.failed;
}

bool ftp_connection_alive(FtpConnection* connection) {
    // The library would send the next command on a connection the server
    // has already hung up on. Between requests the server has nothing to
    // say: anything waiting to be read (a 421 before it hung up, or the end
    // of the stream) means it is gone. Looking costs no command.
    if (!connection || connection->file || connection->control == CURL_SOCKET_BAD)
        return false;
    pollfd waiting = {connection->control, POLLIN, 0};
    return poll(&waiting, 1, 0) == 0;
}

uint32_t ftp_last_error() {
    return t_last_error;
}

} // namespace qp
