// The seam's changing operations: attributes, removal, moves and copies that
// never replace, link detection and streams that refuse folders.
#include "quill/platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scratch_dir.h"

namespace fs = std::filesystem;
using quill_test::read_file;
using quill_test::ScratchDir;
using quill_test::write_file;

namespace {

class FileChanges : public ::testing::Test {
protected:
    ScratchDir scratch;
};

bool owner_may_write(const char* name) {
    return (fs::status(name).permissions() & fs::perms::owner_write) != fs::perms::none;
}

TEST_F(FileChanges, MakeWritableClearsReadOnly) {
    write_file("ro.txt", "x");
    fs::permissions("ro.txt",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_FALSE(owner_may_write("ro.txt"));
    EXPECT_TRUE(qp::make_writable("ro.txt"));
    EXPECT_TRUE(owner_may_write("ro.txt"));
    EXPECT_FALSE(qp::make_writable("missing.txt"));
}

TEST_F(FileChanges, RemoveDirectoryOnlyWhenEmpty) {
    ASSERT_TRUE(qp::create_directory("full"));
    write_file("full/f", "x");
    EXPECT_FALSE(qp::remove_directory("full"));
    EXPECT_TRUE(qp::is_directory("full"));
    EXPECT_TRUE(qp::delete_file("full\\f"));
    EXPECT_TRUE(qp::remove_directory("full"));
    EXPECT_FALSE(qp::path_exists("full"));
    EXPECT_FALSE(qp::remove_directory("full"));
    write_file("plain", "x");
    EXPECT_FALSE(qp::remove_directory("plain")) << "a file is no folder";
    EXPECT_TRUE(qp::path_exists("plain"));
}

TEST_F(FileChanges, MoveNeverReplaces) {
    write_file("a", "first");
    write_file("b", "second");
    EXPECT_FALSE(qp::move_file("a", "b"));
    EXPECT_EQ(read_file("a"), "first");
    EXPECT_EQ(read_file("b"), "second");

    ASSERT_TRUE(qp::create_directory("sub"));
    EXPECT_TRUE(qp::move_file("a", "sub\\a2"));
    EXPECT_FALSE(qp::path_exists("a"));
    EXPECT_EQ(read_file("sub/a2"), "first");
    EXPECT_FALSE(qp::move_file("a", "c")) << "the source is gone";
    EXPECT_FALSE(qp::move_file("b", "no\\such\\folder\\b"));
    EXPECT_EQ(read_file("b"), "second");
}

TEST_F(FileChanges, CopyNeverReplaces) {
    const std::string content(200000, 'q');
    write_file("src", content);
    write_file("taken", "old");
    EXPECT_FALSE(qp::copy_file("src", "taken"));
    EXPECT_EQ(read_file("taken"), "old");
    EXPECT_TRUE(qp::copy_file("src", "copy"));
    EXPECT_EQ(read_file("copy"), content);
    EXPECT_EQ(read_file("src"), content);
    EXPECT_FALSE(qp::copy_file("absent", "copy2"));
    EXPECT_FALSE(qp::path_exists("copy2"));
    ASSERT_TRUE(qp::create_directory("dir"));
    EXPECT_FALSE(qp::copy_file("dir", "dir2"));
    EXPECT_FALSE(qp::path_exists("dir2"));
}

TEST_F(FileChanges, StreamsNeverOpenFolders) {
    ASSERT_TRUE(qp::create_directory("dir"));
    EXPECT_EQ(qp::open_stream("dir", "r"), nullptr);
    EXPECT_EQ(qp::open_stream("dir", "rb"), nullptr);
    FILE* stream = qp::open_stream("dir\\new.txt", "wb");
    ASSERT_NE(stream, nullptr);
    fputs("data", stream);
    fclose(stream);
    EXPECT_EQ(read_file("dir/new.txt"), "data");
    EXPECT_EQ(qp::open_stream("dir\\absent", "r"), nullptr);
}

// Links need a privilege on Windows; where they cannot be made, there is
// nothing to check.
TEST_F(FileChanges, LinksAreSeenAndRemovedWithoutTheirTarget) {
    ASSERT_TRUE(qp::create_directory("target"));
    write_file("target/keep", "x");
    std::error_code error;
    fs::create_directory_symlink(fs::absolute("target"), "link", error);
    if (error)
        GTEST_SKIP() << "no folder links here: " << error.message();
    EXPECT_TRUE(qp::is_symbolic_link("link"));
    EXPECT_FALSE(qp::is_symbolic_link("target"));
    EXPECT_FALSE(qp::is_symbolic_link("target\\keep"));
    EXPECT_FALSE(qp::is_symbolic_link("absent"));
    EXPECT_TRUE(qp::make_writable("link"));

    EXPECT_TRUE(qp::remove_directory("link"));
    EXPECT_FALSE(qp::path_exists("link"));
    EXPECT_EQ(read_file("target/keep"), "x");
}

TEST_F(FileChanges, SystemPathServesTheCLibrary) {
    ASSERT_TRUE(qp::create_directory("dir"));
    write_file("dir/f", "content");
    FILE* stream = fopen(qp::system_path("dir\\f").c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(fread(buffer, 1, sizeof buffer, stream), 7u);
    fclose(stream);
    EXPECT_STREQ(buffer, "content");
}

} // namespace
