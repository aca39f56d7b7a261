#include "quill/platform/file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/scratch_dir.h"

using quill_test::read_file;
using quill_test::ScratchDir;
using quill_test::write_file;

namespace {

std::vector<std::string> names_of(const char* pattern) {
    std::vector<qp::DirEntry> entries;
    EXPECT_TRUE(qp::find_files(pattern, &entries)) << pattern;
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

class FileSystem : public ::testing::Test {
protected:
    ScratchDir scratch;
};

// The listing goes through the system's own wildcard search on Windows and
// through our matcher elsewhere; both must give the same answers.
TEST_F(FileSystem, ListingMatchesWildcardsAndSkipsDotEntries) {
    ASSERT_TRUE(qp::create_directory("tree"));
    for (const char* name : {"a.txt", "b.gz", "c.txt.gz.0123", "noext", "D.LOG", "e.log"})
        write_file(std::string("tree/") + name, "x");
    ASSERT_TRUE(qp::create_directory("tree\\sub.gz.dir"));

    using Names = std::vector<std::string>;
    EXPECT_EQ(names_of("tree\\*.*"),
              (Names{"D.LOG", "a.txt", "b.gz", "c.txt.gz.0123", "e.log", "noext", "sub.gz.dir"}));
    EXPECT_EQ(names_of("tree/*.gz.*"), (Names{"b.gz", "c.txt.gz.0123", "sub.gz.dir"}));
    EXPECT_EQ(names_of("tree/*.log"), (Names{"D.LOG", "e.log"}));
    EXPECT_EQ(names_of("tree/*.none"), Names{});

    std::vector<qp::DirEntry> entries;
    ASSERT_TRUE(qp::find_files("tree\\sub*", &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].is_directory);
    ASSERT_TRUE(qp::find_files("tree\\a.txt", &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0].is_directory);

    EXPECT_TRUE(qp::any_file_matches("tree/*.log"));
    EXPECT_FALSE(qp::any_file_matches("tree/*.none"));
}

TEST_F(FileSystem, ListingOfAMissingFolderFails) {
    std::vector<qp::DirEntry> entries{{"stale", false}};
    EXPECT_FALSE(qp::find_files("missing\\*.*", &entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(qp::any_file_matches("missing/*.log"));
}

TEST_F(FileSystem, FoldersAndFilesAreToldApart) {
    EXPECT_FALSE(qp::path_exists("dir"));
    ASSERT_TRUE(qp::create_directory("dir"));
    EXPECT_FALSE(qp::create_directory("dir")) << "creating an existing folder must fail";
    EXPECT_FALSE(qp::create_directory("no\\such\\parent"));
    EXPECT_TRUE(qp::path_exists("dir"));
    EXPECT_TRUE(qp::is_directory("dir"));

    write_file("dir/file", "x");
    EXPECT_TRUE(qp::path_exists("dir\\file"));
    EXPECT_FALSE(qp::is_directory("dir\\file"));

    EXPECT_FALSE(qp::delete_file("dir")) << "delete_file must never remove a folder";
    EXPECT_TRUE(qp::is_directory("dir"));
    EXPECT_TRUE(qp::delete_file("dir\\file"));
    EXPECT_FALSE(qp::path_exists("dir/file"));
    EXPECT_FALSE(qp::delete_file("dir\\file"));
}

TEST_F(FileSystem, AppendHandleKeepsContentAndWritesAtTheEnd) {
    write_file("log.txt", "first ");
    qp::FileHandle file = qp::file_open_append("log.txt");
    ASSERT_NE(file, qp::kInvalidFile);
    uint32_t written = 0;
    ASSERT_TRUE(qp::file_write(file, "second", 6, &written));
    EXPECT_EQ(written, 6u);
    // Others may read while it is open.
    EXPECT_EQ(read_file("log.txt"), "first second");
    EXPECT_TRUE(qp::file_close(file));
    EXPECT_EQ(read_file("log.txt"), "first second");

    uint32_t count = 99;
    char byte;
    file = qp::file_open_append("log.txt");
    EXPECT_FALSE(qp::file_read(file, &byte, 1, &count)) << "the handle is for writing only";
    EXPECT_EQ(count, 0u);
    qp::file_close(file);
}

TEST_F(FileSystem, ReadHandleReadsToTheEnd) {
    write_file("data.bin", std::string("a\0b", 3));
    EXPECT_EQ(qp::file_open_read("absent.bin"), qp::kInvalidFile);
    qp::FileHandle file = qp::file_open_read("data.bin");
    ASSERT_NE(file, qp::kInvalidFile);
    char buffer[8];
    uint32_t count = 0;
    ASSERT_TRUE(qp::file_read(file, buffer, sizeof buffer, &count));
    EXPECT_EQ(std::string(buffer, count), std::string("a\0b", 3));
    ASSERT_TRUE(qp::file_read(file, buffer, sizeof buffer, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(qp::file_close(file));
}

TEST_F(FileSystem, WholeFilesGoOutAndComeBackByteForByteWithinTheirLimit) {
    const std::string bytes = std::string("a\0b\r\n\x1a", 6) + std::string(70000, 'z');
    ASSERT_TRUE(qp::write_whole_file("whole.bin", bytes));
    std::string back = "stale";
    ASSERT_TRUE(qp::read_whole_file("whole.bin", bytes.size(), &back));
    EXPECT_TRUE(back == bytes);
    // One byte past the limit is a failure, not a shortened content.
    EXPECT_FALSE(qp::read_whole_file("whole.bin", bytes.size() - 1, &back));
    EXPECT_FALSE(qp::read_whole_file("missing.bin", 100, &back));
    // A folder is no file, for reading or writing.
    ASSERT_TRUE(qp::create_directory("folder"));
    EXPECT_FALSE(qp::read_whole_file("folder", 100, &back));
    EXPECT_FALSE(qp::write_whole_file("folder", "x"));
    ASSERT_TRUE(qp::write_whole_file("whole.bin", ""));
    EXPECT_EQ("", read_file("whole.bin"));
}

TEST_F(FileSystem, InvalidHandleIsRefused) {
    uint32_t count = 5;
    char byte = 0;
    EXPECT_FALSE(qp::file_write(qp::kInvalidFile, &byte, 1, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(qp::file_read(qp::kInvalidFile, &byte, 1, &count));
    EXPECT_FALSE(qp::file_close(qp::kInvalidFile));
    EXPECT_EQ(qp::file_open_append("no\\such\\folder\\file"), qp::kInvalidFile);
    EXPECT_NE(qp::last_error(), 0u);
}

TEST_F(FileSystem, CurrentDirectoryFollowsChanges) {
    const std::string start = qp::current_directory();
    ASSERT_FALSE(start.empty());
    ASSERT_TRUE(qp::create_directory("inner"));
    ASSERT_TRUE(qp::set_current_directory("inner"));
    const std::string inner = qp::current_directory();
    EXPECT_EQ(inner.substr(0, start.size()), start);
    EXPECT_EQ(inner.substr(start.size() + 1), "inner");
    EXPECT_FALSE(qp::set_current_directory("missing"));
    EXPECT_EQ(qp::current_directory(), inner);
    ASSERT_TRUE(qp::set_current_directory(start.c_str()));
}

} // namespace
