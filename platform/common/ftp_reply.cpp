#include "quill/platform/ftp_reply.h"

#include <string.h>

namespace qp {

bool ftp_has_line_end(const std::string& name) {
    return name.find_first_of("\r\n") != std::string::npos;
}

bool ftp_reply_opens_transfer(const char* line, size_t length) {
    return length >= 4 && (memcmp(line, "125 ", 4) == 0 || memcmp(line, "150 ", 4) == 0);
}

bool ftp_folder_of_reply(const std::string& replies, std::string* out) {
    // The last 257 that starts a line; "257 " inside a later line's text is
    // no reply of its own.
    size_t line = replies.rfind("257 ");
    while (line != std::string::npos && line != 0 && replies[line - 1] != '\n')
        line = replies.rfind("257 ", line - 1);
    if (line == std::string::npos)
        return false;
    size_t end = replies.find_first_of("\r\n", line);
    if (end == std::string::npos)
        end = replies.size();
    // A quote on a later line belongs to another reply.
    size_t at = replies.find('"', line);
    if (at == std::string::npos || at >= end)
        return false;
    std::string folder;
    for (++at; at < end; ++at) {
        if (replies[at] == '"') {
            if (at + 1 < end && replies[at + 1] == '"') {
                folder += '"';
                ++at;
                continue;
            }
            *out = folder;
            return true;
        }
        folder += replies[at];
    }
    return false;
}

} // namespace qp
