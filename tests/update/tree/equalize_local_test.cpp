#include <string.h>

#include "common/guard_zone_C.h"
#include "quill/platform/file.h"
#include "support/scratch_dir.h"
#include "tree/equalize.h"
#include "update/common/updater_fixture.h"

using quill_test::write_file;

namespace {

const std::string old_md5 = "0123456789abcdef0123456789abcdef";
const std::string new_md5 = "fedcba9876543210fedcba9876543210";

class Cleanup : public UpdaterTest {
protected:
    placed_files_C placed;
};

TEST_F(Cleanup, ChangedAndPlacedFilesGoListedOnesThePlayersAndServerListStay) {
    ASSERT_TRUE(qp::create_directory("data"));
    write_file("data/a.dat", "old content");
    write_file("data/keep.dat", "same");
    write_file("data/my.cfg", "the player's");
    write_file("ver_C", "servers");
    write_file("notes.gz.txt", "placed by an earlier version");
    placed.add_file("NOTES.gz.txt");
    const name_map_C local{{"data", 1},
                           {"data\\a.dat.gz." + old_md5, 0},
                           {"data\\keep.dat.gz." + old_md5, 0},
                           {"data\\my.cfg.gz." + old_md5, 0},
                           {"notes.gz.txt.gz." + old_md5, 0},
                           {"ver_C.gz." + old_md5, 0}};
    const name_map_C remote{{"data", 1},
                            {"data\\A.dat.gz." + new_md5, 0},
                            {"data\\keep.dat.gz." + old_md5, 0}};
    ASSERT_TRUE(delete_useless_local_files(run, local, remote, placed));
    EXPECT_FALSE(qp::path_exists("data\\a.dat"));
    EXPECT_FALSE(qp::path_exists("notes.gz.txt"));
    EXPECT_TRUE(qp::path_exists("data\\keep.dat"));
    EXPECT_TRUE(qp::path_exists("ver_C"));
    EXPECT_EQ(quill_test::read_file("data/my.cfg"), "the player's");
    EXPECT_TRUE(log_has("delete_useless_local_files  [KEPT, NOT PLACED BY THE UPDATER : data\\my.cfg]"));
    EXPECT_TRUE(log_has("delete_useless_local_files : there are 2 files to delete"));
    // What is gone for good leaves the record; a path the reference names
    // again stays in it.
    EXPECT_FALSE(placed.has_file("notes.gz.txt"));
    EXPECT_FALSE(placed.has_file("data\\my.cfg"));
}

TEST_F(Cleanup, FirstFileThatCannotGoStopsTheDeletion) {
    write_file("b.dat", "x");
    placed.add_file("a.dat");
    placed.add_file("b.dat");
    const name_map_C local{{"a.dat.gz." + old_md5, 0}, {"b.dat.gz." + old_md5, 0}};
    EXPECT_FALSE(delete_useless_local_files(run, local, name_map_C{}, placed));
    EXPECT_TRUE(qp::path_exists("b.dat"));
    EXPECT_TRUE(log_has("delete_useless_local_files : [delete_one_local_file  FAILED FOR : a.dat]"));
}

TEST_F(Cleanup, UselessFoldersGoDeepestFirstAndAFullOneIsSkipped) {
    for (const char* folder : {"a", "a\\b", "a\\b\\c", "full", "kept", "screenshots"})
        ASSERT_TRUE(qp::create_directory(folder));
    for (const char* folder : {"a", "a\\b", "a\\b\\c", "full", "kept"})
        placed.add_folder(folder);
    write_file("full/unlisted.txt", "x");
    const name_map_C local{{"a", 1},    {"a\\b", 1},    {"a\\b\\c", 1},
                           {"full", 1}, {"kept", 1}, {"screenshots", 1}};
    ASSERT_TRUE(delete_useless_local_folders(run, local, name_map_C{{"kept", 1}}, placed));
    EXPECT_TRUE(qp::is_directory("screenshots"));
    EXPECT_TRUE(log_has("delete_useless_local_folders  [KEPT, NOT PLACED BY THE UPDATER : screenshots]"));
    EXPECT_FALSE(placed.has_folder("a\\b"));
    EXPECT_TRUE(placed.has_folder("full"));
    EXPECT_FALSE(qp::path_exists("a"));
    EXPECT_TRUE(qp::path_exists("full\\unlisted.txt"));
    EXPECT_TRUE(qp::is_directory("kept"));
    EXPECT_TRUE(log_has("delete_useless_local_folders  [delete_one_local_directory FAILED FOR : full]"));
    EXPECT_TRUE(log_has_run({"compute_file_depth(a) = 0", "compute_file_depth(a\\b) = 1",
                             "compute_file_depth(a\\b\\c) = 2", "compute_file_depth(full) = 0"}));
    // Order of removal: c, b, then a and full in map order.
    const std::vector<std::string> lines = log_lines();
    std::vector<std::string> removed;
    for (const std::string& line : lines)
        if (line.find("delete_useless_local_folders  [delete_one_local_directory") == 0)
            removed.push_back(line.substr(line.rfind(' ') + 1, line.size() - line.rfind(' ') - 2));
    EXPECT_EQ(removed, (std::vector<std::string>{"a\\b\\c", "a\\b", "a", "full"}));
}

TEST_F(Cleanup, PathOf260CharactersIsTooLong) {
    const size_t prefix = qp::current_directory().size() + 1;
    ASSERT_LT(prefix, 250u);
    const std::string fits(259 - prefix, 'x');
    const std::string too_long(260 - prefix, 'y');
    EXPECT_FALSE(check_path_length(name_map_C{{fits, 0}, {"short", 1}}));
    EXPECT_TRUE(check_path_length(name_map_C{{fits, 0}, {too_long, 0}, {"short", 1}}));
    EXPECT_FALSE(check_path_length(name_map_C{}));
}

TEST_F(Cleanup, DamagedGuardZoneIsReported) {
    EXPECT_TRUE(guard_zones_intact(run));
    guard_zone_C zone;
    guard_zone_C copy(zone);
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&copy);
    bytes[guard_zone_C::size - 1] = 0;
    EXPECT_FALSE(guard_zones_intact(run));
    EXPECT_TRUE(log_has("INFESTED"));
    memset(bytes, guard_zone_C::fill, guard_zone_C::size);
    EXPECT_TRUE(guard_zones_intact(run));
}

} // namespace
