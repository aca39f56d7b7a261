#include "net/CFtp.h"

#include <stdio.h>


#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/preferences.h"
#include "common/update_run_C.h"
#include "common/remote_records.h"
#include "net/mirror_choice.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"

namespace {

const char agent_name[] = "FTP Processer";
const int download_bar = 1377;
const lamp_colour_C bar_blue = {0, 0, 255};
// Tries to open a remote file on one connection before changing mirrors.
const int open_chances = 10;
// Connections tried per mirror of the list before a transfer gives up.
const int laps_per_server = 10;

void status(update_run_C& run, const std::string& text) {
    run.shown.set_status_text(text.c_str());
}

void lamp(update_run_C& run, const lamp_colour_C& colour) {
    run.shown.set_lamp(colour);
}

int max_laps(update_run_C& run) {
    return laps_per_server * static_cast<int>(run.server_list.size());
}

// The listing names a file with backslashes; the mirror with slashes.
std::string listing_name_of(std::string remote_name) {
    for (char& c : remote_name)
        if (c == '/')
            c = '\\';
    return remote_name;
}

// The local copy of a download, truncated. The pieces of 512 bytes gather
// in a large buffer, so that a big file goes to the disk in few writes.
FILE* open_download(const std::string& local_path) {
    FILE* local = qp::open_stream(local_path.c_str(), "wb");
    if (local)
        setvbuf(local, nullptr, _IOFBF, 64 * 1024);
    return local;
}

long listed_size_of(update_run_C& run, const std::string& listing_name) {
    const record_map_C::const_iterator found = run.remote_records.find(listing_name);
    return found == run.remote_records.end() ? unknown_file_size : found->second.size;
}

} // namespace

int transfer_laps(update_run_C& run) {
    return max_laps(run);
}

int download_bar_units(long size) {
    if (size <= 0)
        return 0;
    return static_cast<int>((size + (download_piece_size - 1)) / download_piece_size);
}

CFtp::CFtp(update_run_C& run) : run_(run) {}

CFtp::~CFtp() {
    if (!connected_)
        return;
    qp::ftp_keep_session(agent_, connection_, server_.c_str(), named_ ? user_.c_str() : nullptr,
                         named_ ? password_.c_str() : nullptr, directory_.c_str());
}

bool CFtp::set_rights(const std::string& user, const std::string& password) {
    if (!connected_) {
        // The account field holds at most 87 characters and its end.
        user_ = user.substr(0, 87);
        password_ = password;
    }
    return true;
}

void CFtp::CloseConnection() {
    qp::ftp_close_connection(connection_);
    qp::ftp_close_agent(agent_);
    connection_ = nullptr;
    agent_ = nullptr;
    connected_ = 0;
}

int CFtp::open_connection(const char* caller, const std::string& server,
                          const std::string& directory, bool named) {
    run_.log.log_format("%s(Servername:%s,Directory:%s,strUser:%s,strPass:%s)", caller,
                        server.c_str(), directory.c_str(), user_.c_str(), password_.c_str());
    if (connected_)
        return 1;
    server_ = server;
    directory_ = directory;
    named_ = named;
    const char* user = named ? user_.c_str() : nullptr;
    const char* password = named ? password_.c_str() : nullptr;
    if (qp::ftp_take_session(server.c_str(), user, password, directory.c_str(), &agent_,
                             &connection_)) {
        last_open_failed_ = 0;
        connected_ = 1;
        return 1;
    }
    agent_ = qp::ftp_open_agent(agent_name);
    if (!agent_)
        return 0;
    connection_ = qp::ftp_connect(agent_, server.c_str(), user, password);
    if (!connection_) {
        run_.log.log_line("CFtp::OpenConnection  [ABSOLUTE_CONNECTION_FAILURE]");
        CloseConnection();
        last_open_failed_ = 1;
        return 0;
    }
    if (!qp::ftp_set_current_directory(connection_, directory.c_str())) {
        run_.log.log_format("ERROR NUMBER %d", static_cast<int>(qp::ftp_last_error()));
        run_.log.log_format("CFtp::%s  [*** FtpSetCurrentDirectory(%s)  <FAILED> ]", caller,
                            directory.c_str());
        CloseConnection();
        last_open_failed_ = 1;
        return 0;
    }
    last_open_failed_ = 0;
    connected_ = 1;
    return 1;
}

