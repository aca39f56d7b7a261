// Listing a folder, over each system's reading of it.
#include "folder_scan.h"

#include <utility>

namespace qp {

bool find_files(const char* pattern, std::vector<DirEntry>* out) {
    out->clear();
    return scan_folder(pattern, [out](DirEntry entry) {
        out->push_back(std::move(entry));
        return true;
    });
}

bool any_file_matches(const char* pattern) {
    bool found = false;
    scan_folder(pattern, [&found](const DirEntry&) {
        found = true;
        return false;
    });
    return found;
}

} // namespace qp
