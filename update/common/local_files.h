// The updater's operations on single local files and folders. Paths are
// Windows-form; each step writes its line to the trace log.
#ifndef QUILL_UPDATE_COMMON_LOCAL_FILES_H
#define QUILL_UPDATE_COMMON_LOCAL_FILES_H

#include <string>

class update_run_C;

// True when the file can be opened for reading; a folder counts as absent.
bool local_file_exists(update_run_C& run, const std::string& path);
// True when the path names an existing folder.
bool local_file_is_directory(update_run_C& run, const std::string& path);
// Clears read-only, hidden and system. False when the file is missing or
// the change is refused.
bool change_file_to_rw(update_run_C& run, const std::string& path);
// Deletes a file, read-only or not. False when it is missing or stays.
bool delete_one_local_file(update_run_C& run, const std::string& path);
// The same, with the line logged for a missing file given (a format with
// one %s for the path) and, when asked, the system's error code logged
// before the line of a failed deletion: the bootstrap's trace reads so.
bool delete_local_file_reporting(update_run_C& run, const std::string& path,
                                 const char* missing_format, bool report_last_error);
// Removes an empty folder (a folder link: the link only).
bool delete_one_local_directory(update_run_C& run, const std::string& path);
// Moves a file; fails, changing nothing, when new_path already exists.
bool rename_local_file(update_run_C& run, const std::string& existing_path,
                       const std::string& new_path);
// True, with a log line under caller's name, when relative (a path below
// the root path) passes through a link that leads out of the installation
// folder: nothing may be placed, deleted or created there.
bool refuse_link_outside(update_run_C& run, const char* caller, const std::string& relative);

#endif
