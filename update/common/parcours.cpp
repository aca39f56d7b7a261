#include "common/parcours.h"

#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"

int parcours_local(update_run_C& run, const std::string& directory,
                   std::vector<std::string>& subdirectories, name_map_C& names) {
    run.log.log_line("parcours_local  [IN]");
    const std::string pattern = directory + "\\" + run.walk_pattern;
    std::vector<qp::DirEntry> entries;
    if (!qp::find_files(pattern.c_str(), &entries)) {
        run.log.log_line("parcours_local  [OUT 4]");
        run.log.log_line("parcours_local  [OUT 1]");
        return -1;
    }
    // The Windows listing also yields "." and "..", so only a pattern that
    // does not match them can find nothing at all.
    if (entries.empty() && !qp::wildcard_match(run.walk_pattern.c_str(), ".")) {
        run.log.log_line("parcours_local  [OUT 3]");
        return 0;
    }
    const size_t cut = run.root_path.size() + 1;
    for (const qp::DirEntry& entry : entries) {
        const std::string full = directory + "\\" + entry.name;
        if (entry.is_directory) {
            if (qp::is_symbolic_link(full.c_str()))
                run.log.log_format("parcours_local  [LINK NOT FOLLOWED : %s]", full.c_str());
            else
                subdirectories.push_back(entry.name);
        }
        if (full.size() <= cut)
            continue;
        const std::string relative = full.substr(cut);
        if (names.find(relative) == names.end())
            names[relative] = entry.is_directory ? 1 : 0;
    }
    run.log.log_line("parcours_local  [OUT 2]");
    return 0;
}

bool parcours_recursif_local(update_run_C& run, const std::string& directory, name_map_C& names) {
    run.log.log_line("parcours_recursif_local    [IN]");
    std::vector<std::string> subdirectories;
    if (parcours_local(run, directory, subdirectories, names) == -1) {
        run.log.log_line("parcours_recursif_local   [ERROR OCCURED]");
        run.log.log_line("parcours_recursif_local    [OUT 1]");
        return false;
    }
    for (const std::string& name : subdirectories)
        parcours_recursif_local(run, directory + "\\" + name, names);
    run.log.log_line("parcours_recursif_local    [OUT 2]");
    return true;
}
