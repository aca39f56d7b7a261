#include "common/md5_C.h"

#include <string.h>

#include <algorithm>

#include "quill/platform/file.h"
#include "update/common/updater_fixture.h"

using quill_test::write_file;

namespace {

class Md5 : public UpdaterTest {};

TEST(Md5Digest, Rfc1321Suite) {
    EXPECT_EQ(md5_C::hex_of(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5_C::hex_of("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(md5_C::hex_of("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5_C::hex_of("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5_C::hex_of("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(md5_C::hex_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(md5_C::hex_of("1234567890123456789012345678901234567890123456789012345678901234567890"
                            "1234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

// Lengths around the 56-byte padding limit and the block size, fed in
// pieces of every size: the split must never change the digest.
TEST(Md5Digest, PiecesGiveTheSameDigestAsOneUpdate) {
    for (size_t length : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 1000u, 4099u}) {
        const std::string message(length, 'm');
        const std::string whole = md5_C::hex_of(message);
        for (size_t piece : {1u, 7u, 63u, 64u, 65u, 1000u}) {
            md5_C md5;
            for (size_t at = 0; at < length; at += piece)
                md5.update(message.data() + at, std::min(piece, length - at));
            unsigned char digest[16];
            md5.finish(digest);
            EXPECT_EQ(md5_C::hex(digest), whole) << length << " in pieces of " << piece;
        }
    }
    // The well-known digest of a million 'a', across many blocks.
    EXPECT_EQ(md5_C::hex_of(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5Digest, FinishStartsOver) {
    md5_C md5;
    md5.update("abc", 3);
    unsigned char first[16];
    md5.finish(first);
    md5.update("abc", 3);
    unsigned char second[16];
    md5.finish(second);
    EXPECT_EQ(memcmp(first, second, 16), 0);
}

TEST_F(Md5, EmptyFileDigestIsAppended) {
    write_file("empty.bin", "");
    std::string out = "prefix:";
    ASSERT_TRUE(md5_C().doit(run, run.root_path, "empty.bin", out));
    EXPECT_EQ(out, "prefix:d41d8cd98f00b204e9800998ecf8427e");
}

TEST_F(Md5, FileNamesAreRelativeToTheRoot) {
    ASSERT_TRUE(qp::create_directory("sub"));
    write_file("sub/abc.txt", "abc");
    std::string out;
    ASSERT_TRUE(md5_C().doit(run, run.root_path, "sub\\abc.txt", out));
    EXPECT_EQ(out, "900150983cd24fb0d6963f7d28e17f72");
    // The root is the one given, whatever the updater's own root.
    out.clear();
    ASSERT_TRUE(md5_C().doit(run, run.root_path + "\\sub", "abc.txt", out));
    EXPECT_EQ(out, "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_FALSE(md5_C().doit(run, run.root_path + "\\sub", "sub\\abc.txt", out));
    // Over many reads, the last one short.
    write_file("big", std::string(1000000, 'a'));
    out.clear();
    ASSERT_TRUE(md5_C().doit(run, run.root_path, "big", out));
    EXPECT_EQ(out, "7707d6ae4e027c70eea2a935c2296f21");
}

TEST_F(Md5, MissingFileAppendsNothing) {
    std::string out = "kept";
    EXPECT_FALSE(md5_C().doit(run, run.root_path, "absent.bin", out));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(
        log_has("md5_C::doit  [ERROR : CAN'T OPEN FILE : " + run.root_path + "\\absent.bin]"));
    ASSERT_TRUE(qp::create_directory("dir"));
    EXPECT_FALSE(md5_C().doit(run, run.root_path, "dir", out));
    EXPECT_EQ(out, "kept");
}

TEST_F(Md5, SelfTestPassesAndShowsEveryStep) {
    std::string out;
    EXPECT_TRUE(md5_C().doit(run, run.root_path, "", out));
    EXPECT_TRUE(out.empty());
    ASSERT_EQ(shown.boxes.size(), 14u);
    EXPECT_EQ(shown.boxes[0], "test 1 ");
    EXPECT_EQ(shown.boxes[1], "passed\n");
    EXPECT_EQ(shown.boxes[12], "test 7 ");
    EXPECT_EQ(shown.boxes[13], "passed\n");
}

} // namespace
