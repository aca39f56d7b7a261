// The walk of the local tree into a name map.
#ifndef QUILL_UPDATE_COMMON_PARCOURS_H
#define QUILL_UPDATE_COMMON_PARCOURS_H

#include <map>
#include <string>
#include <vector>

class update_run_C;

// Path relative to the root path (backslashes between components) -> 1 for a
// folder, 0 for a file.
typedef std::map<std::string, int> name_map_C;

// Lists one folder with the walk pattern into the map and appends the names
// of its subfolders to subdirectories. A link to a folder is entered in the
// map but never in subdirectories: what it points at is not part of the
// tree. 0, or -1 when the folder cannot be listed.
int parcours_local(update_run_C& run, const std::string& directory,
                   std::vector<std::string>& subdirectories, name_map_C& names);
// The whole tree below directory, depth first. False only when directory
// itself cannot be listed.
bool parcours_recursif_local(update_run_C& run, const std::string& directory, name_map_C& names);

#endif
