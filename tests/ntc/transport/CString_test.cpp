#include "transport/CString.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string text_of(const CString& s) {
    return std::string(static_cast<const char*>(s), static_cast<size_t>(s.GetLength()));
}

const char* address(const CString& s) {
    return static_cast<const char*>(s);
}

// Korean text whose code page 949 form has trail bytes that look like ASCII
// letters: "갂" is 81 41 ('A') and "똠" is 8C 63 ('c'). In UTF-8 no ASCII byte
// occurs inside them, but the characters are three bytes long.
const char kKorean[] = "갂똠a";
#ifdef _WIN32
const unsigned char kKoreanBytes[] = {0x81, 0x41, 0x8C, 0x63, 0x61};
#else
const unsigned char kKoreanBytes[] = {0xEA, 0xB0, 0x82, 0xEB, 0x98, 0xA0, 0x61};
#endif

#ifdef _WIN32
const char kLineBreak[] = "\r\n";
#else
const char kLineBreak[] = "\n";
#endif

// --- copy on write --------------------------------------------------------------

TEST(CStringCopyOnWrite, CopiesShareOneRecord) {
    CString original("shared text");
    CString copy(original);
    CString assigned;
    assigned = copy;
    EXPECT_EQ(address(copy), address(original));
    EXPECT_EQ(address(assigned), address(original));
}

TEST(CStringCopyOnWrite, ChangingACopyLeavesTheOriginal) {
    const std::vector<std::pair<const char*, std::function<void(CString&)>>> changes = {
        {"SetAt", [](CString& s) { s.SetAt(0, 'X'); }},
        {"+= text", [](CString& s) { s += "!"; }},
        {"+= char", [](CString& s) { s += '!'; }},
        {"assign", [](CString& s) { s = "other"; }},
        {"MakeUpper", [](CString& s) { s.MakeUpper(); }},
        {"MakeLower", [](CString& s) { s.MakeLower(); }},
        {"MakeReverse", [](CString& s) { s.MakeReverse(); }},
        {"Replace char", [](CString& s) { s.Replace('a', 'b'); }},
        {"Replace text", [](CString& s) { s.Replace("Ab", "xyz"); }},
        {"Remove", [](CString& s) { s.Remove('a'); }},
        {"Insert", [](CString& s) { s.Insert(1, "--"); }},
        {"Delete", [](CString& s) { s.Delete(0, 2); }},
        {"TrimLeft", [](CString& s) { s.TrimLeft('A'); }},
        {"TrimRight", [](CString& s) { s.TrimRight(" "); }},
        {"Format", [](CString& s) { s.Format("%d", 7); }},
        {"Empty", [](CString& s) { s.Empty(); }},
        {"CharToOemA", [](CString& s) { s.CharToOemA(); }},
        {"GetBufferSetLength", [](CString& s) { s.GetBufferSetLength(2); }},
        {"ReleaseBuffer", [](CString& s) { s.ReleaseBuffer(1); }},
    };
    for (const auto& change : changes) {
        CString original("Abc abc ");
        CString copy(original);
        change.second(copy);
        EXPECT_EQ(text_of(original), "Abc abc ") << change.first;
    }
}

TEST(CStringCopyOnWrite, GetBufferOnASharedStringGivesItItsOwnRecord) {
    CString original("hello");
    CString copy(original);
    char* buffer = copy.GetBuffer(10);
    ASSERT_NE(buffer, nullptr);
    EXPECT_NE(buffer, address(original));
    EXPECT_EQ(copy.GetLength(), 5);
    buffer[0] = 'j';
    copy.ReleaseBuffer();
    EXPECT_EQ(text_of(copy), "jello");
    EXPECT_EQ(text_of(original), "hello");
}