int CFtp::OpenConnection(const std::string& server, const std::string& directory) {
    return open_connection("OpenConnection", server, directory, false);
}

int CFtp::OpenConnection_named(const std::string& server, const std::string& directory) {
    return open_connection("OpenConnection_named", server, directory, true);
}

bool CFtp::connect_to_random_server() {
    run_.log.log_line("CFtp::connect_to_random_server  [ENTERING]");
    if (connected_)
        return true;
    const int nb_lap_max = max_laps(run_);
    run_.log.log_format("CFtp::connect_to_random_server  :  nb_lap_max=%d", nb_lap_max);
    lamp(run_, lamp_idle);
    for (int lap = 0; lap < nb_lap_max;) {
        if (!choose_randomly_FTP_server(run_)) {
            run_.log.log_line(
                "CFtp::connect_to_random_server  [choose_randomly_FTP_server  FAILED]");
            return false;
        }
        run_.log.log_line("CFtp::connect_to_random_server  [Server Chosen]");
        run_.log.log_line("CFtp::connect_to_random_server  [ABOUT TO SET RIGHTS FOR CONNECTION]");
        run_.log.log_line("CFtp::connect_to_random_server  [RIGHTS SET]");
        run_.log.log_line("CFtp::connect_to_random_server  [ABOUT TO OPEN A CONNECTION...]");
        lamp(run_, lamp_connecting);
        const int opened =
            OpenConnection(run_.current_server.Servername, run_.current_server.Directory);
        lamp(run_, lamp_idle);
        if (opened) {
            run_.log.log_format("CFtp::connect_to_random_server  [CONNECTION SUCCESS ON %s]",
                                run_.current_server.Servername.c_str());
            lamp(run_, lamp_connected);
            return true;
        }
        status(run_, "connection could not be completed");
        run_.last_connection_failed = true;
        run_.log.log_format("CFtp::connect_to_random_server  [CONNECTION FAILED ON %s]",
                            run_.current_server.Servername.c_str());
        status(run_, qp::format_text("Connection FAILED (server %d)", run_.current_server_index));
        lamp_sequence(run_.shown, run_.clock,
                      {&lamp_error, &lamp_idle, &lamp_error, &lamp_idle, &lamp_error}, 100);
        lap += 1;
        status(run_, qp::format_text("FAILED ON SERVER %d => trying another server",
                                     run_.current_server_index));
        run_.clock.sleep(500);
    }
    status(run_, "Sorry, ran out of Lap");
    run_.log.log_line(
        "CFtp::connect_to_random_server [EXCEEDEED MAX_LAP BUT NO CONNECTION SUCCEEDED !!]");
    lamp(run_, lamp_error);
    run_.clock.sleep(500);
    return false;
}

