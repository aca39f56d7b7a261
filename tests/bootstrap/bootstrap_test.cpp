#include <filesystem>
#include <string>
#include <vector>

#include "bootstrap/bootstrap_files.h"
#include "bootstrap/bootstrap_fixture.h"
#include "bootstrap/bootstrap_run.h"
#include "bootstrap/do_client_update_update.h"
#include "quill/platform/file.h"

namespace fs = std::filesystem;
using quill_test::read_file;
using quill_test::write_file;

namespace {

// A command line with what a careless pass-on would spoil: runs of blanks,
// quotes of both kinds, backslashes and a tab.
const std::string kCommandLine = "1.0.37  \"C:\\Program Files\\Quill\" 'x'\ty \\\\";

// Keeps a file from being deleted until released. On Windows an open
// handle that does not share deletion does it, as a running program or a
// scanner would; elsewhere an open file can always be deleted, so a folder
// stands in the file's place meanwhile.
class DeletionLock {
public:
    explicit DeletionLock(const std::string& name) : name_(name) {
#ifdef _WIN32
        handle_ = qp::file_open_read(name.c_str());
        EXPECT_NE(handle_, qp::kInvalidFile);
#else
        fs::rename(name_, name_ + ".aside");
        fs::create_directory(name_);
        write_file(name_ + "/inside", "x");
#endif
    }
    ~DeletionLock() { release(); }

    void release() {
        if (released_)
            return;
        released_ = true;
#ifdef _WIN32
        qp::file_close(handle_);
#else
        fs::remove_all(name_);
        fs::rename(name_ + ".aside", name_);
#endif
    }

private:
    std::string name_;
    bool released_ = false;
#ifdef _WIN32
    qp::FileHandle handle_;
#endif
};

std::vector<lamp_colour_C> blinking() {
    std::vector<lamp_colour_C> lamps;
    for (int i = 0; i < 10; ++i) {
        lamps.push_back(lamp_error);
        lamps.push_back(lamp_idle);
    }
    return lamps;
}

} // namespace

using BootstrapRun = BootstrapTest;

TEST_F(BootstrapRun, WithoutNewUpdaterStartsTheLauncherAtOnce) {
    write_file("QuillUpdate.exe", "old updater");
    EXPECT_TRUE(run_bootstrap(shown, kCommandLine));
    EXPECT_EQ(kCommandLine, launcher_parameters());
    EXPECT_EQ(std::vector<std::string>{"Initialize.."}, shown.status_texts);
    EXPECT_TRUE(shown.lamps.empty());
    EXPECT_EQ(0u, clock.slept());
    EXPECT_FALSE(g_replacement_begun);
    EXPECT_EQ("old updater", read_file("QuillUpdate.exe"));
    // Both logs are made in the working directory; only one is written.
    EXPECT_TRUE(fs::exists("log_safe_string.txt"));
    EXPECT_EQ(0u, fs::file_size("log_safe_string.txt"));
    EXPECT_TRUE(log_has("[THE FILE : QuillNewUpdate.exe  DOESN'T EXISTS OR CAN'T BE FOUND]"));
}

TEST_F(BootstrapRun, IdenticalExecutablesAreLeftAlone) {
    write_file("QuillUpdate.exe", "the same updater");
    write_file("QuillNewUpdate.exe", "the same updater");
    EXPECT_TRUE(run_bootstrap(shown, kCommandLine));
    EXPECT_EQ(kCommandLine, launcher_parameters());
    EXPECT_FALSE(g_replacement_begun);
    EXPECT_EQ(std::vector<std::string>{"Initialize.."}, shown.status_texts);
    EXPECT_TRUE(log_lines().empty());
    EXPECT_EQ("the same updater", read_file("QuillUpdate.exe"));
    EXPECT_EQ("the same updater", read_file("QuillNewUpdate.exe"));
}

TEST_F(BootstrapRun, MissingUpdaterFailsAfter500DeletionsAndStartsNothing) {
    write_file("QuillNewUpdate.exe", "new updater");
    EXPECT_FALSE(run_bootstrap(shown, kCommandLine));

    EXPECT_TRUE(g_replacement_begun);
    EXPECT_EQ(500, log_count("delete_one_local_file(QuillUpdate.exe) [FILE_DOESNT_EXIST]"));
    EXPECT_EQ(500, log_count("do_client_update_update   [delete_one_local_file(QuillUpdate.exe)  "
                             "FAILED, TRYING AGAIN..]"));
    EXPECT_EQ("do_client_update_update  [MAJOR FAILURE : DEFINITIVELY CAN'T DELETE QuillUpdate.exe]",
              log_lines().back());
    EXPECT_FALSE(log_has("copy_one_local_file(QuillNewUpdate.exe,QuillUpdate.exe)"));

    EXPECT_EQ((std::vector<std::string>{"Initialize..", "UPDATE OF SURE_PATCH FAILED !!"}),
              shown.status_texts);
    std::vector<lamp_colour_C> lamps{lamp_idle};
    const std::vector<lamp_colour_C> blinks = blinking();
    lamps.insert(lamps.end(), blinks.begin(), blinks.end());
    EXPECT_EQ(lamps, shown.lamps);
    // 500 pauses of 10 ms, then five one-second blinks.
    EXPECT_EQ(500u * 10 + 5000, clock.slept());

    EXPECT_EQ("new updater", read_file("QuillNewUpdate.exe"));
    EXPECT_FALSE(fs::exists("QuillUpdate.exe"));
    EXPECT_EQ("(not started)", launcher_parameters(2000));
}

