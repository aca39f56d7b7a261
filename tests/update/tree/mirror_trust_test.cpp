// The staging folder of signed updates: what an interrupted run left there
// goes, and nothing else.
#include <gtest/gtest.h>

#include <filesystem>

#include "../common/updater_fixture.h"
#include "tree/mirror_trust.h"

namespace fs = std::filesystem;
using quill_test::read_file;
using quill_test::write_file;

namespace {

class StagingFolder : public UpdaterTest {
protected:
    ~StagingFolder() override { mirror_trust().reset(); }
};

TEST_F(StagingFolder, AnInterruptedRunsCopiesGoAndTheFolderWithThem) {
    fs::create_directories("ls_staged");
    for (const char* name : {"1", "2.gz", "17.part"})
        write_file(std::string("ls_staged/") + name, "left by a killed run");
    mirror_trust().discard_staged(run);
    EXPECT_FALSE(fs::exists("ls_staged"));
}

TEST_F(StagingFolder, WhatTheUpdaterDidNotStageThereStays) {
    fs::create_directories("ls_staged/sub");
    for (const char* name : {"3", "notes.txt", "12a", "4.gz.old", ".part", "sub/5"})
        write_file(std::string("ls_staged/") + name, name);
    write_file("readme.txt", "the tree");
    mirror_trust().discard_staged(run);
    EXPECT_FALSE(fs::exists("ls_staged/3"));
    for (const char* name : {"notes.txt", "12a", "4.gz.old", ".part", "sub/5"})
        EXPECT_EQ(name, read_file(std::string("ls_staged/") + name)) << name;
    EXPECT_EQ("the tree", read_file("readme.txt"));
}

TEST_F(StagingFolder, AFileOfThatNameIsNoFolderAndStays) {
    write_file("ls_staged", "a player's file");
    mirror_trust().discard_staged(run);
    EXPECT_EQ("a player's file", read_file("ls_staged"));
}

// Without a checked signature there is no publication to go by.
TEST_F(StagingFolder, AnInstalledSignatureThatDoesNotCheckOutCountsForNothing) {
    qp::PublicKey key{};
    mirror_trust().require_signatures_of(key);
    write_file("ls_static.sig", "QUILL MIRROR SIGNATURE 1\npublication 99999999999999\n"
                                "version 1\nlisting 00\nsignature 00\n");
    EXPECT_EQ(0u, mirror_trust().installed_publication(run));
}

} // namespace
