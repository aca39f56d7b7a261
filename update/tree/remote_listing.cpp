#include "tree/remote_listing.h"

#include <stdio.h>

#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/settings.h"
#include "net/CFtp.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"

namespace {

const int version_line_size = 600;

// One file of the mirror's root into the root folder.
bool fetch_root_file(const char* remote_name, const char* local_name, bool& connection_failed) {
    CFtp ftp;
    const bool fetched = ftp.GetFtpFile_unsafe_clever(remote_name, g_root_path + "\\" + local_name);
    connection_failed = ftp.last_open_failed();
    return fetched;
}

void show_status(const std::string& text) {
    front_end().set_status_text(text.c_str());
}

} // namespace

bool get_remote_ls_txt_file(bool& connection_failed) {
    if (fetch_root_file("ls.txt", "ls_remote.txt", connection_failed))
        return true;
    process_log().log_line(
        "get_remote_ls_txt_file  [GetFtpFile_unsafe_clever FAILED TO RETRIEVE REMOTE ls.txt]");
    return false;
}

bool get_remote_ls_txt_file_CLEVER(bool& connection_failed) {
    process_log().log_line("get_remote_ls_txt_file_CLEVER  [ENTERING]");
    show_status("Trying to retrieved remote ls.txt file...");
    if (g_server_list.empty()) {
        process_log().log_line("get_remote_ls_txt_file_CLEVER  [ERROR : FTP SERVER LIST EMPTY]");
        show_status("ERROR : No FTP SERVER in the List");
        return false;
    }
    const int count = static_cast<int>(g_server_list.size());
    log_format("get_remote_ls_txt_file_CLEVER  [THERE IS %d FTP POSSIBLE SERVERS]", count);
    bool failed_to_connect = false;
    for (int i = 0; i < count; ++i) {
        front_end().set_lamp(lamp_idle);
        g_current_server = g_server_list[static_cast<size_t>(i)];
        show_status("trying on SERVER " + std::to_string(i + 1) + "...");
        qp::sleep(500);
        if (get_remote_ls_txt_file(failed_to_connect)) {
            front_end().set_lamp(lamp_error);
            show_status("remote ls.txt retrieved from server " + std::to_string(i));
            if (local_file_exists(g_root_path + "\\ls_remote.txt"))
                return true;
            process_log().log_line(
                "get_remote_ls_txt_file_CLEVER  [INCOHERENCY : ls_remote.txt didn't appear]");
            return false;
        }
        front_end().set_lamp(lamp_error);
        if (failed_to_connect) {
            show_status("[CONNECT FAILED ON SERVER " + std::to_string(i + 1) + "]");
            qp::sleep(800);
        } else {
            show_status("no such file on this server [FAILED ON SERVER " +
                        std::to_string(i + 1) + "]");
        }
    }
    connection_failed = failed_to_connect;
    return false;
}

bool get_remote_compressed_ls_txt_file(bool& connection_failed) {
    return fetch_root_file("ls_compressed.txt.gz", "ls_compressed.txt.gz", connection_failed);
}

bool get_remote_version_txt_file(bool& connection_failed, std::string& version) {
    if (g_root_path == "---") {
        process_log().log_line(
            "get_remote_version_txt_file  [necessary path and FTP server are not set]");
        connection_failed = true;
        return false;
    }
    if (!fetch_root_file("version.txt", "version.txt", connection_failed))
        return false;
    return read_version_txt(g_root_path + "\\version.txt", version);
}

bool read_version_txt(const std::string& path, std::string& version) {
    FILE* file = qp::open_stream(path.c_str(), "r");
    if (!file) {
        process_log().log_line("get_remote_version_txt_file: ERROR : can't open the file : "
                               "version.txt");
        return false;
    }
    char line[version_line_size];
    const bool read = fgets(line, sizeof line, file) != nullptr;
    fclose(file);
    if (!read) {
        process_log().log_line("get_remote_version_txt_file : ERROR : can't extract the version "
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
