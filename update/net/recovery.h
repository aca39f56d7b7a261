// Recovery from an interrupted run: the compressed downloads it left in the
// root folder are deleted before the update starts. Only what a download
// leaves goes: names that end in ".gz." and a digest, and the ".gz" copy of
// a file the record of placed files names; a player's own "*.gz" or
// "*.gz.*" files stay.
#ifndef QUILL_UPDATE_NET_RECOVERY_H
#define QUILL_UPDATE_NET_RECOVERY_H

#include <string>

#include "common/parcours.h"

class update_run_C;

// Walks the root folder with the walk pattern in force into names and logs
// the files found. True when the walk worked and found anything.
bool last_session_has_crashed(update_run_C& run, name_map_C& names);
// Deletes every file of names (relative to the root folder, the working
// directory). False for an empty map; otherwise the result of the last
// deletion tried.
bool clean_temp_files_from_last_crash(update_run_C& run, const name_map_C& names);
// True for a root-level name that only an interrupted download leaves.
bool is_interrupted_download(update_run_C& run, const std::string& name);
// Finds and deletes the leftovers. False when a deletion failed.
bool process_recovery(update_run_C& run);

#endif
