#include "tree/equalize.h"

#include <set>
#include <utility>
#include <vector>

#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/placed_files_C.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"
#include "tree/ls_txt.h"

namespace {

const int max_path_length = 260;
const char* const dash_line = "----------------------------------------------------------";

// The plain paths of the reference's files, as Windows compares them: a
// local file of the same path is about to be replaced.
std::set<std::string> plain_paths_of(const name_map_C& remote) {
    std::set<std::string> paths;
    for (const auto& entry : remote) {
        std::string plain;
        if (entry.second == 0 && plain_path_of_entry(entry.first, plain))
            paths.insert(folded_name(plain));
    }
    return paths;
}

} // namespace

void remember_listing(const name_map_C& names, placed_files_C& placed) {
    for (const auto& entry : names) {
        std::string plain;
        if (entry.second == 1)
            placed.add_folder(entry.first);
        else if (plain_path_of_entry(entry.first, plain))
            placed.add_file(plain);
    }
}

int compute_file_depth(update_run_C& run, const std::string& path) {
    int depth = 0;
    for (char c : path)
        if (c == '\\')
            ++depth;
    run.log.log_format("compute_file_depth(%s) = %d", path.c_str(), depth);
    return depth;
}

bool check_path_length(const name_map_C& remote) {
    const std::string* longest = nullptr;
    for (const auto& entry : remote)
        if (!longest || entry.first.size() > longest->size())
            longest = &entry.first;
    if (!longest)
        return false;
    const std::string path = qp::current_directory() + "\\" + *longest;
    return static_cast<int>(path.size()) >= max_path_length;
}

bool delete_useless_local_files(update_run_C& run, const name_map_C& local,
                                const name_map_C& remote, placed_files_C& placed) {
    run.log.log_line(dash_line);
    run.log.log_line("delete_useless_local_files");
    run.log.log_line(dash_line);
    if (local.empty()) {
        run.log.log_line("delete_useless_local_files  [NOTHING TO DO : LOCAL MAP EMPTY]");
        return true;
    }
    const std::set<std::string> replaced = plain_paths_of(remote);
    std::vector<std::string> useless;
    for (const auto& entry : local) {
        if (entry.second != 0 || remote.find(entry.first) != remote.end() ||
            entry.first.find("ver_C") != std::string::npos)
            continue;
        std::string plain;
        // Only what the updater placed, or the reference is about to
        // replace, may go: everything else is the player's.
        if (plain_path_of_entry(entry.first, plain) && !replaced.count(folded_name(plain)) &&
            !placed.has_file(plain)) {
            run.log.log_format("delete_useless_local_files  [KEPT, NOT PLACED BY THE UPDATER : %s]",
                               plain.c_str());
            continue;
        }
        useless.push_back(entry.first);
    }
    if (useless.empty()) {
        run.log.log_line("delete_useless_local_files  [NO FILE AT ALL TO DELETE]");
        return true;
    }
    run.log.log_format("delete_useless_local_files : there are %d files to delete",
                       static_cast<int>(useless.size()));
    for (const std::string& name : useless) {
        run.log.log_format("delete_useless_local_files : processinf this file : %s", name.c_str());
        std::string plain;
        if (!plain_path_of_entry(name, plain)) {
            run.log.log_format(
                "delete_useless_local_files : [convert_name_gz_2_normal  FAILED FOR : %s]",
                name.c_str());
            return false;
        }
        if (refuse_link_outside(run, "delete_useless_local_files", plain))
            return false;
        if (!delete_one_local_file(run, plain)) {
            run.log.log_format(
                "delete_useless_local_files : [delete_one_local_file  FAILED FOR : %s]",
                plain.c_str());
            run.log.log_line(dash_line);
            return false;
        }
        if (!replaced.count(folded_name(plain)))
            placed.forget_file(plain);
    }
    return true;
}

bool delete_useless_local_folders(update_run_C& run, const name_map_C& local,
                                  const name_map_C& remote, placed_files_C& placed) {
    run.log.log_line(dash_line);
    run.log.log_line("delete_useless_local_folders");
    run.log.log_line(dash_line);
    if (local.empty()) {
        run.log.log_line("delete_useless_local_folders  [LOCAL MAP EMPTY, NOTHING TO DO]");
        return true;
    }
    std::vector<std::string> useless;
    for (const auto& entry : local) {
        if (entry.second != 1 || remote.find(entry.first) != remote.end())
            continue;
        if (!placed.has_folder(entry.first)) {
            run.log.log_format(
                "delete_useless_local_folders  [KEPT, NOT PLACED BY THE UPDATER : %s]",
                entry.first.c_str());
            continue;
        }
        useless.push_back(entry.first);
    }
    if (useless.empty()) {
        run.log.log_line("delete_useless_local_folders  [NO DIRECTORY TO BE DELETED AT ALL]");
        return true;
    }
    // Deepest first, equally deep ones in map order: a folder is empty of
    // useless subfolders by the time its turn comes.
    std::vector<int> depths;
    for (const std::string& name : useless)
        depths.push_back(compute_file_depth(run, name));
    for (size_t pass = 0; pass < useless.size(); ++pass)
        for (size_t i = 0; i + 1 < useless.size() - pass; ++i)
            if (depths[i + 1] > depths[i]) {
                std::swap(depths[i], depths[i + 1]);
                std::swap(useless[i], useless[i + 1]);
            }
    for (const std::string& name : useless) {
        if (refuse_link_outside(run, "delete_useless_local_folders", name))
            return false;
        if (delete_one_local_directory(run, run.local_path(name))) {
            run.log.log_format(
                "delete_useless_local_folders  [delete_one_local_directory SUCCESS FOR : %s]",
                name.c_str());
            placed.forget_folder(name);
        } else
            run.log.log_format(
                "delete_useless_local_folders  [delete_one_local_directory FAILED FOR : %s]",
                name.c_str());
    }
    run.log.log_line(dash_line);
    return true;
}
