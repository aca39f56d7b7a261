// The bootstrap's own file operations. They keep the shared updater
// operations' log words where they agree and differ where the bootstrap's
// log has always differed; they live in their own namespace so that both
// sets can be linked into one program.
#ifndef QUILL_BOOTSTRAP_BOOTSTRAP_FILES_H
#define QUILL_BOOTSTRAP_BOOTSTRAP_FILES_H

#include <string>

class update_run_C;

namespace bootstrap {

// Deletes a file, read-only or not. A missing file and a refused deletion
// (with the system's error code) each get their own log line. False when
// the file is missing or stays.
bool delete_one_local_file(update_run_C& run, const std::string& path);

// Copies source to destination, which must not exist, then waits for the
// destination to be visible (up to 1000 polls 25 ms apart). The content is
// written under a staging name and renamed into place, so destination is
// never seen half-written, even after a crash. True when destination exists
// at the end.
bool copy_one_local_file(update_run_C& run, const std::string& source,
                         const std::string& destination);

// The staging name copy_one_local_file writes under before the rename.
std::string staging_name(const std::string& destination);

} // namespace bootstrap

#endif
