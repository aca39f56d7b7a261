// Turning a build folder into the tree the updater's mirrors serve.
#ifndef QUILL_TOOLS_PUBLISH_H
#define QUILL_TOOLS_PUBLISH_H

#include <stdint.h>

#include <functional>
#include <string>

// Called after each published file with the files and plain bytes done so
// far and the totals.
typedef std::function<void(int files_done, int file_count, int64_t bytes_done,
                           int64_t byte_count, const std::string& name)>
    publish_progress_C;

// Makes mirror hold exactly the mirror tree of source: "version.txt",
// "ls.txt" (the version line, every folder, every file with the size of
// its compressed form), "ls_compressed.txt.gz", and each file gzip
// compressed under its relative path + ".gz." + the MD5 of its content.
// The tree is built beside mirror and moved into place at the end, so a
// mirror is never seen half-written. An existing mirror is replaced only
// when it is empty or holds a listing; anything else is refused. False,
// with the reasons in error (one per line) and mirror untouched, when
// something cannot be published.
bool publish_mirror(const std::string& version, const std::string& source,
                    const std::string& mirror, const publish_progress_C& progress,
                    std::string& error);

#endif
