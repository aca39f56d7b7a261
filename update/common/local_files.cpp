#include "common/local_files.h"

#include <stdio.h>

#include "common/logger_C.h"
#include "common/settings.h"
#include "quill/platform/file.h"

bool local_file_exists(const std::string& path) {
    FILE* file = qp::open_stream(path.c_str(), "r");
    if (!file) {
        log_format("[THE FILE : %s  DOESN'T EXISTS OR CAN'T BE FOUND]", path.c_str());
        return false;
    }
    fclose(file);
    return true;
}

bool local_file_is_directory(const std::string& path) {
    if (!qp::path_exists(path.c_str())) {
        log_format("local_file_is_directory   [ERROR: NO SUCH DIRECTORY : %s]", path.c_str());
        return false;
    }
    return qp::is_directory(path.c_str());
}

bool change_file_to_rw(const std::string& path) {
    if (!local_file_exists(path)) {
        log_format("change_file_to_rw  [FAILED : FILE DOESN'T EXIST : %s]", path.c_str());
        return false;
    }
    if (!qp::make_writable(path.c_str())) {
        log_format("change_file_to_rw  [SetFileAttribute FAILED WITH %s]", path.c_str());
        return false;
    }
    return true;
}

bool delete_one_local_file(const std::string& path) {
    log_format("delete_one_local_file(%s)", path.c_str());
    if (!local_file_exists(path)) {
        log_format("delete_one_local_file(%s)", path.c_str());
        return false;
    }
    if (!change_file_to_rw(path)) {
        log_format("delete_one_local_file(%s)  [change_file_to_rw   FAILED]", path.c_str());
        return false;
    }
    const bool deleted = qp::delete_file(path.c_str());
    log_format(deleted ? "delete_one_local_file(%s)  [SUCCESS]"
                       : "delete_one_local_file(%s)  [FAILED]",
               path.c_str());
    return deleted;
}

bool delete_one_local_directory(const std::string& path) {
    log_format("delete_one_local_directory(%s)", path.c_str());
    const bool removed = qp::remove_directory(path.c_str());
    process_log().log_line(
        removed ? "delete_one_local_directory  [SUCCESS : DIRECTORY DISAPPEARED CORRECTLY]"
                : "delete_one_local_directory  [FAILED]");
    return removed;
}

bool rename_local_file(const std::string& existing_path, const std::string& new_path) {
    log_format("rename_local_file(%s, %s)", existing_path.c_str(), new_path.c_str());
    const bool moved = qp::move_file(existing_path.c_str(), new_path.c_str());
    log_format(moved ? "rename_local_file(%s, %s)  [SUCCESS]"
                     : "rename_local_file(%s, %s)  [FAILED]",
               existing_path.c_str(), new_path.c_str());
    return moved;
}

bool refuse_link_outside(const char* caller, const std::string& relative) {
    if (!qp::path_leaves_folder(g_root_path.c_str(), relative.c_str()))
        return false;
    log_format("%s  [LINK LEADS OUTSIDE THE INSTALLATION FOLDER : %s]", caller, relative.c_str());
    return true;
}
