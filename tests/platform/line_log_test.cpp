#include "quill/platform/line_log.h"

#include <gtest/gtest.h>

#include <stdarg.h>
#include <stdio.h>

#include <string>

#include "support/scratch_dir.h"

using quill_test::read_text_file;
using quill_test::ScratchDir;

namespace {

TEST(FormatText, ValuesOfAnyLengthComeOutWhole) {
    EXPECT_EQ("( 3 / 12 )", qp::format_text("( %d / %d )", 3, 12));
    const std::string long_value(5000, 'v');
    const std::string text = qp::format_text("[%s] %d", long_value.c_str(), 7);
    EXPECT_EQ("[" + long_value + "] 7", text);
    EXPECT_EQ("", qp::format_text("%s", ""));
}

void print_to(FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    qp::print_line_v(stream, "tool: ", format, arguments);
    va_end(arguments);
}

TEST(PrintLine, PrefixTextAndLineFeedReachTheStreamAtOnce) {
    ScratchDir scratch;
    FILE* stream = fopen("console.txt", "wb");
    ASSERT_NE(stream, nullptr);
    print_to(stream, "listening on %d", 4000);
    // Flushed: another reader sees the line while the stream stays open.
    EXPECT_EQ("tool: listening on 4000\n", quill_test::read_file("console.txt"));
    print_to(stream, "%s", std::string(3000, 'x').c_str());
    fclose(stream);
    EXPECT_EQ("tool: listening on 4000\ntool: " + std::string(3000, 'x') + "\n",
              quill_test::read_file("console.txt"));
}

TEST(LineLog, LinesAreWrittenWholeAfreshOrAfterWhatIsThere) {
    ScratchDir scratch;
    qp::LineLog log;
    EXPECT_FALSE(log.write_line("not open"));
    ASSERT_TRUE(log.open("log.txt", qp::LineLog::Start::afresh));
    EXPECT_TRUE(log.write_line("first"));
    EXPECT_TRUE(log.write_ended_line("second\n", 7));
    const std::string wide(3000, 'w'); // past the one-write buffer
    EXPECT_TRUE(log.write_line(wide));
    EXPECT_TRUE(log.write_line(""));
    log.close();
    EXPECT_FALSE(log.is_open());
    EXPECT_EQ("first\nsecond\n" + wide + "\n\n", read_text_file("log.txt"));

    ASSERT_TRUE(log.open("log.txt", qp::LineLog::Start::after_what_is_there));
    log.write_line("third");
    log.close();
    EXPECT_EQ("first\nsecond\n" + wide + "\n\nthird\n", read_text_file("log.txt"));

    ASSERT_TRUE(log.open("log.txt", qp::LineLog::Start::afresh));
    log.write_line("alone");
    log.close();
    EXPECT_EQ("alone\n", read_text_file("log.txt"));
    EXPECT_FALSE(log.open("missing-folder\\log.txt", qp::LineLog::Start::afresh));
}

} // namespace
