#include "quill/platform/file.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* pattern;
    const char* name;
    bool matches;
};

// The rules that the installation tree walks and the log folder rely on,
// as Windows applies them.
TEST(WildcardMatch, FollowsWindowsRules) {
    const Case cases[] = {
        {"*.*", "readme.txt", true},
        {"*.*", "noext", true}, // every name, with or without a dot
        {"*", "anything.at.all", true},
        {"*.log", "12.log", true},
        {"*.log", "12.LOG", true}, // letters without regard to case
        {"*.LOG", "12.log", true},
        {"*.log", "12.log.old", false},
        {"*.log", "log", false},
        {"*.gz.*", "data.bin.gz.0123abcd", true},
        {"*.gz.*", "data.gz", true}, // a final ".*" may stand for nothing
        {"*.gz.*", "data.txt", false},
        {"*.gz.*", "gzip.txt", false},
        {"readme.*", "readme", true},
        {"readme.*", "readme.txt", true},
        {"readme.*", "readme2.txt", false},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"?.txt", ".txt", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*a*", "bab", true},
        {"", "", true},
        {"", "x", false},
        {"*", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qp::wildcard_match(c.pattern, c.name), c.matches)
            << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
}

TEST(WildcardMatch, ManyStarsStayFast) {
    // Back-tracking patterns must not explode on long names.
    const std::string name(4000, 'a');
    EXPECT_FALSE(qp::wildcard_match("*a*a*a*a*a*a*a*a*a*a*b", name.c_str()));
    EXPECT_TRUE(qp::wildcard_match("*a*a*a*a*a*a*a*a*a*a*", name.c_str()));
}

} // namespace
