// The bootstrap program itself, run with the console front-end and sleeps
// that pass at once.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "quill/platform/shell.h"
#include "support/programs.h"
#include "support/scratch_dir.h"

namespace fs = std::filesystem;
using quill_test::read_file;
using quill_test::write_file;

namespace {

using quill_test::set_environment;

class BootstrapProgram : public ::testing::Test {
protected:
    BootstrapProgram() {
        set_environment("QUILL_UI", "console");
        set_environment("QUILL_TEST_INSTANT_SLEEP", "1");
        quill_test::install_program(quill_test::recorder_program(), "QuillLauncher.exe");
    }

    int run(const std::string& command_line) {
        return qp::run_program(program_.c_str(), command_line.c_str());
    }

    quill_test::ScratchDir scratch;

private:
    const std::string program_ =
        quill_test::build_program(quill_test::program_file_name("QuillUpdate_bootstrap"));
};

} // namespace

TEST_F(BootstrapProgram, EmptyCommandLineOnlyWarns) {
    write_file("QuillNewUpdate.exe", "new updater");
    EXPECT_EQ(0, run(""));
    EXPECT_FALSE(fs::exists("report_rescue.txt"));
    EXPECT_FALSE(fs::exists("log_safe_string.txt"));
    EXPECT_FALSE(quill_test::wait_for_file("parameters.txt", 1000));
}

TEST_F(BootstrapProgram, SwapsARealUpdaterAndHandsTheCommandLineOn) {
    write_file("QuillUpdate.exe", "an older updater");
    // Any working program will do as the new updater: the recorder.
    quill_test::install_program(quill_test::recorder_program(), "QuillNewUpdate.exe");
    const std::string command_line = "1.2.3  \"two  words\" '\\'";

    EXPECT_EQ(1, run(command_line));
    ASSERT_TRUE(quill_test::wait_for_file("parameters.txt", 30000));
    EXPECT_EQ(command_line, read_file("parameters.txt"));
    EXPECT_EQ(read_file("QuillNewUpdate.exe"), read_file("QuillUpdate.exe"));
    EXPECT_NE(std::string::npos,
              read_file("report_rescue.txt")
                  .find("do_client_update_update [copy_one_local_file(QuillNewUpdate.exe,"
                        "QuillUpdate.exe) SUCCEEDED AFTER 0 TICKS]"));

    // The swapped-in updater runs.
    fs::remove("parameters.txt");
    EXPECT_EQ(0, qp::run_program("QuillUpdate.exe", "swapped"));
    EXPECT_EQ("swapped", read_file("parameters.txt"));
}
