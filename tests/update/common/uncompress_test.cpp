#include "common/uncompress.h"

#include <filesystem>
#include <functional>

#include <zlib.h>

#include "quill/platform/file.h"
#include "support/test_clock.h"
#include "update/common/updater_fixture.h"

using quill_test::read_file;
using quill_test::write_file;

namespace {

void write_gzip(const std::string& name, const std::string& content) {
    gzFile file = gzopen(qp::system_path(name.c_str()).c_str(), "wb");
    ASSERT_NE(file, nullptr);
    if (!content.empty()) {
        ASSERT_EQ(gzwrite(file, content.data(), static_cast<unsigned>(content.size())),
                  static_cast<int>(content.size()));
    }
    ASSERT_EQ(gzclose(file), Z_OK);
}

// Bytes that do not compress to nothing, so streams span many reads.
using quill_test::incompressible;

// Counts sleeps; a hook may act on each one.
class SleepCounter : public quill_test::TestClock {
public:
    void sleep(uint32_t ms) override {
        ++sleeps;
        slept_ms += ms;
        if (on_sleep)
            on_sleep(sleeps);
        TestClock::sleep(ms);
    }
    int sleeps = 0;
    uint32_t slept_ms = 0;
    std::function<void(int)> on_sleep;
};

class Uncompress : public UpdaterTest {
protected:
    std::string at(const std::string& relative) const { return run.root_path + "\\" + relative; }
};

TEST_F(Uncompress, PlainFileReplacesTheCompressedOne) {
    const std::string content = incompressible(300000);
    write_gzip("a.txt.gz.0123", content);
    ASSERT_TRUE(uncompress_it(run, at("a.txt.gz.0123")));
    EXPECT_EQ(read_file("a.txt"), content);
    EXPECT_FALSE(qp::path_exists("a.txt.gz.0123"));
    ASSERT_FALSE(shown.lamps.empty());
    EXPECT_EQ(shown.lamps.front(), lamp_magenta);
    EXPECT_TRUE(log_has_run({"uncompress_it  [fopen(" + at("a.txt") + ", wb) SUCCESS]",
                             "uncompress_it [ABOUT TO CALL gz_uncompress...]",
                             "uncompress_it  [gz_uncompress SUCCESS]",
                             "deleting the remaining compressed file : " + at("a.txt.gz.0123")}));
    EXPECT_TRUE(log_has("uncompress_it  [gzopen(" + at("a.txt.gz.0123") + ",rb)  SUCCESS]"));
}

TEST_F(Uncompress, EmptyContentGivesAnEmptyFile) {
    write_gzip("e.gz", "");
    ASSERT_TRUE(uncompress_it(run, at("e.gz")));
    EXPECT_EQ(read_file("e"), "");
}

TEST_F(Uncompress, TruncatedStreamLeavesNoPlainFile) {
    write_gzip("t.bin.gz", incompressible(200000));
    const std::string whole = read_file("t.bin.gz");
    write_file("t.bin.gz", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(uncompress_it(run, at("t.bin.gz")));
    EXPECT_FALSE(qp::path_exists("t.bin")) << "a part must not pass for the whole";
    EXPECT_TRUE(qp::path_exists("t.bin.gz"));
    EXPECT_TRUE(log_has("uncompress_it(" + at("t.bin.gz") + ")  [gz_uncompress  FAILED]"));
    EXPECT_EQ(shown.lamps.back(), lamp_idle);
}

TEST_F(Uncompress, StreamWithoutItsTrailerFails) {
    write_gzip("t.gz", "short content");
    const std::string whole = read_file("t.gz");
    write_file("t.gz", whole.substr(0, whole.size() - 4));
    EXPECT_FALSE(uncompress_it(run, at("t.gz")));
    EXPECT_FALSE(qp::path_exists("t"));
}

TEST_F(Uncompress, CorruptStreamLeavesNoPlainFile) {
    write_gzip("c.gz", incompressible(100000));
    std::string bytes = read_file("c.gz");
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i)
        bytes[i] = static_cast<char>(~bytes[i]);
    write_file("c.gz", bytes);
    EXPECT_FALSE(uncompress_it(run, at("c.gz")));
    EXPECT_FALSE(qp::path_exists("c"));
}

// A few kilobytes that would unpack to far more than any real file of that
// size: refused once the output passes the bound, nothing left behind.
TEST_F(Uncompress, OutputPastItsBoundLeavesNoPlainFile) {
    write_gzip("bomb.dat.gz", std::string(20u << 20, '\0'));
    // The disk of the test has room for far more.
    const uint64_t bound =
        uncompressed_bound(std::filesystem::file_size("bomb.dat.gz"), uint64_t(1) << 50);
    ASSERT_LT(bound, 20u << 20);
    EXPECT_FALSE(uncompress_it(run, at("bomb.dat.gz")));
    EXPECT_FALSE(qp::path_exists("bomb.dat"));
    EXPECT_TRUE(qp::path_exists("bomb.dat.gz"));
    EXPECT_TRUE(
        log_has_run({"uncompress_it(" + at("bomb.dat.gz") + ")  [UNCOMPRESSED SIZE PASSES " +
                         std::to_string(bound) + " BYTES]",
                     "uncompress_it(" + at("bomb.dat.gz") + ")  [gz_uncompress  FAILED]"}));
}

TEST(UncompressBound, FreeSpaceLessItsMarginAndARatioAboveRealFiles) {
    const uint64_t mib = 1u << 20;
    const uint64_t plenty = uint64_t(1) << 50;
    EXPECT_EQ(uncompressed_bound(100, plenty), 16 * mib) << "small files may always unpack";
    EXPECT_EQ(uncompressed_bound(1 * mib, plenty), 1024 * mib);
    EXPECT_EQ(uncompressed_bound(1 * mib, 100 * mib), 84 * mib);
    EXPECT_EQ(uncompressed_bound(1 * mib, 10 * mib), 0u);
}

TEST(UncompressBound, StreamStopsAtTheLimit) {
    quill_test::ScratchDir scratch;
    write_gzip("z.gz", incompressible(300000));
    for (uint64_t limit : {uint64_t(299999), uint64_t(300000)}) {
        gzFile in = gzopen("z.gz", "rb");
        FILE* out = fopen("z", "wb");
        ASSERT_TRUE(in && out);
        bool over = true;
        EXPECT_EQ(gz_uncompress(in, out, limit, &over), limit == 300000) << limit;
        EXPECT_EQ(over, limit != 300000) << limit;
    }
}

TEST_F(Uncompress, DataThatIsNoGzipIsRefused) {
    write_file("p.gz", "plain text, never compressed");
    EXPECT_FALSE(uncompress_it(run, at("p.gz")));
    EXPECT_FALSE(qp::path_exists("p"));
    write_file("z.gz", "");
    EXPECT_FALSE(uncompress_it(run, at("z.gz")));
    EXPECT_FALSE(qp::path_exists("z"));
}

TEST_F(Uncompress, MissingSourceFails) {
    EXPECT_FALSE(uncompress_it(run, at("none.gz")));
    EXPECT_TRUE(
        log_has("uncompress_it(" + at("none.gz") + ")  [CAN'T FIND SOURCE FILE TO UNCOMPRESS]"));
    EXPECT_EQ(shown.lamps, (std::vector<lamp_colour_C>{lamp_magenta, lamp_idle}));
}

TEST_F(Uncompress, NameWithoutGzPartFails) {
    write_gzip("plain.bin", "x");
    EXPECT_FALSE(uncompress_it(run, at("plain.bin")));
    EXPECT_TRUE(
        log_has("uncompress_it  [convert_name_gz_2_normal(" + at("plain.bin") + ") FAILED] "));
    EXPECT_TRUE(qp::path_exists("plain.bin"));
}

TEST_F(Uncompress, PlainFileThatCannotBeCreatedKeepsTheSource) {
    write_gzip("d.gz", "x");
    ASSERT_TRUE(qp::create_directory("d"));
    EXPECT_FALSE(uncompress_it(run, at("d.gz")));
    EXPECT_TRUE(log_has("uncompress_it  [gzopen FAILED <2> WITH : " + at("d") + "]"));
    EXPECT_TRUE(qp::path_exists("d.gz"));
    EXPECT_TRUE(qp::is_directory("d"));
}

class UncompressAndMove : public Uncompress {
protected:
    UncompressAndMove() : in_force(&clock) {}
    SleepCounter clock;
    quill_test::ClockInForce in_force;
};

TEST_F(UncompressAndMove, PlainFileMovesToTheDestination) {
    ASSERT_TRUE(qp::create_directory("data"));
    write_gzip("x.gz.5", "content");
    ASSERT_TRUE(uncompress_and_move_local_file(run, at("x.gz.5"), at("data\\x"), false));
    EXPECT_EQ(read_file("data/x"), "content");
    EXPECT_FALSE(qp::path_exists("x"));
    EXPECT_FALSE(qp::path_exists("x.gz.5"));
    EXPECT_EQ(clock.sleeps, 0);
    EXPECT_TRUE(
        log_has("uncompress_and_move_local_file(" + at("x.gz.5") + "," + at("data\\x") + ",0)"));
    EXPECT_TRUE(log_has("uncompress_and_move_local_file  [rename_local_file(" + at("x") + "," +
                        at("data\\x") + ") FILE APPEARED AFTER 0 TICKS]"));
}

TEST_F(UncompressAndMove, KeepInPlaceMovesNothing) {
    write_gzip("k.gz", "content");
    ASSERT_TRUE(uncompress_and_move_local_file(run, at("k.gz"), at("elsewhere"), true));
    EXPECT_EQ(read_file("k"), "content");
    EXPECT_FALSE(qp::path_exists("elsewhere"));
    EXPECT_TRUE(
        log_has("uncompress_and_move_local_file  [rename_local_file(bidon_pepette,bidon_pepette) "
                "FILE APPEARED AFTER 0 TICKS]"));
}

TEST_F(UncompressAndMove, OccupiedDestinationGivesUpAfter200Tries) {
    write_gzip("y.gz", "new");
    write_file("dest", "in use");
    EXPECT_FALSE(uncompress_and_move_local_file(run, at("y.gz"), at("dest"), false));
    EXPECT_EQ(clock.sleeps, 200);
    EXPECT_EQ(clock.slept_ms, 5000u);
    EXPECT_EQ(read_file("dest"), "in use");
    EXPECT_EQ(read_file("y"), "new") << "the plain file stays under its plain name";
    EXPECT_TRUE(log_has("uncompress_and_move_local_file  [rename_local_file(" + at("y") + "," +
                        at("dest") + ") TIMEOUT]"));
}

TEST_F(UncompressAndMove, DestinationFreedWhileWaitingCountsTheFailedTries) {
    write_gzip("w.gz", "new");
    write_file("dest", "old");
    clock.on_sleep = [](int sleeps) {
        if (sleeps == 3)
            qp::delete_file("dest");
    };
    ASSERT_TRUE(uncompress_and_move_local_file(run, at("w.gz"), at("dest"), false));
    EXPECT_EQ(read_file("dest"), "new");
    EXPECT_TRUE(log_has("uncompress_and_move_local_file  [rename_local_file(" + at("w") + "," +
                        at("dest") + ") FILE APPEARED AFTER 3 TICKS]"));
}

TEST_F(UncompressAndMove, FailedUncompressionMovesNothing) {
    write_file("bad.gz", "not gzip");
    EXPECT_FALSE(uncompress_and_move_local_file(run, at("bad.gz"), at("dest"), false));
    EXPECT_FALSE(qp::path_exists("dest"));
    EXPECT_EQ(clock.sleeps, 0);
    EXPECT_TRUE(
        log_has("uncompress_and_move_local_file  [uncompress_it(" + at("bad.gz") + ")  FAILED]"));
}

TEST_F(UncompressAndMove, SourceMustExistAndHoldGz) {
    EXPECT_FALSE(uncompress_and_move_local_file(run, at("none.gz"), at("dest"), false));
    EXPECT_TRUE(log_has(
        "uncompress_and_move_local_file [ERR: CAN'T FIND SOURCE FILE : " + at("none.gz") + "]"));
    write_file("plain", "x");
    EXPECT_FALSE(uncompress_and_move_local_file(run, at("plain"), at("dest"), false));
    EXPECT_TRUE(log_has("uncompress_and_move_local_file : convert_name_gz_2_normal [FAILED] : " +
                        at("plain")));
    EXPECT_TRUE(qp::path_exists("plain"));
}

} // namespace
