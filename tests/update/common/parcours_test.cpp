#include "common/parcours.h"

#include <filesystem>

#include "quill/platform/file.h"
#include "support/scratch_dir.h"
#include "update/common/updater_fixture.h"

namespace fs = std::filesystem;
using quill_test::write_file;

namespace {

class Walk : public UpdaterTest {
protected:
    std::string at(const std::string& relative) const { return run.root_path + "\\" + relative; }
};

TEST_F(Walk, WholeTreeWithRelativeNamesAndFolderFlags) {
    ASSERT_TRUE(qp::create_directory("sub"));
    ASSERT_TRUE(qp::create_directory("sub\\deep"));
    ASSERT_TRUE(qp::create_directory("empty"));
    write_file("a.txt", "x");
    write_file("sub/b.txt", "x");
    write_file("sub/deep/c", "x");
    name_map_C names;
    ASSERT_TRUE(parcours_recursif_local(run, run.root_path, names));
    // The log is in the tree too: the walk sees what is there.
    EXPECT_EQ(names, (name_map_C{{"a.txt", 0},
                                 {"empty", 1},
                                 {"report.txt", 0},
                                 {"sub", 1},
                                 {"sub\\b.txt", 0},
                                 {"sub\\deep", 1},
                                 {"sub\\deep\\c", 0}}));
    EXPECT_TRUE(log_has("parcours_recursif_local    [OUT 2]"));
}

TEST_F(Walk, EmptyFolderAddsNothing) {
    ASSERT_TRUE(qp::create_directory("empty"));
    name_map_C names;
    std::vector<std::string> subdirectories;
    EXPECT_EQ(parcours_local(run, at("empty"), subdirectories, names), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(subdirectories.empty());
    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{"parcours_local  [IN]", "parcours_local  [OUT 2]"}));
}

TEST_F(Walk, MissingFolderIsAnError) {
    name_map_C names;
    std::vector<std::string> subdirectories;
    EXPECT_EQ(parcours_local(run, at("missing"), subdirectories, names), -1);
    EXPECT_TRUE(log_has_run({"parcours_local  [OUT 4]", "parcours_local  [OUT 1]"}));
    EXPECT_FALSE(parcours_recursif_local(run, at("missing"), names));
    EXPECT_TRUE(log_has_run(
        {"parcours_recursif_local   [ERROR OCCURED]", "parcours_recursif_local    [OUT 1]"}));
    EXPECT_TRUE(names.empty());
}

TEST_F(Walk, KnownEntriesKeepTheirFlag) {
    write_file("a.txt", "x");
    name_map_C names{{"a.txt", 1}};
    std::vector<std::string> subdirectories;
    EXPECT_EQ(parcours_local(run, run.root_path, subdirectories, names), 0);
    EXPECT_EQ(names["a.txt"], 1);
}

TEST_F(Walk, RecoveryPatternDescendsOnlyIntoMatchingFolders) {
    run.walk_pattern = "*.gz.*";
    ASSERT_TRUE(qp::create_directory("data"));
    ASSERT_TRUE(qp::create_directory("pack.gz.d"));
    ASSERT_TRUE(qp::create_directory("nothing"));
    write_file("x.gz.1", "x");
    write_file("plain.txt", "x");
    write_file("data/y.gz.2", "x");
    write_file("pack.gz.d/z.gz.3", "x");
    name_map_C names;
    ASSERT_TRUE(parcours_recursif_local(run, run.root_path, names));
    EXPECT_EQ(names, (name_map_C{{"pack.gz.d", 1}, {"pack.gz.d\\z.gz.3", 0}, {"x.gz.1", 0}}));

    std::vector<std::string> subdirectories;
    EXPECT_EQ(parcours_local(run, at("nothing"), subdirectories, names), 0);
    EXPECT_TRUE(log_has("parcours_local  [OUT 3]")) << "nothing at all matches there";
}

TEST_F(Walk, LinkedFolderIsListedButNeverEntered) {
    quill_test::ScratchDir outside;
    write_file("secret.txt", "not ours");
    const std::string outside_path = outside.path();
    fs::current_path(scratch.path());

    std::error_code error;
    fs::create_directory_symlink(outside_path, "link", error);
    if (error)
        GTEST_SKIP() << "no folder links here: " << error.message();
    name_map_C names;
    ASSERT_TRUE(parcours_recursif_local(run, run.root_path, names));
    EXPECT_EQ(names.count("link\\secret.txt"), 0u);
    EXPECT_EQ(names.count("link"), 1u);
    EXPECT_TRUE(log_has("parcours_local  [LINK NOT FOLLOWED : " + at("link") + "]"));
    fs::remove(fs::path(scratch.path()) / "link");
}

} // namespace
