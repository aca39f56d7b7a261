#include "support/ftp_server.h"

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace quill_test {

namespace {

// Real waits: a test clock may be in force, and the server runs in real time.
void pause_briefly() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// Wine's "start" quotes each argument it passes on by itself, so quotes of
// ours would arrive as part of the text; paths there hold no blanks.
std::string in_quotes(const std::string& text) {
#ifdef _WIN32
    return text;
#else
    return "\"" + text + "\"";
#endif
}

// Starts the script without waiting for it. Its output goes nowhere: the
// script itself lets go of every descriptor it inherited.
void start_script(const std::string& arguments) {
#ifdef _WIN32
    const std::string command =
        "start /unix /usr/bin/python3 " + in_quotes(QUILL_FTP_SERVER_SCRIPT) + " " + arguments;
#else
    const std::string command = "/usr/bin/python3 " + in_quotes(QUILL_FTP_SERVER_SCRIPT) + " " +
                                arguments + " </dev/null >/dev/null 2>&1 &";
#endif
    if (system(command.c_str()) != 0)
        throw std::runtime_error("cannot start the FTP server: " + command);
}

bool read_ports(const std::string& port_file, uint16_t* port, uint16_t* refused) {
    std::ifstream in(port_file);
    unsigned long first = 0, second = 0;
    if (!(in >> first >> second) || first == 0 || first > 65535 || second == 0 || second > 65535)
        return false;
    *port = static_cast<uint16_t>(first);
    *refused = static_cast<uint16_t>(second);
    return true;
}

} // namespace

FtpServer::FtpServer(const std::string& folder, const FtpServerOptions& options) {
    fs::create_directories(folder);
    std::string absolute = fs::absolute(folder).lexically_normal().string();
    while (absolute.size() > 1 && (absolute.back() == '/' || absolute.back() == '\\'))
        absolute.pop_back();
    folder_ = absolute;
    port_file_ = folder_ + ".port";
    alive_file_ = folder_ + ".alive";
    fs::remove(port_file_);
    std::ofstream(alive_file_).put('1');

    std::string arguments = "--root " + in_quotes(folder_) + " --port-file " + in_quotes(port_file_) +
                            " --alive-file " + in_quotes(alive_file_);
    if (!options.user.empty())
        arguments += " --user " + in_quotes(options.user) + " --password " + in_quotes(options.password);
    if (options.cut_after >= 0)
        arguments += " --cut-after " + std::to_string(options.cut_after);
    if (options.break_transfers)
        arguments += " --break-transfers";
    if (options.wrong_digest)
        arguments += " --wrong-digest";
    if (options.cp949_names)
        arguments += " --cp949-names";
    if (options.idle_timeout > 0)
        arguments += " --idle-timeout " + std::to_string(options.idle_timeout);
    if (options.send_rate > 0)
        arguments += " --send-rate " + std::to_string(options.send_rate);
    start_script(arguments);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!read_ports(port_file_, &port_, &refused_port_)) {
        if (std::chrono::steady_clock::now() > deadline) {
            fs::remove(alive_file_);
            throw std::runtime_error("the FTP server for " + folder_ + " did not start");
        }
        pause_briefly();
    }
}

FtpServer::~FtpServer() {
    std::error_code ignored;
    fs::remove(alive_file_, ignored);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (fs::exists(port_file_, ignored) && std::chrono::steady_clock::now() < deadline)
        pause_briefly();
}

FtpServer::Sessions FtpServer::sessions() const {
    Sessions count;
    std::ifstream in(port_file_ + ".sessions");
    in >> count.opened >> count.closed;
    return count;
}

FtpServer::Sessions FtpServer::wait_for_sessions_to_end() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    Sessions count = sessions();
    while (count.closed < count.opened && std::chrono::steady_clock::now() < deadline) {
        pause_briefly();
        count = sessions();
    }
    return count;
}

std::string FtpServer::name() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string FtpServer::refused_name() const {
    return "127.0.0.1:" + std::to_string(refused_port_);
}

} // namespace quill_test
