#include "common/local_files.h"

#include <stdio.h>

#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"

bool local_file_exists(update_run_C& run, const std::string& path) {
    FILE* file = qp::open_stream(path.c_str(), "r");
    if (!file) {
        run.log.log_format("[THE FILE : %s  DOESN'T EXISTS OR CAN'T BE FOUND]", path.c_str());
        return false;
    }
    fclose(file);
    return true;
}

bool local_file_is_directory(update_run_C& run, const std::string& path) {
    if (!qp::path_exists(path.c_str())) {
        run.log.log_format("local_file_is_directory   [ERROR: NO SUCH DIRECTORY : %s]",
                           path.c_str());
        return false;
    }
    return qp::is_directory(path.c_str());
}

bool change_file_to_rw(update_run_C& run, const std::string& path) {
    if (!local_file_exists(run, path)) {
        run.log.log_format("change_file_to_rw  [FAILED : FILE DOESN'T EXIST : %s]", path.c_str());
        return false;
    }
    if (!qp::make_writable(path.c_str())) {
        run.log.log_format("change_file_to_rw  [SetFileAttribute FAILED WITH %s]", path.c_str());
        return false;
    }
    return true;
}

bool delete_local_file_reporting(update_run_C& run, const std::string& path,
                                 const char* missing_format, bool report_last_error) {
    run.log.log_format("delete_one_local_file(%s)", path.c_str());
    if (!local_file_exists(run, path)) {
        run.log.log_format(missing_format, path.c_str());
        return false;
    }
    if (!change_file_to_rw(run, path)) {
        run.log.log_format("delete_one_local_file(%s)  [change_file_to_rw   FAILED]", path.c_str());
        return false;
    }
    const bool deleted = qp::delete_file(path.c_str());
    if (!deleted && report_last_error)
        run.log.log_format("GetLastError => %d", static_cast<int>(qp::last_error()));
    run.log.log_format(deleted ? "delete_one_local_file(%s)  [SUCCESS]"
                               : "delete_one_local_file(%s)  [FAILED]",
                       path.c_str());
    return deleted;
}

bool delete_one_local_file(update_run_C& run, const std::string& path) {
    return delete_local_file_reporting(run, path, "delete_one_local_file(%s)", false);
}

bool delete_one_local_directory(update_run_C& run, const std::string& path) {
    run.log.log_format("delete_one_local_directory(%s)", path.c_str());
    const bool removed = qp::remove_directory(path.c_str());
    run.log.log_line(removed
                         ? "delete_one_local_directory  [SUCCESS : DIRECTORY DISAPPEARED CORRECTLY]"
                         : "delete_one_local_directory  [FAILED]");
    return removed;
}

bool rename_local_file(update_run_C& run, const std::string& existing_path,
                       const std::string& new_path) {
    run.log.log_format("rename_local_file(%s, %s)", existing_path.c_str(), new_path.c_str());
    const bool moved = qp::move_file(existing_path.c_str(), new_path.c_str());
    run.log.log_format(moved ? "rename_local_file(%s, %s)  [SUCCESS]"
                             : "rename_local_file(%s, %s)  [FAILED]",
                       existing_path.c_str(), new_path.c_str());
    return moved;
}

bool refuse_link_outside(update_run_C& run, const char* caller, const std::string& relative) {
    if (!qp::path_leaves_folder(run.root_path.c_str(), relative.c_str()))
        return false;
    run.log.log_format("%s  [LINK LEADS OUTSIDE THE INSTALLATION FOLDER : %s]", caller,
                       relative.c_str());
    return true;
}
