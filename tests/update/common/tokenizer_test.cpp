#include "common/tokenizer.h"

#include "update/common/updater_fixture.h"

namespace {

typedef std::vector<std::string> Tokens;

class Tokenizers : public UpdaterTest {};

TEST_F(Tokenizers, CommasInARowMakeNoEmptyTokenAndCarriageReturnIsCut) {
    Tokens out;
    StringTokenizer(run, "a,,b\r", out, " ,\n");
    EXPECT_EQ(out, (Tokens{"a", "b"}));
}

TEST_F(Tokenizers, TokensWithoutLetterOrDigitAreDropped) {
    Tokens out;
    StringTokenizer(run, "-- x.txt,0 ,\n---- _1_ .\n", out, " ,\n");
    EXPECT_EQ(out, (Tokens{"x.txt", "0", "_1_"}));
}

TEST_F(Tokenizers, BytesAboveAsciiAreNoLetters) {
    Tokens out;
    // A lone lead byte of a double-byte character and a UTF-8 sequence.
    StringTokenizer(run, "\xb0 \xc3\xa9 \xb0z", out, " ");
    EXPECT_EQ(out, (Tokens{"\xb0z"}));
}

TEST_F(Tokenizers, TokensAreAppendedToWhatTheListHolds) {
    Tokens out{"kept"};
    ASSERT_TRUE(tokenize(run, "dir\\a.txt.gz.0123, 1\nb 0\n", 600, out));
    EXPECT_EQ(out, (Tokens{"kept", "dir\\a.txt.gz.0123", "1", "b", "0"}));
}

TEST_F(Tokenizers, EmptyAndDelimiterOnlyTextsGiveNothing) {
    Tokens out;
    EXPECT_TRUE(tokenize(run, "", 600, out));
    EXPECT_TRUE(tokenize(run, " ,\n,, \n", 600, out));
    EXPECT_TRUE(out.empty());
}

TEST_F(Tokenizers, NullTextIsRefusedAndLogged) {
    Tokens out{"x"};
    EXPECT_FALSE(tokenize(run, nullptr, 600, out));
    EXPECT_EQ(out, Tokens{"x"});
    EXPECT_TRUE(log_has("tokenize  [NULL POINTER ENCOUNTERED]"));
}

TEST_F(Tokenizers, TabsAndCarriageReturnsAreNoDelimitersOfTokenize) {
    Tokens out;
    ASSERT_TRUE(tokenize(run, "a\tb c\r\nd", 600, out));
    EXPECT_EQ(out, (Tokens{"a\tb", "c", "d"}));
}

} // namespace
