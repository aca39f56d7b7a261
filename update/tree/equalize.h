// Bringing the local tree in line with the reference listing: delete what
// the reference no longer names, create its folders, fetch every file the
// local tree lacks. Names are listing entry names (Windows-form, relative
// to the root path, which is also the working directory).
#ifndef QUILL_UPDATE_TREE_EQUALIZE_H
#define QUILL_UPDATE_TREE_EQUALIZE_H

#include <string>

#include "common/parcours.h"
#include "common/placed_files_C.h"

class update_run_C;

// Progress bar of the reference listing.
const int listing_bar_control = 1376;

// True when the working directory, a backslash and the longest entry name
// reach 260 characters: such a file could not be created.
bool check_path_length(const name_map_C& remote);
// The number of backslashes in path.
int compute_file_depth(update_run_C& run, const std::string& path);
// Adds every folder and the plain path of every file of a listing to placed:
// once a reference listing names a path, the updater may replace or delete
// what stands there.
void remember_listing(const name_map_C& names, placed_files_C& placed);
// Deletes every local file the reference does not name ("ver_C" excepted)
// that placed records or the reference is about to replace (same plain
// path, another digest); any other file is the player's and is kept with a
// log line. A deleted file leaves the record unless the reference names it
// again. Stops with false at the first file that cannot go or lies behind a
// link leading out of the folder.
bool delete_useless_local_files(update_run_C& run, const name_map_C& local,
                                const name_map_C& remote, placed_files_C& placed);
// Removes every local folder the reference does not name and placed
// records, deepest first; other folders are kept with a log line. A folder
// that cannot go (it still holds files) is logged and skipped; one behind a
// link leading out of the folder stops the deletion with false.
bool delete_useless_local_folders(update_run_C& run, const name_map_C& local,
                                  const name_map_C& remote, placed_files_C& placed);
// Creates one folder relative to the working directory. False when it
// cannot be made or already exists.
bool create_directory(update_run_C& run, const std::string& relative_path);
// Creates every folder and fetches every file of remote that local lacks.
// A fetched file is placed only when its content has the digest its entry
// name states. False at the first failure (the files placed before it stay)
// and when a guard zone was found damaged.
bool equalize_LOCAL_tree(update_run_C& run, const name_map_C& remote, const name_map_C& local);

#endif
