// Recovery from an interrupted run: the compressed downloads it left in the
// root folder ("*.gz.*") are deleted before the update starts.
#ifndef QUILL_UPDATE_NET_RECOVERY_H
#define QUILL_UPDATE_NET_RECOVERY_H

#include "common/parcours.h"

// Walks the root folder with the walk pattern in force into names and logs
// the files found. True when the walk worked and found anything.
bool last_session_has_crashed(name_map_C& names);
// Deletes every file of names (relative to the root folder, the working
// directory). False for an empty map; otherwise the result of the last
// deletion tried.
bool clean_temp_files_from_last_crash(const name_map_C& names);
// Finds and deletes the leftovers. False when a deletion failed.
bool process_recovery();

#endif
