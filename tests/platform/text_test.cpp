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

#ifndef _WIN32
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
