// The whole updater program against real FTP mirrors: an installation
// folder with its "ver_C", mirrors written by quill-publish, and a stand-in
// "ClientApp.exe" in the published tree that records the command line it
// was started with. With a display the program shows its real window (the
// dialog under Wine, GTK on Linux); without one the Linux build shows the
// run on the terminal, and the Windows tests skip: the dialog needs a
// display.
#ifndef QUILL_TESTS_UPDATE_APP_UPDATER_PROGRAM_FIXTURE_H
#define QUILL_TESTS_UPDATE_APP_UPDATER_PROGRAM_FIXTURE_H

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "quill/platform/child_process.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"
#include "quill/platform/shell.h"
#include "support/ftp_server.h"
#include "support/programs.h"
#include "support/scratch_dir.h"

namespace updater_test {

namespace fs = std::filesystem;
using quill_test::read_file;
using quill_test::write_file;

using quill_test::set_environment;
std::string program(const std::string& name);
// Runs a program of the build in folder and returns its exit code. The
// parameters are a command line of several arguments, with double quotes
// around those that hold blanks.
int run_in(const std::string& folder, const std::string& name, const std::string& parameters);
using quill_test::incompressible;
// A download in progress: the compressed file lands in the root under its
// listing name ("name.gz." and the digest) before it is placed.
bool download_in_progress(const std::string& folder);
std::string quoted(const std::string& path);

// The player's own files: at the root, in a game folder and in a folder of
// their own.
extern const std::vector<std::pair<std::string, std::string>> players_files;
void put_players_files();
void expect_players_files(const char* when);
// Every file below folder with its content, but the updater's working
// files, which each run writes anew.
std::vector<std::pair<std::string, std::string>> snapshot(const std::string& folder);

class UpdaterProgram : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        if (!getenv("DISPLAY"))
            GTEST_SKIP() << "the updater's dialog needs a display (DISPLAY is not set)";
#endif
        set_environment("QUILL_TEST_INSTANT_SLEEP", "1");
        fs::create_directories("install");
        fs::create_directories("source");
    }

    // The tree of one version: every file in source/ is replaced.
    void make_source(const std::vector<std::pair<std::string, std::string>>& files) {
        fs::remove_all("source");
        fs::create_directories("source");
        for (const auto& file : files) {
            const fs::path path = fs::path("source") / file.first;
            fs::create_directories(path.parent_path());
            write_file(path.string(), file.second);
        }
        fs::copy_file(quill_test::recorder_program(), "source/ClientApp.exe");
    }

    void publish(const std::string& version, const std::string& mirror_folder) {
        fs::remove_all(mirror_folder);
        ASSERT_EQ(0, run_in(".", "quill-publish",
                            "--version " + quoted(version) + " source " + mirror_folder));
    }

    // The installation's "ver_C" naming these mirrors, in this order.
    void write_server_list(const std::vector<std::string>& names) {
        std::string text = "quill\n" + std::to_string(names.size()) + "\n";
        for (const std::string& name : names)
            text += name + " / anonymous guest\n";
        write_file("servers.txt", text);
        ASSERT_EQ(0, run_in(".", "quill-serverlist", "encode servers.txt install/ver_C"));
    }

    int run_updater() {
        const std::string previous = qp::current_directory();
        qp::set_current_directory("install");
        const int code = qp::run_program(program(updater_).c_str(), "");
        qp::set_current_directory(previous.c_str());
        return code;
    }

    // The updater in the background, to be stopped half-way.
    qp::ChildHandle start_updater() {
        qp::set_current_directory("install");
        qp::ChildHandle run = qp::child_start(program(updater_).c_str(), "");
        qp::set_current_directory("..");
        return run;
    }

    std::string report() const { return quill_test::read_text_file("install/report.txt"); }
    bool reported(const std::string& line) const {
        return ("\n" + report()).find("\n" + line + "\n") != std::string::npos;
    }
    // The command line the stand-in game client was started with, or
    // "(not started)".
    std::string client_command_line() const {
        return quill_test::recorded_parameters("install/parameters.txt", 10000);
    }
    bool client_started_soon() const {
        return quill_test::wait_for_file("install/parameters.txt", 2000);
    }

    quill_test::ScratchDir scratch;
    // The updater program the runs start.
    std::string updater_ = "QuillUpdate";
};

} // namespace updater_test

#endif