bool CFtp::GetFtpFile_unsafe_clever(const std::string& remote_name, const std::string& local_path) {
    const int laps = max_laps(run_);
    run_.log.log_format("GetFtpFile_unsafe_clever(%s, %s)", remote_name.c_str(),
                        local_path.c_str());
    run_.log.log_line("CFtp::GetFtpFile_unsafe_clever  [ABOUT TO CHOOSE A SERVER FROM LIST...]");
    if (!connect_to_random_server()) {
        run_.log.log_line("CFtp::GetFtpFile_unsafe_clever  [connect_to_random_server  FAILED]");
        lamp(run_, lamp_error);
        return false;
    }
    run_.log.log_format("CFtp::GetFtpFile_unsafe_clever  [CONNECTED TO FTP SERVER %s]",
                        run_.current_server.Servername.c_str());

    FILE* local = open_download(local_path);
    if (!local) {
        run_.log.log_format("CFtp::GetFtpFile_unsafe_clever  [CAN'T OPEN LOCAL FILE %s]",
                            local_path.c_str());
        return false;
    }
    run_.log.log_format("CFtp::GetFtpFile_unsafe_clever  [LOCAL FILE OPENED SUCCESFULLY : %s]",
                        local_path.c_str());
    // A failed download leaves no file that could pass for the real one.
    const auto give_up = [&]() {
        fclose(local);
        qp::delete_file(local_path.c_str());
        return false;
    };

    const std::string listing_name = listing_name_of(remote_name);
    const record_map_C::const_iterator listed = run_.remote_records.find(listing_name);
    int lap = 0;
    for (;;) {
        qp::FtpRemoteFile* remote = nullptr;
        while (!remote && lap < laps) {
            lamp(run_, lamp_idle);
            for (int chance = open_chances; chance > 0;) {
                remote = qp::ftp_open_file(connection_, remote_name.c_str());
                if (remote)
                    break;
                run_.last_connection_failed = true;
                lamp(run_, lamp_error);
                const std::string remaining = qp::format_text("( %d / %d ) CHANCE REMAINING : %d",
                                                        run_.file_current, run_.file_count, chance);
                status(run_, remaining);
                run_.log.log_line(remaining.c_str());
                run_.log.log_format(
                    "CFtp::GetFtpFile_unsafe_clever  [FtpOpenFile FAILED : file :%s (CHANCE=%d)]",
                    remote_name.c_str(), chance);
                chance -= 1;
                lamp_sequence(run_.shown, run_.clock, {&lamp_error, &lamp_idle, &lamp_error}, 200);
            }
            if (remote)
                break;
            lamp(run_, lamp_error);
            run_.log.log_format(
                "CFtp::GetFtpFile_unsafe_clever  [FtpOpenFile FAILED for file on this server: %s]",
                remote_name.c_str());
            run_.clock.sleep(500);
            run_.log.log_line(
                "CFtp::GetFtpFile_unsafe_clever  [TRYING TO CLOSE FORMER CONNECTION]");
            CloseConnection();
            run_.log.log_line("CFtp::GetFtpFile_unsafe_clever  [TRYING TO PICK A RANDOM SERVER]");
            status(run_, "Trying another FTP Server...");
            run_.clock.sleep(500);
            if (!connect_to_random_server())
                return give_up();
            run_.log.log_line("CFtp::GetFtpFile_unsafe_clever  [RANDOM SERVER PICKED SUCCESFULLY]");
            status(run_, qp::format_text("Connected to server %d", run_.current_server_index));
            run_.clock.sleep(500);
            lap += 1;
        }
        if (!remote) {
            lamp(run_, lamp_error);
            status(run_, "can't succeed whatsoever");
            run_.clock.sleep(500);
            return give_up();
        }

        lamp(run_, lamp_connected);
        lamp(run_, lamp_connected);
        const std::string progress = qp::format_text("( %d / %d )", run_.file_current, run_.file_count);
        status(run_, progress);
        run_.log.log_line(progress.c_str());
        run_.log.log_format("CFtp::GetFtpFile_unsafe_clever  [REMOTE FILE OPENED SUCCESFULLY : %s]",
                            remote_name.c_str());

        const long size = listed_size_of(run_, listing_name);
        run_.log.log_format("CFtp::GetFtpFile_unsafe_clever   :   m_filo_2[%s].size = %ld",
                            listing_name.c_str(), size);
        const int nb_unit = download_bar_units(size);
        run_.shown.set_bar_range(download_bar, nb_unit);
        run_.shown.set_bar_colours(download_bar, &bar_blue, nullptr);
        run_.log.log_format("so that nb_unit = %d", nb_unit);

        long long received = 0;
        transfer_outcome_C outcome = read_remote_file(remote, local, received);
        if (outcome == transfer_complete && listed != run_.remote_records.end() &&
            received != listed->second.size) {
            // The listing knows the size: an end before it (or past it) is
            // no end of this file.
            run_.log.log_format("CFtp::GetFtpFile_unsafe_clever  [RECEIVED %lld BYTES OF %ld]",
                                received, static_cast<long>(listed->second.size));
            outcome = transfer_broken;
        }
        const bool closed = fclose(local) == 0;
        if (!qp::ftp_close_file(remote))
            run_.log.log_line("CFtp::GetFtpFile_unsafe_clever   [InternetCloseHandle  FAILED]");
        if (outcome == transfer_complete && closed)
            return true;
        qp::delete_file(local_path.c_str());
        if (outcome == transfer_broken && lap + 1 >= laps)
            CloseConnection(); // not worth keeping for the next file
        if (outcome != transfer_broken || lap + 1 >= laps)
            return false;

        // A mirror that breaks a transfer off is left like one that cannot
        // be reached; the next one of the shake gets the whole file.
        run_.log.log_format(
            "CFtp::GetFtpFile_unsafe_clever  [TRANSFER BROKEN ON %s, TRYING ANOTHER SERVER]",
            run_.current_server.Servername.c_str());
        run_.last_connection_failed = true;
        CloseConnection();
        lap += 1;
        if (!connect_to_random_server())
            return false;
        local = open_download(local_path);
        if (!local) {
            run_.log.log_format("CFtp::GetFtpFile_unsafe_clever  [CAN'T OPEN LOCAL FILE %s]",
                                local_path.c_str());
            return false;
        }
    }
}

