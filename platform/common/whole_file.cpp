#include <stdio.h>

#include "quill/platform/file.h"

namespace qp {

bool read_whole_file(const char* name, size_t limit, std::string* content) {
    FILE* file = open_stream(name, "rb");
    if (!file)
        return false;
    content->clear();
    char buffer[65536];
    size_t got;
    bool fits = true;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (content->size() + got > limit) {
            fits = false;
            break;
        }
        content->append(buffer, got);
    }
    const bool failed = ferror(file) != 0;
    fclose(file);
    return fits && !failed;
}

bool write_whole_file(const char* name, const std::string& content) {
    FILE* file = open_stream(name, "wb");
    if (!file)
        return false;
    const bool written = fwrite(content.data(), 1, content.size(), file) == content.size();
    return fclose(file) == 0 && written;
}

} // namespace qp
