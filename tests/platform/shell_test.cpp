#include "quill/platform/shell.h"

#include <gtest/gtest.h>

#include <string>

#include "support/programs.h"
#include "support/scratch_dir.h"

using quill_test::read_file;

namespace {

// Starts the recorder installed under name and returns what it recorded.
std::string round_trip(const std::string& name, const std::string& parameters) {
    EXPECT_TRUE(qp::start_program(name.c_str(), parameters.c_str()));
    return quill_test::recorded_parameters("parameters.txt", 30000);
}

} // namespace

TEST(StartProgram, PassesTheParameterStringByteForByte) {
    quill_test::ScratchDir scratch;
    quill_test::install_program(quill_test::recorder_program(), "next.exe");
    const std::string parameters =
        "1.0.7  \"quoted text\" 'single' back\\slash\\\\ \"unbalanced tab\there "
        "버전";
    EXPECT_EQ(parameters, round_trip("next.exe", parameters));
}

TEST(StartProgram, NameWithBlanksAndEmptyParameters) {
    quill_test::ScratchDir scratch;
    quill_test::install_program(quill_test::recorder_program(), "next program.exe");
    EXPECT_EQ("", round_trip("next program.exe", ""));
}

TEST(StartProgram, BareNameMeansTheCurrentDirectoryNotTheRunningProgramsFolder) {
    // A different program of the same name lies beside this test program.
    quill_test::ScratchDir scratch;
    const std::string name = quill_test::program_file_name("quill-serverlist");
    quill_test::install_program(quill_test::recorder_program(), name);
    EXPECT_EQ("x  y", round_trip(name, "x  y"));
}

TEST(StartProgram, MissingProgramIsReported) {
    quill_test::ScratchDir scratch;
    EXPECT_FALSE(qp::start_program("missing.exe", "x"));
}

#ifndef _WIN32
// Windows hands a program its command line as one text; elsewhere a caller
// may split it into arguments, which are joined with single blanks.
TEST(CommandLineParameters, ArgumentsAreJoinedWithSingleBlanks) {
    char program[] = "QuillLauncher.exe", first[] = "1.0", second[] = "two  blanks", empty[] = "";
    char* argv[] = {program, first, second, empty, nullptr};
    EXPECT_EQ("1.0 two  blanks ", qp::command_line_parameters(4, argv));
    EXPECT_EQ("", qp::command_line_parameters(1, argv));
}
#endif
