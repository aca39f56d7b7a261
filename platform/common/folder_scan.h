// Reading a folder, which each system's file code provides (internal to the
// platform layer).
#ifndef QUILL_PLATFORM_COMMON_FOLDER_SCAN_H
#define QUILL_PLATFORM_COMMON_FOLDER_SCAN_H

#include <functional>

#include "quill/platform/file.h"

namespace qp {

// Calls visit(entry) for each entry that matches pattern (as find_files
// reads it), "." and ".." never among them, until visit returns false.
// False when the folder cannot be read.
bool scan_folder(const char* pattern, const std::function<bool(DirEntry)>& visit);

} // namespace qp

#endif
