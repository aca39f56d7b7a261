#include "common/file_names.h"

#include "update/common/updater_fixture.h"

namespace {

class FileNames : public UpdaterTest {};

TEST_F(FileNames, LastComponentOfAPath) {
    std::string name = "unset";
    EXPECT_TRUE(convert_filename_from_absolute_2_relative(run, "C:\\game\\data\\a.txt", name));
    EXPECT_EQ(name, "a.txt");
    EXPECT_TRUE(convert_filename_from_absolute_2_relative(run, "a\\b\\c", name));
    EXPECT_EQ(name, "c");
    EXPECT_TRUE(log_has("convert_filename_from_absolute_2_relative(a\\b\\c)"));
}

TEST_F(FileNames, PathsWithoutALastComponentFail) {
    for (const char* path : {"dir\\", "file.txt", "", "\\"}) {
        std::string name = "unchanged";
        EXPECT_FALSE(convert_filename_from_absolute_2_relative(run, path, name)) << path;
        EXPECT_EQ(name, "unchanged");
        EXPECT_TRUE(log_has(std::string("convert_filename_from_absolute_2_relative  [FAILED "
                                        "BECAUSE WE CAN'T FIND A SLASH INTO ") +
                            path + "]"));
    }
}

TEST_F(FileNames, ReplaceEveryOccurrence) {
    std::string text = "a/b/c";
    EXPECT_TRUE(replace_this_char_in_string(run, text, "/", "\\"));
    EXPECT_EQ(text, "a\\b\\c");
    EXPECT_TRUE(log_has("replace_this_char_in_string(a/b/c, /, \\)"));
}

TEST_F(FileNames, ReplaceWithoutOccurrenceIsFalseAndKeepsText) {
    std::string text = "abc";
    EXPECT_FALSE(replace_this_char_in_string(run, text, "/", "\\"));
    EXPECT_EQ(text, "abc");
}

TEST_F(FileNames, ReplaceChecksPatternAndReplacementInOrder) {
    std::string text = "a/b";
    EXPECT_FALSE(replace_this_char_in_string(run, text, "", ""));
    EXPECT_TRUE(log_has("replace_this_char_in_string   [ERROR 1: EMPTY PATTERN]"));
    EXPECT_FALSE(replace_this_char_in_string(run, text, "ab", ""));
    EXPECT_TRUE(
        log_has("replace_this_char_in_string  [ERROR 2: PATTERN MUST HAVE EXACTLY SIZE = 1]"));
    EXPECT_FALSE(replace_this_char_in_string(run, text, "/", ""));
    EXPECT_TRUE(log_has("replace_this_char_in_string   [ERROR 3: EMPTY PATTERN]"));
    EXPECT_FALSE(replace_this_char_in_string(run, text, "/", "\\\\"));
    EXPECT_TRUE(
        log_has("replace_this_char_in_string  [ERROR 4: PATTERN MUST HAVE EXACTLY SIZE = 1]"));
    EXPECT_EQ(text, "a/b");
}

TEST_F(FileNames, GzPartStartsAtTheFirstGz) {
    std::string normal = "UNSET", gz = "UNSET";
    EXPECT_TRUE(convert_name_gz_2_normal(run, "data\\x.gz.1", normal, gz));
    EXPECT_EQ(normal, "data\\x");
    EXPECT_EQ(gz, ".gz.1");
    EXPECT_TRUE(convert_name_gz_2_normal(run, "a.txt.gz", normal, gz));
    EXPECT_EQ(normal, "a.txt");
    EXPECT_EQ(gz, ".gz");
    EXPECT_TRUE(convert_name_gz_2_normal(run, "a.gz.tmp", normal, gz));
    EXPECT_EQ(normal, "a");
    EXPECT_EQ(gz, ".gz.tmp");
    EXPECT_TRUE(log_has("convert_name_gz_2_normal : gz_filename: a.gz.tmp, normal_filename: a"));
}

TEST_F(FileNames, NameWithoutGzFails) {
    std::string normal = "UNSET", gz = "UNSET";
    EXPECT_FALSE(convert_name_gz_2_normal(run, "x.txt", normal, gz));
    EXPECT_EQ(normal, "UNSET");
    EXPECT_TRUE(
        log_has("convert_name_gz_2_normal   [ERROR : file : x.txt : doesn't have a .gz part]"));
}

TEST_F(FileNames, NormalToGzAppends) {
    std::string gz;
    EXPECT_TRUE(convert_name_normal_2_gz("dir\\a.txt", gz));
    EXPECT_EQ(gz, "dir\\a.txt.gz");
}

TEST_F(FileNames, Md5PartIsAfterTheLastDot) {
    EXPECT_EQ(md5_2_normal(run, "a.txt.0123"), "a.txt");
    EXPECT_TRUE(log_has(
        "md5_2_normal: normal_part : a.txt   md5_part : 0123 (original name : a.txt.0123)"));
    EXPECT_EQ(md5_2_normal(run, ".hidden"), "");
    EXPECT_EQ(md5_2_normal(run, "noext"), "ERROR");
    EXPECT_TRUE(log_has("md5_2_normal  [ERROR : FILE HAS NO EXTENSION : noext]"));
}

TEST_F(FileNames, Md5NamesLongerThan255CharactersStayWhole) {
    const std::string deep = std::string(300, 'd') + "\\" + std::string(280, 'f') + ".txt";
    const std::string md5 = "d41d8cd98f00b204e9800998ecf8427e";
    EXPECT_EQ(md5_2_normal(run, deep + "." + md5), deep);
    EXPECT_EQ(md5_2_normal(run, "a." + std::string(400, '0')), "a");
}

} // namespace
