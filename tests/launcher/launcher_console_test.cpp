#include "launcher_console.h"
#include "launcher_log.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "support/test_clock.h"
#include "recording_shell.h"

namespace {

class LauncherConsole : public ::testing::Test {
protected:
    LauncherConsole() : clock_in_force(&clock) {
        settings.launcher_page = "http://127.0.0.1:8000/launcher/";
        settings.home_page = "http://127.0.0.1:8000/home/";
    }
    // The log was opened in this test's folder; the next test starts its own.
    ~LauncherConsole() override { launcher_log_close(); }

    // Runs the console with the typed text; returns what it printed.
    std::string run(const std::string& typed, int autostart_ms = -1) {
        FILE* in = tmpfile();
        FILE* out = tmpfile();
        fputs(typed.c_str(), in);
        rewind(in);
        run_launcher_console(settings, shell, kCommandLine, in, out, autostart_ms);
        std::string printed;
        rewind(out);
        for (int c; (c = fgetc(out)) != EOF;)
            printed += static_cast<char>(c);
        fclose(in);
        fclose(out);
        return printed;
    }

    const std::string kCommandLine = "1.1 \"two words\" \\x";
    quill_test::ScratchDir scratch; // the launcher log goes here
    quill_test::TestClock clock;
    quill_test::ClockInForce clock_in_force;
    launcher_settings settings;
    RecordingShell shell;
};

TEST_F(LauncherConsole, HomePageStaysAndStartEndsWithTheCommandLineUnchanged) {
    const std::string printed = run("2\n h\nwhat\n1\n3\n");
    EXPECT_EQ(shell.opened, (std::vector<std::string>(2, "http://127.0.0.1:8000/home/")));
    EXPECT_EQ(shell.started, (std::vector<std::string>{"RealClientApp.EXE|" + kCommandLine}));
    EXPECT_NE(printed.find("http://127.0.0.1:8000/launcher/"), std::string::npos);
}

TEST_F(LauncherConsole, QuitOrTheEndOfInputStartsNothing) {
    run("q\n1\n");
    run("2\n");
    EXPECT_TRUE(shell.started.empty());
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(LauncherConsole, AutomaticStartWaitsTheDelayAndReadsNothing) {
    const uint32_t before = clock.tick_count();
    run("3\n", 1500);
    EXPECT_EQ(clock.tick_count() - before, 1500u);
    EXPECT_EQ(shell.started, (std::vector<std::string>{"RealClientApp.EXE|" + kCommandLine}));
}

} // namespace
