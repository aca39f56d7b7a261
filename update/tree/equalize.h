// Bringing the local tree in line with the reference listing: delete what
// the reference no longer names, create its folders, fetch every file the
// local tree lacks. Names are listing entry names (Windows-form, relative
// to the root path, which is also the working directory).
#ifndef QUILL_UPDATE_TREE_EQUALIZE_H
#define QUILL_UPDATE_TREE_EQUALIZE_H

#include <string>

#include "common/parcours.h"

// Progress bar of the reference listing.
const int listing_bar_control = 1376;

// True when the working directory, a backslash and the longest entry name
// reach 260 characters: such a file could not be created.
bool check_path_length(const name_map_C& remote);
// The number of backslashes in path.
int compute_file_depth(const std::string& path);
// Deletes every local file the reference does not name ("ver_C" excepted).
// Stops with false at the first file that cannot go.
bool delete_useless_local_files(const name_map_C& local, const name_map_C& remote);
// Removes every local folder the reference does not name, deepest first. A
// folder that cannot go (it still holds files) is logged and skipped.
bool delete_useless_local_folders(const name_map_C& local, const name_map_C& remote);
// Creates one folder relative to the working directory. False when it
// cannot be made or already exists.
bool create_directory(const std::string& relative_path);
// Creates every folder and fetches every file of remote that local lacks.
// A fetched file is placed only when its content has the digest its entry
// name states. False at the first failure (the files placed before it stay)
// and when a guard zone was found damaged.
bool equalize_LOCAL_tree(const name_map_C& remote, const name_map_C& local);

#endif