TEST(CStringCopyOnWrite, ALockedBufferIsNotSharedUntilUnlocked) {
    CString owner("locked");
    char* buffer = owner.LockBuffer();
    ASSERT_NE(buffer, nullptr);
    CString copy(owner);
    CString assigned;
    assigned = owner;
    EXPECT_NE(address(copy), buffer);
    EXPECT_NE(address(assigned), buffer);
    buffer[0] = 'L';
    EXPECT_EQ(text_of(copy), "locked");
    EXPECT_EQ(text_of(owner), "Locked");

    // Assigning into the locked string keeps its buffer while the text fits.
    owner = copy;
    EXPECT_EQ(address(owner), buffer);
    EXPECT_EQ(text_of(owner), "locked");

    owner.UnlockBuffer();
    CString shared(owner);
    EXPECT_EQ(address(shared), address(owner));
}

TEST(CStringCopyOnWrite, OperationsWhoseArgumentIsTheStringItself) {
    CString s("abc");
    s += s;
    EXPECT_EQ(text_of(s), "abcabc");
    s.GetBuffer(64); // room, so the changes below happen in place
    s.Insert(1, static_cast<const char*>(s));
    EXPECT_EQ(text_of(s), "aabcabcbcabc");
    s = static_cast<const char*>(s) + 9;
    EXPECT_EQ(text_of(s), "abc");
    s.Replace("b", static_cast<const char*>(s));
    EXPECT_EQ(text_of(s), "aabcc");
    s.Format("%s-%s", static_cast<const char*>(s), static_cast<const char*>(s));
    EXPECT_EQ(text_of(s), "aabcc-aabcc");
    s = s;
    EXPECT_EQ(text_of(s), "aabcc-aabcc");
}

// --- the empty record -------------------------------------------------------------

TEST(CStringEmptyRecord, EveryEmptyStringSharesOneRecordThatNothingChanges) {
    const CString first;
    const char* empty = address(first);
    {
        std::vector<CString> strings(1000);
        for (size_t i = 0; i < strings.size(); ++i) {
            CString copy(strings[i]);
            strings[i] = copy;
            strings[i] = "";
            strings[i] += "";
            strings[i].Empty();
            strings[i].TrimLeft();
            strings[i].MakeUpper();
            strings[i].FreeExtra();
            strings[i].ReleaseBuffer();
            EXPECT_EQ(address(strings[i]), empty);
        }
    }
    CString written;
    char* buffer = written.GetBuffer(0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_NE(buffer, empty);
    buffer[0] = '\0';
    written.ReleaseBuffer();
    written += "x";

    const CString later;
    EXPECT_EQ(address(later), empty);
    EXPECT_EQ(later.GetLength(), 0);
    EXPECT_EQ(later.GetAllocLength(), 0);
    EXPECT_STREQ(address(later), "");
    EXPECT_TRUE(later.IsEmpty());
}

// --- threads ----------------------------------------------------------------------

TEST(CStringThreads, ConcurrentCopiesAndReleasesOfOneSharedString) {
    CString original;
    original.Format("%s", std::string(100, 'q').c_str());
    const char* record = address(original);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            CString empty;
            for (int i = 0; i < 20000; ++i) {
                CString copy(original);
                CString second;
                second = copy;
                CString moved(std::move(copy));
                empty = second;
                empty = CString();
                if (address(second) != record || moved.GetLength() != 100)
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(text_of(original), std::string(100, 'q'));
    // Every copy has let go, so the record is the original's alone again: a
    // change happens in place instead of on a copy.
    EXPECT_EQ(original.GetBuffer(0), record);
}

// --- buffer -----------------------------------------------------------------------

TEST(CStringBuffer, GetBufferKeepsTheLengthAndReleaseBufferSetsIt) {
    CString s("ab");
    char* buffer = s.GetBuffer(20);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_GE(s.GetAllocLength(), 20);
    strcpy(buffer, "written");
    s.ReleaseBuffer();
    EXPECT_EQ(text_of(s), "written");
    s.GetBuffer(0);
    s.ReleaseBuffer(3);
    EXPECT_EQ(text_of(s), "wri");
    s.ReleaseBuffer(-1);
    EXPECT_EQ(text_of(s), "wri");
}

TEST(CStringBuffer, ReleaseBufferStaysInsideTheRoom) {
    CString s;
    char* buffer = s.GetBuffer(4);
    ASSERT_NE(buffer, nullptr);
    const int room = s.GetAllocLength();
    memset(buffer, 'z', static_cast<size_t>(room)); // no zero in the room
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), room);
    s.ReleaseBuffer(room + 100);
    EXPECT_EQ(s.GetLength(), room);
    EXPECT_EQ(address(s)[room], '\0');
}

