// The run shown in the real window. Needs a display; skipped without one.
#include <stdlib.h>

#include <string>
#include <vector>

#include "bootstrap/bootstrap_fixture.h"
#include "bootstrap/bootstrap_window_C.h"
#include "quill/platform/ui_bootstrap.h"
#include "support/scratch_dir.h"

#if defined(__SANITIZE_ADDRESS__)
// GTK and the libraries below it keep caches for the life of the process.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libdbus-1.so\nleak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\nleak:libgtk-3.so\nleak:libgdk-3.so\n"
           "leak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libcairo.so\n"
           "leak:libgdk_pixbuf-2.0.so\n";
}
#endif

using quill_test::write_file;

namespace {

class BootstrapWindow : public BootstrapTest {
protected:
    void SetUp() override {
        if (!getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
    }

    // Reads the status line off the window at the first pause of the run
    // and again after some more of its time.
    void look_twice(uint32_t later_ms) {
        clock.set_alarm(1, [this, later_ms] {
            seen.push_back(qp::system_bootstrap_window().status());
            clock.set_alarm(later_ms,
                            [this] { seen.push_back(qp::system_bootstrap_window().status()); });
        });
    }

    std::vector<std::string> seen;
};

} // namespace

TEST_F(BootstrapWindow, FailedSwapBlinksInTheWindowAndStartsNothing) {
    write_file("QuillNewUpdate.exe", "new updater");
    look_twice(500 * 10);
    ASSERT_TRUE(run_bootstrap_in_window("1.0 x"));
    EXPECT_EQ((std::vector<std::string>{"Initialize..", "UPDATE OF SURE_PATCH FAILED !!"}), seen);
    EXPECT_EQ("", qp::system_bootstrap_window().status()) << "the window closed itself";
    EXPECT_EQ("(not started)", launcher_parameters(1000));
}

TEST_F(BootstrapWindow, SwapSweepsTheLampAndStartsTheLauncher) {
    write_file("QuillUpdate.exe", "old updater");
    write_file("QuillNewUpdate.exe", "new updater");
    look_twice(1000);
    const std::string command_line = "2.0  \"a b\"";
    ASSERT_TRUE(run_bootstrap_in_window(command_line));
    EXPECT_EQ((std::vector<std::string>{"- UPDATE OF SURE_PATCH SUCCESS -",
                                        "- UPDATE OF SURE_PATCH SUCCESS -"}),
              seen);
    EXPECT_EQ(208u * 5, clock.slept());
    EXPECT_EQ(command_line, launcher_parameters());
    EXPECT_EQ("new updater", quill_test::read_file("QuillUpdate.exe"));
}
