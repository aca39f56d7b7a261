// The launcher program itself, started as the bootstrap starts it, in a
// scratch installation folder with a stand-in game client. Needs a display.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "quill/platform/clock.h"
#include "quill/platform/shell.h"
#include "support/programs.h"
#include "support/scratch_dir.h"

namespace {

#ifdef _WIN32
const char* const kSuffix = ".exe";
#else
const char* const kSuffix = "";
#endif

using quill_test::set_environment;

class LauncherProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!getenv("DISPLAY") || !*getenv("DISPLAY"))
            GTEST_SKIP() << "no display for the launcher window";
        launcher_ = std::string("QuillLauncher") + kSuffix;
        quill_test::install_program(QUILL_LAUNCHER_PROGRAM, launcher_);
        quill_test::install_program(quill_test::recorder_program(), "RealClientApp.EXE");
        // Nothing listens on the discard port: the page fails at once.
        quill_test::write_file("launcher.cfg",
                               "launcher_page=http://127.0.0.1:9/launcher/\n"
                               "home_page=http://127.0.0.1:9/\n");
        // The window libraries keep allocations to the end of a process;
        // the launcher's own leaks are the unit tests' business.
        set_environment("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
    }
    void TearDown() override {
        set_environment("QUILL_TEST_LAUNCHER_CLICKS", "");
        set_environment("QUILL_TEST_MESSAGE_BOX_MS", "");
    }

    // The launcher's log once it has ended, or "" after the time-out.
    std::string wait_for_end(unsigned timeout_ms) {
        qp::Clock& real = qp::system_clock();
        const uint32_t start = real.tick_count();
        do {
            const std::string log = quill_test::read_text_file("report_launcher.txt");
            if (log.find("launcher closed\n") != std::string::npos)
                return log;
            real.sleep(50);
        } while (real.tick_count() - start < timeout_ms);
        return std::string();
    }

    quill_test::ScratchDir scratch_;
    std::string launcher_;
};

TEST_F(LauncherProgram, StartButtonHandsTheCommandLineOnUnchanged) {
    const std::string command_line =
        "1.0.42 \"C:\\Program Files\\Quill\" 'single' a\\\"b  two  blanks \"\" 끝";
    set_environment("QUILL_TEST_LAUNCHER_CLICKS", "100,370");
    ASSERT_TRUE(qp::start_program(launcher_.c_str(), command_line.c_str()));

    EXPECT_EQ(command_line, quill_test::recorded_parameters("parameters.txt", 60000));
    const std::string log = wait_for_end(30000);
    ASSERT_FALSE(log.empty()) << "the launcher did not end after the start button";
    EXPECT_NE(std::string::npos, log.find("launcher window opened"));
    EXPECT_NE(std::string::npos, log.find("start RealClientApp.EXE " + command_line));
}

TEST_F(LauncherProgram, QuitButtonEndsWithoutStartingTheGame) {
    // Pointer over the picture, a drag, the strip outside the buttons, then quit.
    set_environment("QUILL_TEST_LAUNCHER_CLICKS", "100,50;470,370;400,370");
    ASSERT_TRUE(qp::start_program(launcher_.c_str(), "1.0.42"));
    const std::string log = wait_for_end(60000);
    ASSERT_FALSE(log.empty()) << "the launcher did not end after the quit button";
    EXPECT_NE(std::string::npos, log.find("launcher window opened"));
    // The page comes from the launcher.cfg beside the program.
    EXPECT_NE(std::string::npos, log.find("launcher page: http://127.0.0.1:9/launcher/\n"));
    EXPECT_FALSE(quill_test::wait_for_file("parameters.txt", 500));
}

TEST_F(LauncherProgram, EmptyCommandLineShowsTheMessageAndNoWindow) {
    set_environment("QUILL_TEST_MESSAGE_BOX_MS", "300");
    ASSERT_TRUE(qp::start_program(launcher_.c_str(), ""));
    const std::string log = wait_for_end(60000);
    ASSERT_FALSE(log.empty()) << "the launcher did not end after its message";
    EXPECT_NE(std::string::npos, log.find("SurePatch를 사용하여 실행시켜 주십시요"));
    EXPECT_EQ(std::string::npos, log.find("launcher window opened"));
    EXPECT_FALSE(quill_test::wait_for_file("parameters.txt", 500));
}

#ifndef _WIN32
// Windows always has a desktop; elsewhere a missing display is a failure
// the launcher must report, not hide.
TEST(LauncherWithoutDisplay, FailsWithAReason) {
    quill_test::ScratchDir scratch;
    const std::string launcher = "QuillLauncher";
    quill_test::install_program(QUILL_LAUNCHER_PROGRAM, launcher);
    quill_test::install_program(quill_test::recorder_program(), "RealClientApp.EXE");
    set_environment("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
    const char* display = getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const int code = qp::run_program(launcher.c_str(), "1.0.42");
    if (!saved.empty())
        setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(1, code);
    const std::string log = quill_test::read_text_file("report_launcher.txt");
    EXPECT_NE(std::string::npos, log.find("no display to show the launcher window on\n"));
    EXPECT_NE(std::string::npos, log.find("launcher closed\n"));
    EXPECT_FALSE(quill_test::wait_for_file("parameters.txt", 200));
}
#endif

} // namespace
