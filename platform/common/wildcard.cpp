// Windows wildcard rules, for the systems whose directory listing has none.
#include "quill/platform/file.h"

#include <string.h>

namespace qp {
namespace {

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// '*' and '?' over [pattern, pattern_end) against the whole name. Greedy with
// one back-track point: linear in practice, never recursive.
bool glob(const char* pattern, const char* pattern_end, const char* name) {
    const char* star = nullptr;
    const char* star_name = nullptr;
    while (*name) {
        if (pattern < pattern_end && *pattern == '*') {
            star = ++pattern;
            star_name = name;
        } else if (pattern < pattern_end && (*pattern == '?' || fold(*pattern) == fold(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star;
            name = ++star_name;
        } else {
            return false;
        }
    }
    while (pattern < pattern_end && *pattern == '*')
        ++pattern;
    return pattern == pattern_end;
}

} // namespace

bool wildcard_match(const char* pattern, const char* name) {
    const size_t length = strlen(pattern);
    if (glob(pattern, pattern + length, name))
        return true;
    // A final ".*" may stand for nothing: "readme.*" matches "readme".
    return length >= 2 && pattern[length - 2] == '.' && pattern[length - 1] == '*' &&
           glob(pattern, pattern + length - 2, name);
}

} // namespace qp
