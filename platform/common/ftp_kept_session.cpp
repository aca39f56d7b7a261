// The session kept between transfers, the same on every backend: only the
// check that the server still holds it is the backend's.
#include "quill/platform/ftp.h"

#include <mutex>
#include <string>

namespace qp {

namespace {

struct KeptSession {
    FtpAgent* agent = nullptr;
    FtpConnection* connection = nullptr;
    std::string server;
    bool named = false;
    std::string user;
    std::string password;
    std::string directory;
};

std::mutex g_kept_lock;
KeptSession g_kept;

// Closes what is kept; the caller holds the lock.
void close_kept() {
    ftp_close_agent(g_kept.agent);
    g_kept = KeptSession();
}

} // namespace

void ftp_keep_session(FtpAgent* agent, FtpConnection* connection, const char* server,
                      const char* user, const char* password, const char* directory) {
    std::lock_guard<std::mutex> hold(g_kept_lock);
    close_kept();
    if (!agent || !connection || !server || !directory) {
        ftp_close_agent(agent);
        return;
    }
    g_kept.agent = agent;
    g_kept.connection = connection;
    g_kept.server = server;
    g_kept.named = user != nullptr;
    g_kept.user = user ? user : "";
    g_kept.password = user && password ? password : "";
    g_kept.directory = directory;
}

bool ftp_take_session(const char* server, const char* user, const char* password,
                      const char* directory, FtpAgent** agent, FtpConnection** connection) {
    *agent = nullptr;
    *connection = nullptr;
    std::lock_guard<std::mutex> hold(g_kept_lock);
    if (!g_kept.agent)
        return false;
    const bool same = server && directory && g_kept.server == server &&
                      g_kept.named == (user != nullptr) && g_kept.user == (user ? user : "") &&
                      g_kept.password == (user && password ? password : "") &&
                      g_kept.directory == directory;
    if (!same || !ftp_connection_alive(g_kept.connection)) {
        close_kept();
        return false;
    }
    *agent = g_kept.agent;
    *connection = g_kept.connection;
    g_kept = KeptSession();
    return true;
}

void ftp_close_kept_session() {
    std::lock_guard<std::mutex> hold(g_kept_lock);
    close_kept();
}

} // namespace qp