TEST(CStringBuffer, NegativeSizesAndFreeExtra) {
    CString s("abc");
    ASSERT_NE(s.GetBuffer(-5), nullptr);
    EXPECT_EQ(text_of(s), "abc");
    ASSERT_NE(s.GetBufferSetLength(-1), nullptr);
    EXPECT_EQ(s.GetLength(), 0);
    char* buffer = s.GetBufferSetLength(5);
    ASSERT_NE(buffer, nullptr);
    memcpy(buffer, "12345", 5);
    EXPECT_EQ(text_of(s), "12345");
    s.GetBuffer(500);
    EXPECT_GE(s.GetAllocLength(), 500);
    s.FreeExtra();
    EXPECT_EQ(s.GetAllocLength(), 5);
    EXPECT_EQ(text_of(s), "12345");
}

// --- format -----------------------------------------------------------------------

TEST(CStringFormat, ALongResultIsNeverCut) {
    const std::string long_text(70000, 'x');
    CString s;
    s.Format("<%s|%d>", long_text.c_str(), 42);
    EXPECT_EQ(text_of(s), "<" + long_text + "|42>");
    s.Format("%08d", 7);
    EXPECT_EQ(text_of(s), "00000007");
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringFormat, FormatMessageInsertsArgumentsByNumber) {
    CString s;
    s.FormatMessageA("%1 has %2!d! items", "bag", 5);
    EXPECT_EQ(text_of(s), "bag has 5 items");
    s.FormatMessageA("%2-%1", "first", "second");
    EXPECT_EQ(text_of(s), "second-first");
    s.FormatMessageA("[%1!5d!|%2!-3s!|%3!x!]", 42, "ab", 255);
    EXPECT_EQ(text_of(s), "[   42|ab |ff]");
    s.FormatMessageA("100%% done%0 never");
    EXPECT_EQ(text_of(s), "100% done");
    s.FormatMessageA("a%nb");
    EXPECT_EQ(text_of(s), std::string("a") + kLineBreak + "b");
    s.FormatMessageA("%1", kKorean);
    EXPECT_EQ(text_of(s), kKorean);
}

// --- clamping ---------------------------------------------------------------------