namespace {

// The two log lines of a piece, made once for each byte count and kept:
// nearly every piece of a download is a whole one, and a download of many
// pieces then costs two writes of ready lines per piece and nothing else.
class piece_lines_C {
public:
    explicit piece_lines_C(logger_C& log) : log_(log) {}
    void log_read(uint32_t count) { write(read_, "InternetReadFile   [READ %d BYTES]\n", count); }
    void log_written(uint32_t count) {
        write(written_, "fwrite   [%d BYTES WRITTEN TO LOCAL FILE]\n", count);
    }

private:
    struct line_C {
        long long count = -1;
        char text[64];
        size_t length = 0;
    };
    void write(line_C& line, const char* format, uint32_t count) {
        if (line.count != count) {
            const int length = snprintf(line.text, sizeof line.text, format, static_cast<int>(count));
            line.length = length > 0 ? static_cast<size_t>(length) : 0;
            line.count = count;
        }
        log_.log_ended_line(line.text, line.length);
    }

    logger_C& log_;
    line_C read_;
    line_C written_;
};

} // namespace

CFtp::transfer_outcome_C CFtp::read_remote_file(qp::FtpRemoteFile* remote, FILE* local,
                                                long long& received) {
    char buffer[download_piece_size];
    piece_lines_C lines(run_.log);
    for (;;) {
        uint32_t got = 0;
        if (!qp::ftp_read_file(remote, buffer, sizeof buffer, &got)) {
            // The bytes so far are only part of the file.
            run_.log.log_format("CFtp::GetFtpFile_unsafe_clever  [InternetReadFile FAILED WITH %d]",
                                static_cast<int>(qp::ftp_last_error()));
            return transfer_broken;
        }
        lines.log_read(got);
        if (got == 0)
            return transfer_complete;
        const size_t written = fwrite(buffer, 1, got, local);
        run_.shown.step_bar(download_bar);
        lines.log_written(static_cast<uint32_t>(written));
        if (written < got) {
            run_.log.log_line("CFtp::GetFtpFile_unsafe_clever  [fwrite ERROR]");
            return transfer_local_failure;
        }
        received += got;
    }
}

bool CFtp::PutFtpFile(const std::string& user, const std::string& password,
                      const std::string& server, const std::string& directory,
                      const std::string& local_path, const std::string& remote_name) {
    run_.log.log_line("CFtp::PutFtpFile( _2_ )");
    set_rights(user, password);
    if (!OpenConnection_named(server, directory)) {
        run_.log.log_line("CFtp::PutFtpFile   [ABSOLUTE_CONNECT_FAILURE]");
        return false;
    }
    if (!local_file_exists(run_, local_path)) {
        run_.log.log_format("PutFtpFile [CANT FIND SOURCE FILE : %s]", local_path.c_str());
        return false;
    }
    if (!qp::ftp_put_file(connection_, local_path.c_str(), remote_name.c_str())) {
        run_.log.log_format("PutFtpFile : FROM : %s --> TO: %s  [FAILED]", local_path.c_str(),
                            remote_name.c_str());
        return false;
    }
    run_.log.log_format("PutFtpFile : FROM : %s --> TO: %s  [SUCCESS]", local_path.c_str(),
                        remote_name.c_str());
    save_preferences(run_);
    return true;
}

bool CFtp::get_remote_current_dir(std::string& out) {
    set_rights(run_.current_server.strUser, run_.current_server.strPass);
    if (!OpenConnection(run_.current_server.Servername, run_.current_server.Directory)) {
        lamp(run_, lamp_error);
        status(run_, "Connect Failure...");
        for (int i = 0; i < 6; ++i) {
            lamp(run_, lamp_error);
            run_.clock.sleep(250);
            lamp(run_, lamp_idle);
        }
        return false;
    }
    if (!qp::ftp_get_current_directory(connection_, &out)) {
        out = "FAILED";
        return false;
    }
    return true;
}