TEST_F(BootstrapRun, LockedUpdaterIsDeletedOnceReleased) {
    write_file("QuillUpdate.exe", "old updater");
    write_file("QuillNewUpdate.exe", "new updater");
    DeletionLock lock("QuillUpdate.exe");
    clock.set_alarm(2000, [&lock] { lock.release(); });

    EXPECT_TRUE(run_bootstrap(shown, kCommandLine));

    EXPECT_EQ(200, log_count("do_client_update_update   [delete_one_local_file(QuillUpdate.exe)  "
                             "FAILED, TRYING AGAIN..]"));
    EXPECT_TRUE(log_has(
        "do_client_update_update  [the file : QuillUpdate.exe : WAS DELETED AFTER 200 TICKS]"));
#ifdef _WIN32
    EXPECT_EQ(200, log_count("delete_one_local_file(QuillUpdate.exe)  [FAILED]"));
    EXPECT_EQ(200, log_count("GetLastError => 32")) << "a sharing violation";
#endif
    EXPECT_TRUE(log_has("do_client_update_update [copy_one_local_file(QuillNewUpdate.exe,"
                        "QuillUpdate.exe) SUCCEEDED AFTER 0 TICKS]"));
    EXPECT_EQ("new updater", read_file("QuillUpdate.exe"));
    EXPECT_EQ("new updater", read_file("QuillNewUpdate.exe"));
    EXPECT_FALSE(fs::exists(bootstrap::staging_name("QuillUpdate.exe")));

    EXPECT_EQ((std::vector<std::string>{"Initialize..", "- UPDATE OF SURE_PATCH SUCCESS -"}),
              shown.status_texts);
    // Grey, then the sweep: blue with green rising 0..250 for red 0..70.
    ASSERT_EQ(1u + 8 * 26, shown.lamps.size());
    EXPECT_EQ(lamp_idle, shown.lamps[0]);
    EXPECT_EQ((lamp_colour_C{0, 0, 255}), shown.lamps[1]);
    EXPECT_EQ((lamp_colour_C{0, 250, 255}), shown.lamps[26]);
    EXPECT_EQ((lamp_colour_C{10, 0, 255}), shown.lamps[27]);
    EXPECT_EQ((lamp_colour_C{70, 250, 255}), shown.lamps.back());
    EXPECT_EQ(2000u + 208 * 5, clock.slept());
    EXPECT_EQ(kCommandLine, launcher_parameters());
}

TEST_F(BootstrapRun, LeftoverOfACrashedCopyIsReplacedByAWholeCopy) {
    write_file("QuillUpdate.exe", "old updater");
    write_file("QuillNewUpdate.exe", "the whole new updater");
    write_file(bootstrap::staging_name("QuillUpdate.exe"), "the wh");
    EXPECT_TRUE(run_bootstrap(shown, kCommandLine));
    EXPECT_EQ("the whole new updater", read_file("QuillUpdate.exe"));
    EXPECT_FALSE(fs::exists(bootstrap::staging_name("QuillUpdate.exe")));
    EXPECT_EQ(kCommandLine, launcher_parameters());
}

TEST_F(BootstrapRun, CopyThatCannotBeMadeLeavesNoHalfUpdater) {
    write_file("QuillUpdate.exe", "old updater");
    write_file("QuillNewUpdate.exe", "new updater");
    // Something that is no file blocks the staging name for good.
    const std::string staging = bootstrap::staging_name("QuillUpdate.exe");
    ASSERT_TRUE(qp::create_directory(staging.c_str()));
    write_file(staging + "/inside", "x");

    EXPECT_FALSE(run_bootstrap(shown, kCommandLine));

    const std::string copy = "copy_one_local_file(QuillNewUpdate.exe,QuillUpdate.exe)";
    EXPECT_EQ(50, log_count(copy));
    // The failed copy and the destination that never appeared.
    EXPECT_EQ(100, log_count(copy + "  [FAILED]"));
    EXPECT_EQ(50, log_count("do_client_update_update [" + copy + " FAILED]"));
    EXPECT_EQ("do_client_update_update [" + copy + " FAILED DEFINITIVELY]", log_lines().back());
    // Each try polls the destination 1000 times, 25 ms apart.
    EXPECT_EQ(50u * (1000 * 25 + 10) + 5000, clock.slept());
    EXPECT_EQ("UPDATE OF SURE_PATCH FAILED !!", shown.status_texts.back());

    EXPECT_FALSE(fs::exists("QuillUpdate.exe"));
    EXPECT_EQ("new updater", read_file("QuillNewUpdate.exe"));
}
