#include "common/local_files.h"

#include <filesystem>

#include "quill/platform/file.h"
#include "update/common/updater_fixture.h"

namespace fs = std::filesystem;
using quill_test::read_file;
using quill_test::write_file;

namespace {

class LocalFiles : public UpdaterTest {
protected:
    // Windows-form path below the root, as the updater builds them.
    std::string at(const std::string& relative) const { return run.root_path + "\\" + relative; }
};

void make_read_only(const char* name) {
    fs::permissions(name, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

TEST_F(LocalFiles, ExistsOnlyForReadableFiles) {
    write_file("f.txt", "x");
    ASSERT_TRUE(qp::create_directory("dir"));
    EXPECT_TRUE(local_file_exists(run, at("f.txt")));
    EXPECT_FALSE(local_file_exists(run, at("dir"))) << "a folder counts as absent";
    EXPECT_FALSE(local_file_exists(run, at("none.txt")));
    EXPECT_TRUE(log_has("[THE FILE : " + at("none.txt") + "  DOESN'T EXISTS OR CAN'T BE FOUND]"));
}

TEST_F(LocalFiles, DirectoryTestTellsMissingFromFile) {
    write_file("f.txt", "x");
    ASSERT_TRUE(qp::create_directory("dir"));
    EXPECT_TRUE(local_file_is_directory(run, at("dir")));
    EXPECT_FALSE(local_file_is_directory(run, at("f.txt")));
    EXPECT_FALSE(
        log_has("local_file_is_directory   [ERROR: NO SUCH DIRECTORY : " + at("f.txt") + "]"));
    EXPECT_FALSE(local_file_is_directory(run, at("gone")));
    EXPECT_TRUE(
        log_has("local_file_is_directory   [ERROR: NO SUCH DIRECTORY : " + at("gone") + "]"));
}

TEST_F(LocalFiles, ReadOnlyFileIsMadeWritableAndDeleted) {
    write_file("ro.txt", "x");
    make_read_only("ro.txt");
    EXPECT_TRUE(delete_one_local_file(run, at("ro.txt")));
    EXPECT_FALSE(qp::path_exists("ro.txt"));
    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{"delete_one_local_file(" + at("ro.txt") + ")",
                                        "delete_one_local_file(" + at("ro.txt") + ")  [SUCCESS]"}));
}

TEST_F(LocalFiles, ChangeToWritableClearsTheAttribute) {
    write_file("ro.txt", "x");
    make_read_only("ro.txt");
    EXPECT_TRUE(change_file_to_rw(run, at("ro.txt")));
    EXPECT_NE(fs::status("ro.txt").permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_FALSE(change_file_to_rw(run, at("none")));
    EXPECT_TRUE(log_has("change_file_to_rw  [FAILED : FILE DOESN'T EXIST : " + at("none") + "]"));
}

TEST_F(LocalFiles, MissingFileIsNotDeleted) {
    EXPECT_FALSE(delete_one_local_file(run, at("none")));
    const std::string line = "delete_one_local_file(" + at("none") + ")";
    EXPECT_TRUE(log_has_run(
        {line, "[THE FILE : " + at("none") + "  DOESN'T EXISTS OR CAN'T BE FOUND]", line}));
}

TEST_F(LocalFiles, FolderIsNoFileToDelete) {
    ASSERT_TRUE(qp::create_directory("dir"));
    EXPECT_FALSE(delete_one_local_file(run, at("dir")));
    EXPECT_TRUE(qp::is_directory("dir"));
}

TEST_F(LocalFiles, OnlyEmptyDirectoriesAreRemoved) {
    ASSERT_TRUE(qp::create_directory("full"));
    write_file("full/x", "x");
    EXPECT_FALSE(delete_one_local_directory(run, at("full")));
    EXPECT_TRUE(log_has_run({"delete_one_local_directory(" + at("full") + ")",
                             "delete_one_local_directory  [FAILED]"}));
    ASSERT_TRUE(qp::create_directory("empty"));
    EXPECT_TRUE(delete_one_local_directory(run, at("empty")));
    EXPECT_FALSE(qp::path_exists("empty"));
    EXPECT_TRUE(log_has("delete_one_local_directory  [SUCCESS : DIRECTORY DISAPPEARED CORRECTLY]"));
}

TEST_F(LocalFiles, RenameNeverReplacesTheTarget) {
    write_file("a", "new");
    write_file("b", "old");
    EXPECT_FALSE(rename_local_file(run, at("a"), at("b")));
    EXPECT_EQ(read_file("b"), "old");
    EXPECT_TRUE(log_has_run({"rename_local_file(" + at("a") + ", " + at("b") + ")",
                             "rename_local_file(" + at("a") + ", " + at("b") + ")  [FAILED]"}));
    EXPECT_TRUE(rename_local_file(run, at("a"), at("c")));
    EXPECT_EQ(read_file("c"), "new");
    EXPECT_FALSE(qp::path_exists("a"));
    EXPECT_TRUE(log_has("rename_local_file(" + at("a") + ", " + at("c") + ")  [SUCCESS]"));
}

} // namespace
