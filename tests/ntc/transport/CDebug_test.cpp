#include "transport/CDebug.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "quill/platform/file.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"
#include "transport/network_log.h"

using quill_test::read_file;

namespace {

#ifdef _WIN32
const std::string kNewline = "\r\n"; // the log is a text-mode stream
// The words for "month" and "day" in code page 949.
const std::string kMonth = "\xBF\xF9";
const std::string kDay = "\xC0\xCF";
#else
const std::string kNewline = "\n";
const std::string kMonth = "\xEC\x9B\x94"; // UTF-8
const std::string kDay = "\xEC\x9D\xBC";
#endif

std::string name_for(int month, int day) {
    char name[256];
    EXPECT_TRUE(ntc::network_log_file_name(name, sizeof name, month, day));
    return name;
}

TEST(NetworkLogName, HasTheSystemsBytes) {
    EXPECT_EQ(name_for(12, 8), "QUILL_NETWORK_LOG/12" + kMonth + "8" + kDay + ".log");
    EXPECT_EQ(name_for(1, 31), "QUILL_NETWORK_LOG/1" + kMonth + "31" + kDay + ".log");
    char small[20];
    EXPECT_FALSE(ntc::network_log_file_name(small, sizeof small, 12, 8));
    EXPECT_EQ(small[sizeof small - 1], '\0');
}

class NetworkLog : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch;
    quill_test::TestClock clock;
    quill_test::ClockInForce in_force{&clock};

    std::vector<std::string> log_files() {
        std::vector<qp::DirEntry> entries;
        std::vector<std::string> names;
        if (qp::find_files("QUILL_NETWORK_LOG/*.*", &entries))
            for (const auto& entry : entries)
                names.push_back(entry.name);
        return names;
    }
};

TEST_F(NetworkLog, FirstLineMakesTheFolderAndTheDaysFile) {
    clock.set_date(2026, 12, 8);
    ASSERT_FALSE(qp::path_exists("QUILL_NETWORK_LOG"));
    CDebug::AppendDebugMsg("connect %s:%d", "127.0.0.1", 9000);
    CDebug::AppendDebugMsg("second");

    EXPECT_TRUE(qp::is_directory("QUILL_NETWORK_LOG"));
    // The name as the system lists it: the Korean words in its code page.
    EXPECT_EQ(log_files(), std::vector<std::string>{"12" + kMonth + "8" + kDay + ".log"});
    EXPECT_EQ(read_file(name_for(12, 8)),
              "connect 127.0.0.1:9000" + kNewline + "second" + kNewline);
}

TEST_F(NetworkLog, EachDayHasItsFileAndTheYearIsIgnored) {
    clock.set_date(2025, 5, 1);
    CDebug::AppendDebugMsg("one");
    clock.set_date(2025, 5, 2);
    CDebug::AppendDebugMsg("two");
    clock.set_date(2026, 5, 1);
    CDebug::AppendDebugMsg("three");

    EXPECT_EQ(log_files().size(), 2u);
    EXPECT_EQ(read_file(name_for(5, 1)), "one" + kNewline + "three" + kNewline);
    EXPECT_EQ(read_file(name_for(5, 2)), "two" + kNewline);
}

TEST_F(NetworkLog, FolderRemovedWhileRunningIsMadeAgain) {
    clock.set_date(2026, 7, 4);
    CDebug::AppendDebugMsg("before");
    ASSERT_TRUE(qp::delete_file(name_for(7, 4).c_str()));
    std::filesystem::remove("QUILL_NETWORK_LOG");
    ASSERT_FALSE(qp::path_exists("QUILL_NETWORK_LOG"));
    CDebug::AppendDebugMsg("after");
    EXPECT_EQ(read_file(name_for(7, 4)), "after" + kNewline);
}

TEST_F(NetworkLog, LineIsDroppedWhenTheFolderCannotBeMade) {
    quill_test::write_file("QUILL_NETWORK_LOG", "a file in the folder's place");
    CDebug::AppendDebugMsg("lost");
    EXPECT_EQ(read_file("QUILL_NETWORK_LOG"), "a file in the folder's place");
}

TEST_F(NetworkLog, LongMessageIsCutAt1023Bytes) {
    clock.set_date(2026, 2, 2);
    const std::string text(5000, 'm');
    CDebug::AppendDebugMsg("%s", text.c_str());
    EXPECT_EQ(read_file(name_for(2, 2)), std::string(1023, 'm') + kNewline);
}

TEST_F(NetworkLog, ConcurrentLinesNeverInterleave) {
    clock.set_date(2026, 9, 9);
    const int per_thread = 10000;
    auto writer = [](char tag) {
        for (int i = 0; i < per_thread; ++i)
            CDebug::AppendDebugMsg("%c-line-%05d-%c%c%c%c%c%c%c%c", tag, i, tag, tag, tag, tag, tag,
                                   tag, tag, tag);
    };
    std::thread a(writer, 'A');
    std::thread b(writer, 'B');
    a.join();
    b.join();

    const std::string log = read_file(name_for(9, 9));
    size_t start = 0;
    int lines[2] = {0, 0};
    int next[2] = {0, 0};
    while (start < log.size()) {
        const size_t end = log.find(kNewline, start);
        ASSERT_NE(end, std::string::npos) << "the last line is not whole";
        const std::string line = log.substr(start, end - start);
        ASSERT_EQ(line.size(), 21u) << "damaged line: " << line;
        const char tag = line[0];
        ASSERT_TRUE(tag == 'A' || tag == 'B') << line;
        ASSERT_EQ(line.substr(13), std::string(8, tag)) << line;
        const int which = tag - 'A';
        // Each thread's lines keep their order.
        ASSERT_EQ(std::stoi(line.substr(7, 5)), next[which]) << line;
        ++next[which];
        ++lines[which];
        start = end + kNewline.size();
    }
    EXPECT_EQ(lines[0], per_thread);
    EXPECT_EQ(lines[1], per_thread);
}

} // namespace
