#include "quill/platform/text.h"

#include <gtest/gtest.h>

namespace {

// 가나다 in UTF-16.
const WCHAR kKorean[] = {0xAC00, 0xB098, 0xB2E4, 0};

TEST(CodePage, KoreanTextCrossesBothWays) {
    // The literal is in the narrow code page of each build.
    const std::string narrow = "가나다";
    EXPECT_EQ(qp::wide_to_narrow(kKorean), narrow);
    EXPECT_EQ(qp::narrow_to_wide(narrow.c_str()), qp::WideString(kKorean));
    EXPECT_EQ(qp::wide_to_narrow(kKorean, 1), "가");
    EXPECT_EQ(qp::narrow_to_wide("ab가", 2), qp::WideString({'a', 'b'}));
}

TEST(CodePage, EmptyNullAndEmbeddedZeros) {
    EXPECT_EQ(qp::wide_to_narrow(nullptr), "");
    EXPECT_EQ(qp::narrow_to_wide(nullptr), qp::WideString());
    EXPECT_EQ(qp::wide_to_narrow(kKorean, 0), "");
    const WCHAR with_zero[] = {'a', 0, 'b'};
    EXPECT_EQ(qp::wide_to_narrow(with_zero, 3), std::string("a\0b", 3));
    EXPECT_EQ(qp::narrow_to_wide("a\0b", 3), qp::WideString(with_zero, 3));
}

// 자료\한글자료.txt as listings and the FTP wire carry it.
const char kListedKoreanPath[] = "\xC0\xDA\xB7\xE1\\\xC7\xD1\xB1\xDB\xC0\xDA\xB7\xE1.txt";

TEST(NameCodePage, KoreanNamesCrossWholeBothWays) {
    // The literal is this system's own form of the name.
    const std::string name = "자료\\한글자료.txt";
    std::string listed;
    ASSERT_TRUE(qp::name_to_cp949(name, &listed));
    EXPECT_EQ(listed, kListedKoreanPath);
    std::string back;
    ASSERT_TRUE(qp::name_from_cp949(listed, &back));
    EXPECT_EQ(back, name);
    // A character of the extended set, whose second byte is an ASCII letter.
    ASSERT_TRUE(qp::name_to_cp949("똠", &listed));
    EXPECT_EQ(listed, "\x8C\x63");
    std::string plain;
    ASSERT_TRUE(qp::name_to_cp949("data/readme 1.txt", &plain));
    EXPECT_EQ(plain, "data/readme 1.txt");
    ASSERT_TRUE(qp::name_from_cp949("", &plain));
    EXPECT_EQ(plain, "");
}

TEST(NameCodePage, BytesThatAreNoCodePage949NameAreRefusedAndNothingIsWritten) {
    std::string out = "untouched";
    // UTF-8 of 한: no code page 949 character.
    EXPECT_FALSE(qp::name_from_cp949("data\\\xED\x95\x9C.txt", &out));
    // A lead byte without its second byte, at the end and before an ASCII one.
    EXPECT_FALSE(qp::name_from_cp949("a\xC7", &out));
    EXPECT_FALSE(qp::name_from_cp949("\xC7\x20" "b", &out));
    EXPECT_EQ(out, "untouched");
}

#ifndef _WIN32
TEST(NameCodePage, CharactersCodePage949LacksAreRefused) {
    // Only here can a name hold them: the Windows narrow code page is 949.
    std::string out = "untouched";
    EXPECT_FALSE(qp::name_to_cp949("\xF0\x9F\x98\x80.txt", &out)); // an emoji
    EXPECT_FALSE(qp::name_to_cp949("\xED\x95", &out));             // cut short
    EXPECT_EQ(out, "untouched");
}

TEST(CodePage, Utf8DecodingIsStrict) {
    // Malformed bytes each become one replacement character, never a read
    // past the end.
    EXPECT_EQ(qp::narrow_to_wide("\xE0\x80", 2), qp::WideString({0xFFFD, 0xFFFD}));
    EXPECT_EQ(qp::narrow_to_wide("\xC0\xAF"), qp::WideString({0xFFFD, 0xFFFD})); // overlong '/'
    EXPECT_EQ(qp::narrow_to_wide("\xED\xA0\x80"), qp::WideString({0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(qp::narrow_to_wide("\xEA\xB0"), qp::WideString({0xFFFD, 0xFFFD}));
    // Characters beyond the basic plane use surrogate pairs, and back.
    const WCHAR pair[] = {0xD83D, 0xDE00, 0};
    EXPECT_EQ(qp::narrow_to_wide("\xF0\x9F\x98\x80"), qp::WideString(pair));
    EXPECT_EQ(qp::wide_to_narrow(pair), "\xF0\x9F\x98\x80");
    const WCHAR lone[] = {'x', 0xDC00, 0};
    EXPECT_EQ(qp::wide_to_narrow(lone), "x?");
}
#endif

} // namespace
