// quill-publish: turns a build folder into the tree an FTP mirror serves.
//   quill-publish --version TEXT SOURCE_DIR MIRROR_DIR
#include <stdio.h>
#include <string.h>

#include <string>

#include "publish.h"
#include "quill/platform/file.h"

namespace {

int usage() {
    fprintf(stderr, "usage: quill-publish --version TEXT SOURCE_DIR MIRROR_DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 || strcmp(argv[1], "--version") != 0)
        return usage();
    const bool terminal = qp::stream_is_terminal(stderr);
    publish_progress_C progress;
    if (terminal)
        progress = [](int files_done, int file_count, int64_t bytes_done, int64_t byte_count,
                      const std::string&) {
            const int percent =
                byte_count > 0 ? static_cast<int>(bytes_done * 100 / byte_count) : 100;
            fprintf(stderr, "\rquill-publish: %d/%d files, %3d%%", files_done, file_count,
                    percent);
            fflush(stderr);
        };
    std::string error;
    const bool published = publish_mirror(argv[2], argv[3], argv[4], progress, error);
    if (terminal)
        fprintf(stderr, "\n");
    if (!published) {
        fprintf(stderr, "quill-publish: nothing published:\n%s", error.c_str());
        return 1;
    }
    if (!error.empty())
        fprintf(stderr, "quill-publish: %s", error.c_str());
    printf("%s published as version %s\n", argv[4], argv[2]);
    return 0;
}
