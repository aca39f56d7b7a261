#include "net/recovery.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/placed_files_C.h"
#include "support/scratch_dir.h"
#include "update/net/net_fixture.h"

namespace {

namespace fs = std::filesystem;
using quill_test::write_file;

using Recovery = NetTest;

const char leftover[] = "a.dat.gz.0123456789abcdef0123456789abcdef";

TEST_F(Recovery, DeletesLeftoversOfTheRootFolderOnly) {
    fs::create_directories("sub");
    write_file(leftover, "partial");
    write_file("b.gz.tmp", "the player's");
    write_file("sub/b.gz.x", "kept");
    write_file("keep.txt", "kept");

    EXPECT_TRUE(process_recovery(run));
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists("b.gz.tmp"));
    EXPECT_TRUE(fs::exists("sub/b.gz.x"));
    EXPECT_TRUE(fs::exists("keep.txt"));
    EXPECT_EQ(run.walk_pattern, "*.*");
    EXPECT_TRUE(log_has_run({"----------------------------------",
                             std::string("1) ") + leftover, "2) b.gz.tmp",
                             "----------------------------------"}));
    EXPECT_TRUE(log_has("process_recovery  [LAST SESSION HAS CRASHED]"));
    EXPECT_TRUE(log_has(std::string("clean_temp_files_from_last_crash  [") + leftover + "  SUCCESS]"));
    EXPECT_TRUE(log_has("process_recovery  [clean_temp_files_from_last_crash  SUCCESS]"));
}

// The player's own "*.gz" and "*.gz.*" files look like leftovers to the
// walk; only names a download leaves may go.
TEST_F(Recovery, ThePlayersGzFilesStayOnlyDownloadsAndFilesBeingPlacedGo) {
    run.placed.clear();
    run.placed.add_file("data\\world.map");
    write_file("saves.gz", "the player's saves");
    write_file("notes.gz.old", "the player's notes");
    write_file("photo.gz.0123456789abcdef0123456789abcdeX", "not a digest");
    write_file("world.map.gz", "compressed copy being placed");
    write_file(leftover, "partial");

    EXPECT_TRUE(process_recovery(run));
    EXPECT_EQ(quill_test::read_file("saves.gz"), "the player's saves");
    EXPECT_EQ(quill_test::read_file("notes.gz.old"), "the player's notes");
    EXPECT_TRUE(fs::exists("photo.gz.0123456789abcdef0123456789abcdeX"));
    EXPECT_FALSE(fs::exists("world.map.gz"));
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(log_has("process_recovery  [KEPT, NOT LEFT BY AN INTERRUPTED DOWNLOAD : saves.gz]"));
    EXPECT_TRUE(log_has("process_recovery  [KEPT, NOT LEFT BY AN INTERRUPTED DOWNLOAD : notes.gz.old]"));

    // With nothing of the updater's among them the last session ended well.
    EXPECT_TRUE(process_recovery(run));
    EXPECT_TRUE(log_has("process_recovery  [LAST SESSION ENDED NORMALLY]"));
    EXPECT_TRUE(fs::exists("saves.gz"));
    run.placed.clear();
}

TEST_F(Recovery, ATreeWithoutLeftoversEndedNormally) {
    fs::create_directories("sub");
    write_file("sub/b.gz.x", "kept");
    write_file("keep.txt", "kept");
    EXPECT_TRUE(process_recovery(run));
    EXPECT_TRUE(fs::exists("sub/b.gz.x"));
    EXPECT_TRUE(log_has("process_recovery  [LAST SESSION ENDED NORMALLY]"));
    EXPECT_EQ(run.walk_pattern, "*.*");
}

TEST_F(Recovery, CleaningReportsAnEmptyMapAndAFileThatWouldNotGo) {
    EXPECT_FALSE(clean_temp_files_from_last_crash(run, name_map_C()));
    EXPECT_TRUE(log_has("clean_temp_files_from_last_crash  [ERROR : MAP EMPTY, ABANDON CLEAN]"));

    name_map_C names = {{"gone.gz.1", 0}, {"folder.gz.2", 1}};
    EXPECT_FALSE(clean_temp_files_from_last_crash(run, names));
    EXPECT_TRUE(log_has("clean_temp_files_from_last_crash  [FAILED with file : gone.gz.1]"));
}

} // namespace
