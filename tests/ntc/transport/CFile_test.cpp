#include "transport/CFile.h"

#include <gtest/gtest.h>

#include "quill/platform/file.h"
#include "support/scratch_dir.h"

using quill_test::read_file;
using quill_test::write_file;

namespace {

class CFileTest : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch;
};

void* const kInvalid = reinterpret_cast<void*>(static_cast<intptr_t>(-1));

TEST_F(CFileTest, OpenKeepsContentAndWritesAtTheEnd) {
    write_file("out.txt", "abc");
    CFile file;
    EXPECT_EQ(file.GetFileHandle(), kInvalid);
    void* handle = file.Open("out.txt");
    ASSERT_NE(handle, kInvalid);
    EXPECT_EQ(file.GetFileHandle(), handle);
    file.Write("%s-%d", "de", 5);
    file.Write(static_cast<const void*>("\0z"), 2);
    file.Close();
    EXPECT_EQ(read_file("out.txt"), std::string("abcde-5\0z", 9));
}

TEST_F(CFileTest, OpenCreatesAMissingFile) {
    CFile file;
    ASSERT_NE(file.Open("new.txt"), kInvalid);
    file.Write("x");
    file.Close();
    EXPECT_EQ(read_file("new.txt"), "x");
}

TEST_F(CFileTest, FailedOpenLeavesTheStoredHandleAlone) {
    CFile file;
    EXPECT_EQ(file.Open(nullptr), kInvalid);
    EXPECT_EQ(file.Open("no/such/folder/file.txt"), kInvalid);
    EXPECT_EQ(file.GetFileHandle(), kInvalid);

    void* handle = file.Open("kept.txt");
    ASSERT_NE(handle, kInvalid);
    EXPECT_EQ(file.Open(nullptr), kInvalid);
    EXPECT_EQ(file.Open("no/such/folder/file.txt"), kInvalid);
    EXPECT_EQ(file.GetFileHandle(), handle);
    file.Write("still open");
    file.Close();
    EXPECT_EQ(read_file("kept.txt"), "still open");
}

TEST_F(CFileTest, FormattedWriteIsCutAt511Bytes) {
    CFile file;
    ASSERT_NE(file.Open("long.txt"), kInvalid);
    const std::string text(3000, 'q');
    file.Write("%s", text.c_str());
    file.Write(static_cast<const void*>("end"), 0); // size 0 writes nothing
    file.Close();
    EXPECT_EQ(read_file("long.txt"), std::string(511, 'q'));
}

TEST_F(CFileTest, ReadCountsWhatItRead) {
    write_file("in.bin", "0123456789");
    CFile file;
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 0), 0u) << "size 0 reads nothing, even without a file";
    EXPECT_EQ(file.Read(buffer, 4), 0u) << "no file: nothing read";

    ASSERT_NE(file.Open("in.bin"), kInvalid);
    EXPECT_EQ(file.Read(buffer, 4), 0u) << "the handle of Open is for writing only";
    file.Close();

    file.SetFileHandle(qp::file_open_read("in.bin"));
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    file.Close();
}

TEST_F(CFileTest, CloseTwiceIsHarmlessAndForgetsTheHandle) {
    CFile file;
    file.Close();
    ASSERT_NE(file.Open("c.txt"), kInvalid);
    file.Close();
    EXPECT_EQ(file.GetFileHandle(), kInvalid);
    file.Close();
    EXPECT_EQ(file.GetFileHandle(), kInvalid);
    file.Write("ignored"); // writing without a file does nothing
    EXPECT_EQ(read_file("c.txt"), "");
}

TEST_F(CFileTest, CopiesShareTheHandleAndNoneClosesIt) {
    CFile original;
    ASSERT_NE(original.Open("shared.txt"), kInvalid);
    {
        CFile copy(original);
        EXPECT_EQ(copy.GetFileHandle(), original.GetFileHandle());
        copy.Write("a");
        CFile assigned;
        assigned = original;
        assigned.Write("b");
    }
    original.Write("c"); // still open after both copies are gone
    original.Close();
    EXPECT_EQ(read_file("shared.txt"), "abc");
}

TEST_F(CFileTest, RemoveDeletesTheNamedFileOnly) {
    write_file("gone.txt", "x");
    CFile file;
    ASSERT_NE(file.Open("mine.txt"), kInvalid);
    file.Remove("gone.txt");
    file.Remove("never-there.txt");
    file.Remove(nullptr);
    EXPECT_FALSE(qp::path_exists("gone.txt"));
    file.Write("ok");
    file.Close();
    EXPECT_EQ(read_file("mine.txt"), "ok");
}

} // namespace
