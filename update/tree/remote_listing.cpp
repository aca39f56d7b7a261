#include "tree/remote_listing.h"

#include <stdio.h>

#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "net/CFtp.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"

namespace {

const int version_line_size = 600;

// One file of the mirror's root into the root folder.
bool fetch_root_file(update_run_C& run, const char* remote_name, const char* local_name,
                     bool& connection_failed) {
    CFtp ftp(run);
    const bool fetched =
        ftp.GetFtpFile_unsafe_clever(remote_name, run.root_path + "\\" + local_name);
    connection_failed = ftp.last_open_failed();
    return fetched;
}

void show_status(update_run_C& run, const std::string& text) {
    run.shown.set_status_text(text.c_str());
}

} // namespace

bool get_remote_ls_txt_file(update_run_C& run, bool& connection_failed) {
    if (fetch_root_file(run, "ls.txt", "ls_remote.txt", connection_failed))
        return true;
    run.log.log_line(
        "get_remote_ls_txt_file  [GetFtpFile_unsafe_clever FAILED TO RETRIEVE REMOTE ls.txt]");
    return false;
}

bool get_remote_ls_txt_file_CLEVER(update_run_C& run, bool& connection_failed) {
    run.log.log_line("get_remote_ls_txt_file_CLEVER  [ENTERING]");
    show_status(run, "Trying to retrieved remote ls.txt file...");
    if (run.server_list.empty()) {
        run.log.log_line("get_remote_ls_txt_file_CLEVER  [ERROR : FTP SERVER LIST EMPTY]");
        show_status(run, "ERROR : No FTP SERVER in the List");
        return false;
    }
    const int count = static_cast<int>(run.server_list.size());
    run.log.log_format("get_remote_ls_txt_file_CLEVER  [THERE IS %d FTP POSSIBLE SERVERS]", count);
    bool failed_to_connect = false;
    for (int i = 0; i < count; ++i) {
        run.shown.set_lamp(lamp_idle);
        run.current_server = run.server_list[static_cast<size_t>(i)];
        show_status(run, "trying on SERVER " + std::to_string(i + 1) + "...");
        run.clock.sleep(500);
        if (get_remote_ls_txt_file(run, failed_to_connect)) {
            run.shown.set_lamp(lamp_error);
            show_status(run, "remote ls.txt retrieved from server " + std::to_string(i));
            if (local_file_exists(run, run.local_path("ls_remote.txt")))
                return true;
            run.log.log_line(
                "get_remote_ls_txt_file_CLEVER  [INCOHERENCY : ls_remote.txt didn't appear]");
            return false;
        }
        run.shown.set_lamp(lamp_error);
        if (failed_to_connect) {
            show_status(run, "[CONNECT FAILED ON SERVER " + std::to_string(i + 1) + "]");
            run.clock.sleep(800);
        } else {
            show_status(run, "no such file on this server [FAILED ON SERVER " +
                                 std::to_string(i + 1) + "]");
        }
    }
    connection_failed = failed_to_connect;
    return false;
}

bool get_remote_compressed_ls_txt_file(update_run_C& run, bool& connection_failed) {
    return fetch_root_file(run, "ls_compressed.txt.gz", "ls_compressed.txt.gz", connection_failed);
}

bool get_remote_version_txt_file(update_run_C& run, bool& connection_failed, std::string& version) {
    if (run.root_path == "---") {
        run.log.log_line(
            "get_remote_version_txt_file  [necessary path and FTP server are not set]");
        connection_failed = true;
        return false;
    }
    if (!fetch_root_file(run, "version.txt", "version.txt", connection_failed))
        return false;
    return read_version_txt(run, run.local_path("version.txt"), version);
}

bool read_version_txt(update_run_C& run, const std::string& path, std::string& version) {
    FILE* file = qp::open_stream(path.c_str(), "r");
    if (!file) {
        run.log.log_line("get_remote_version_txt_file: ERROR : can't open the file : "
                         "version.txt");
        return false;
    }
    char line[version_line_size];
    const bool read = fgets(line, sizeof line, file) != nullptr;
    fclose(file);
    if (!read) {
        run.log.log_line("get_remote_version_txt_file : ERROR : can't extract the version "
                         "from the file version.txt");
        return false;
    }
    version = line;
    // The version travels on as a command line; a line end has no place
    // there, nor what a lone carriage return would start.
    const size_t end = version.find_first_of("\r\n");
    if (end != std::string::npos)
        version.erase(end);
    return true;
}