TEST(CStringClamping, PositionsAndCountsOutsideTheText) {
    const CString s("abcdef");
    EXPECT_EQ(text_of(s.Mid(-5, 3)), "abc");
    EXPECT_EQ(text_of(s.Mid(4, 100)), "ef");
    EXPECT_EQ(text_of(s.Mid(1, -2)), "");
    EXPECT_EQ(text_of(s.Mid(100)), "");
    EXPECT_EQ(text_of(s.Mid(-1)), "abcdef");
    EXPECT_EQ(text_of(s.Mid(INT_MAX, INT_MAX)), "");
    EXPECT_EQ(text_of(s.Mid(3, INT_MAX)), "def");
    EXPECT_EQ(text_of(s.Left(-1)), "");
    EXPECT_EQ(text_of(s.Left(100)), "abcdef");
    EXPECT_EQ(text_of(s.Right(-1)), "");
    EXPECT_EQ(text_of(s.Right(2)), "ef");
    EXPECT_EQ(text_of(s.Right(100)), "abcdef");
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(s.GetAt(6), '\0');
    EXPECT_EQ(s[INT_MAX], '\0');
    EXPECT_EQ(s.Find('a', -3), 0);
    EXPECT_EQ(s.Find("ef", 100), -1);
    EXPECT_EQ(s.Find("", 6), 6);

    CString t(s);
    t.SetAt(-1, 'x');
    t.SetAt(6, 'x');
    EXPECT_EQ(text_of(t), "abcdef");
    EXPECT_EQ(t.Delete(-3, 2), 4);
    EXPECT_EQ(text_of(t), "cdef");
    EXPECT_EQ(t.Delete(2, INT_MAX), 2);
    EXPECT_EQ(t.Delete(100, 1), 2);
    EXPECT_EQ(t.Delete(0, -1), 2);
    EXPECT_EQ(text_of(t), "cd");
    EXPECT_EQ(t.Insert(-5, "<"), 3);
    EXPECT_EQ(t.Insert(100, '>'), 4);
    EXPECT_EQ(text_of(t), "<cd>");

    EXPECT_TRUE(CString('x', -3).IsEmpty());
    EXPECT_EQ(text_of(CString('x', 3)), "xxx");
    EXPECT_TRUE(CString("abc", -1).IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
}

// --- Korean text ------------------------------------------------------------------

TEST(CStringKorean, TheLiteralHasTheBytesTheTestsCountOn) {
    ASSERT_EQ(std::string(kKorean),
              std::string(reinterpret_cast<const char*>(kKoreanBytes), sizeof kKoreanBytes));
}

TEST(CStringKorean, CaseChangesLeaveKoreanCharactersWhole) {
    CString s(kKorean);
    s.MakeUpper();
    std::string upper(kKorean);
    upper.back() = 'A';
    EXPECT_EQ(text_of(s), upper);
    s.MakeLower();
    EXPECT_EQ(text_of(s), kKorean);
    EXPECT_NE(CString("갂").CompareNoCase("갵"), 0);
    EXPECT_EQ(CString("갂똠A").CompareNoCase(kKorean), 0);
}

TEST(CStringKorean, ReverseKeepsEachCharactersBytesInOrder) {
    CString s(kKorean);
    s.MakeReverse();
    EXPECT_EQ(text_of(s), "a똠갂");
    s.MakeReverse();
    EXPECT_EQ(text_of(s), kKorean);
}

TEST(CStringKorean, CharacterSearchesNeverMatchAByteInsideACharacter) {
    CString s(kKorean);
    const int last = s.GetLength() - 1;
    EXPECT_EQ(s.Find('A'), -1);
    EXPECT_EQ(s.Find('c'), -1);
    EXPECT_EQ(s.Find('a'), last);
    EXPECT_EQ(s.Find('a', 1), last);
    EXPECT_EQ(s.ReverseFind('A'), -1);
    EXPECT_EQ(s.FindOneOf("Ac"), -1);
    EXPECT_EQ(s.FindOneOf("cAa"), last);
    EXPECT_EQ(text_of(s.SpanExcluding("Ac")), kKorean);
    EXPECT_EQ(text_of(CString("갂갂똠").SpanIncluding("갂")), "갂갂");
    EXPECT_EQ(s.Find("똠"), static_cast<int>(strlen("갂")));

    CString t("갂똠");
    t.TrimRight('c');
    t.TrimRight("cA");
    EXPECT_EQ(text_of(t), "갂똠");
    EXPECT_EQ(t.Remove('A'), 0);
    EXPECT_EQ(t.Replace('c', 'x'), 0);
    EXPECT_EQ(text_of(t), "갂똠");
    t.TrimLeft("갂");
    EXPECT_EQ(text_of(t), "똠");
}

TEST(CStringKorean, AWideStringBecomesTheCodePageBytes) {
    const WCHAR wide[] = {0xAC02, 0xB620, 'a', 0};
    EXPECT_EQ(text_of(CString(wide)), kKorean);
    CString s;
    s = wide;
    EXPECT_EQ(text_of(s), kKorean);
    EXPECT_EQ(text_of(CString(wide, 1)), "갂");
}

TEST(CStringKorean, OemConversionsKeepTheText) {
    CString s(kKorean);
    s.CharToOemA();
    s.OemToCharA();
    EXPECT_EQ(text_of(s), kKorean);
}

// --- trimming, replacing, removing ------------------------------------------------

TEST(CStringTrim, WhiteSpaceOneCharacterOrASet) {
    CString s(" \t\r\n abc \t\r\n ");
    s.TrimLeft();
    EXPECT_EQ(text_of(s), "abc \t\r\n ");
    s.TrimRight();
    EXPECT_EQ(text_of(s), "abc");

    s = "xxaxbxx";
    s.TrimLeft('x');
    EXPECT_EQ(text_of(s), "axbxx");
    s.TrimRight('x');
    EXPECT_EQ(text_of(s), "axb");

    s = "<[a]b]>";
    s.TrimLeft("[<");
    s.TrimRight("]>");
    EXPECT_EQ(text_of(s), "a]b");

    s = "    ";
    s.TrimRight();
    EXPECT_TRUE(s.IsEmpty());
    s = "abc";
    s.TrimLeft("");
    s.TrimRight(static_cast<const char*>(nullptr));
    EXPECT_EQ(text_of(s), "abc");
}

TEST(CStringReplace, ReplaceAndRemoveCountWhatTheyChanged) {
    CString s("banana");
    EXPECT_EQ(s.Replace('a', 'o'), 3);
    EXPECT_EQ(text_of(s), "bonono");
    EXPECT_EQ(s.Replace('o', 'o'), 0);
    EXPECT_EQ(s.Replace('z', 'y'), 0);

    s = "aaaa";
    EXPECT_EQ(s.Replace("aa", "b"), 2);
    EXPECT_EQ(text_of(s), "bb");
    s = "one two one";
    EXPECT_EQ(s.Replace("one", "three"), 2);
    EXPECT_EQ(text_of(s), "three two three");
    EXPECT_EQ(s.Replace("three", nullptr), 2);
    EXPECT_EQ(text_of(s), " two ");
    EXPECT_EQ(s.Replace("", "x"), 0);
    EXPECT_EQ(s.Replace(nullptr, "x"), 0);

    s = "a-b-c-";
    EXPECT_EQ(s.Remove('-'), 3);
    EXPECT_EQ(text_of(s), "abc");
    EXPECT_EQ(s.Remove('-'), 0);
}

// --- the rest of the interface ----------------------------------------------------

TEST(CStringOperators, ConcatenationAndComparison) {
    const CString ab("ab");
    EXPECT_EQ(text_of(ab + "cd"), "abcd");
    EXPECT_EQ(text_of("cd" + ab), "cdab");
    EXPECT_EQ(text_of(ab + 'c'), "abc");
    EXPECT_EQ(text_of('c' + ab), "cab");
    EXPECT_EQ(text_of(ab + ab), "abab");
    EXPECT_TRUE(ab == "ab");
    EXPECT_TRUE("ab" == ab);
    EXPECT_TRUE(ab != "abc");
    EXPECT_TRUE(ab < "b");
    EXPECT_TRUE("b" > ab);
    EXPECT_TRUE(ab <= CString("ab"));
    EXPECT_TRUE(ab >= "aa");
    EXPECT_LT(ab.Compare("ac"), 0);
    EXPECT_GT(ab.Compare(nullptr), 0);
    EXPECT_EQ(CString("HeLLo").CompareNoCase("hello"), 0);
    EXPECT_LT(CString("Apple").CompareNoCase("banana"), 0);
    EXPECT_EQ(CString("abc").Collate("abc"), 0);
    EXPECT_LT(CString("abc").Collate("abd"), 0);
    EXPECT_EQ(CString("ABC").CollateNoCase("abc"), 0);

    CString grown;
    for (int i = 0; i < 1000; ++i)
        grown += static_cast<char>('a' + i % 26);
    EXPECT_EQ(grown.GetLength(), 1000);
    EXPECT_EQ(grown.Find("xyz"), 23);
    EXPECT_EQ(grown.Find("xyz", 24), 49);
    EXPECT_EQ(grown.ReverseFind('z'), 987);
}

} // namespace
