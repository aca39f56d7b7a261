// A real FTP server for a test: Debian's pyftpdlib (python3-pyftpdlib),
// started by ftp_server.py beside this file on a free loopback port and
// stopped when the object goes away.
//
//   quill_test::ScratchDir scratch;
//   quill_test::FtpServer mirror("mirror");          // serves ./mirror
//   write_file("mirror/version.txt", "1.0");
//   run.server_list.push_back(...Servername = mirror.name()...);
//
// The server reads its folder afresh on every request, so a test may fill
// it before or after the start. Anonymous users may list and read; the
// named account of FtpServerOptions may also write, delete and make
// folders, with the same folder as its root. refused_name() names a port
// that the server holds without listening: every connection to it is
// refused, for as long as the server lives.
//
// Both targets use it the same way. The Linux tests start the script in the
// background through the shell. The Windows tests run under Wine, which can
// start a Linux program: the script is started with "start /unix", gets the
// Windows paths of the test and turns them into Linux paths of the Wine
// prefix (WINEPREFIX is passed on to it). Test and server talk only through
// files beside the served folder: the server writes its ports into
// "<folder>.port" once it accepts connections, and serves while
// "<folder>.alive" exists; it ends by itself after 30 minutes should a
// crashed test leave it behind.
#ifndef QUILL_TESTS_FTP_SERVER_H
#define QUILL_TESTS_FTP_SERVER_H

#include <stdint.h>

#include <string>

namespace quill_test {

struct FtpServerOptions {
    // A named account with write access; none when user is empty.
    std::string user;
    std::string password;
    // When not negative, every download is broken off with a connection
    // reset after this many bytes.
    long cut_after = -1;
    // Every download of a file that is not empty is broken off with a
    // connection reset half-way through the file.
    bool break_transfers = false;
    // Files named "name.gz." and 32 hex digits are served as a gzip stream
    // of other content, padded to the file's size: only the digest tells.
    bool wrong_digest = false;
    // The folder keeps its names in code page 949 bytes, as a Linux host a
    // mirror was uploaded to in that code page: a name a test (or a Windows
    // program under Wine) wrote in UTF-8 is renamed to those bytes before
    // each command. Name bytes always pass between wire and disk unchanged.
    bool cp949_names = false;
    // When above 0, a control connection that sends no command for this
    // many seconds is dropped by the server with a 421 reply.
    double idle_timeout = 0;
    // When above 0, downloads are sent at most this many bytes a second, so
    // that a test can catch one on its way.
    long send_rate = 0;
};

class FtpServer {
public:
    // Serves folder (made when missing; relative to the current directory
    // or absolute) and returns once the server accepts connections. Throws
    // std::runtime_error when it does not start within 30 seconds.
    explicit FtpServer(const std::string& folder, const FtpServerOptions& options = {});
    // Stops the server and waits until it has let go of its ports.
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    uint16_t port() const { return port_; }
    // "127.0.0.1:port", as a server list names a mirror.
    std::string name() const;
    // A port where nothing listens, and its server name.
    uint16_t refused_port() const { return refused_port_; }
    std::string refused_name() const;
    // The served folder, absolute.
    const std::string& folder() const { return folder_; }

    // Control connections the server has taken in so far, and how many of
    // them have ended (closed by either side).
    struct Sessions {
        int opened = 0;
        int closed = 0;
    };
    Sessions sessions() const;
    // Waits, up to 20 seconds, until every control connection taken in has
    // ended; what the count was then.
    Sessions wait_for_sessions_to_end() const;

private:
    std::string folder_;
    std::string port_file_;
    std::string alive_file_;
    uint16_t port_ = 0;
    uint16_t refused_port_ = 0;
};

} // namespace quill_test

#endif
