// quill-publish: turns a build folder into the tree an FTP mirror serves.
//   quill-publish --version TEXT [--sign KEY_FILE] SOURCE_DIR MIRROR_DIR
//   quill-publish keygen KEY_FILE       (writes KEY_FILE and KEY_FILE.pub)
#include <stdio.h>
#include <string.h>

#include <string>

#include "publish.h"
#include "quill/platform/file.h"

namespace {

int usage() {
    fprintf(stderr,
            "usage: quill-publish --version TEXT [--sign KEY_FILE] SOURCE_DIR MIRROR_DIR\n"
            "       quill-publish keygen KEY_FILE\n");
    return 2;
}

int keygen(const char* key_file) {
    std::string error;
    if (!make_publisher_keys(key_file, error)) {
        fprintf(stderr, "quill-publish: no key made: %s", error.c_str());
        return 1;
    }
    printf("private key in %s (keep it secret), public key in %s.pub\n", key_file, key_file);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "keygen") == 0)
        return keygen(argv[2]);
    publish_key_C key;
    const publish_key_C* signing = nullptr;
    if (argc == 7 && strcmp(argv[1], "--version") == 0 && strcmp(argv[3], "--sign") == 0) {
        std::string error;
        if (!read_publisher_key(argv[4], &key, error)) {
            fprintf(stderr, "quill-publish: nothing published: %s", error.c_str());
            return 1;
        }
        signing = &key;
        // The folders follow the key.
        argv[3] = argv[5];
        argv[4] = argv[6];
    } else if (argc != 5 || strcmp(argv[1], "--version") != 0) {
        return usage();
    }
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
    const bool published = publish_mirror(argv[2], argv[3], argv[4], progress, signing, error);
    if (terminal)
        fprintf(stderr, "\n");
    if (!published) {
        fprintf(stderr, "quill-publish: nothing published:\n%s", error.c_str());
        return 1;
    }
    if (!error.empty())
        fprintf(stderr, "quill-publish: %s", error.c_str());
    printf("%s published as version %s%s\n", argv[4], argv[2], signing ? ", signed" : "");
    return 0;
}
