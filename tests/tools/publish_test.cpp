#include "publish.h"

#include <zlib.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/logger_C.h"
#include "common/md5_C.h"
#include "quill/platform/file.h"
#include "support/scratch_dir.h"
#include "tree/ls_txt.h"

using quill_test::read_file;
using quill_test::write_file;

namespace {

std::string md5_hex(const std::string& content) {
    md5_C md5;
    md5.update(content.data(), content.size());
    unsigned char digest[16];
    md5.finish(digest);
    return md5_C::hex(digest);
}

std::string gunzip(const std::string& path) {
    gzFile file = gzopen(qp::system_path(path.c_str()).c_str(), "rb");
    if (!file)
        return "<cannot open>";
    std::string content;
    char buffer[4096];
    int got;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0)
        content.append(buffer, static_cast<size_t>(got));
    int error = Z_OK;
    gzerror(file, &error);
    gzclose(file);
    return got < 0 || error != Z_OK ? "<damaged>" : content;
}

// Every name below folder, relative, folders marked with a trailing slash.
void list_tree(const std::string& folder, const std::string& relative,
               std::vector<std::string>& out) {
    std::vector<qp::DirEntry> found;
    ASSERT_TRUE(qp::find_files((folder + "\\*").c_str(), &found));
    for (const qp::DirEntry& entry : found) {
        const std::string name = relative + entry.name;
        out.push_back(entry.is_directory ? name + "/" : name);
        if (entry.is_directory)
            list_tree(folder + "\\" + entry.name, name + "/", out);
    }
}

std::vector<std::string> tree_of(const std::string& folder) {
    std::vector<std::string> names;
    list_tree(folder, "", names);
    std::sort(names.begin(), names.end());
    return names;
}

class Publish : public ::testing::Test {
protected:
    Publish() {
        // The listing reader writes its trace lines.
        process_log().open_log_file(scratch.path(), "report.txt");
        qp::create_directory("src");
        qp::create_directory("src\\data");
        qp::create_directory("src\\data\\empty");
        write_file("src/a.txt", "abc");
        write_file("src/data/b.bin", binary);
        write_file("src/data/zero", "");
    }

    ~Publish() override { process_log().close_log_file(); }

    bool publish(const std::string& version = "1.5 first") {
        error.clear();
        return publish_mirror(version, "src", "mirror", nullptr, error);
    }

    quill_test::ScratchDir scratch;
    const std::string binary = std::string("\0\x1f\x8b\xff\r\n", 6) + std::string(70000, 'q');
    std::string error;
};

TEST_F(Publish, MirrorHoldsListingsAndCompressedFilesNamedByDigest) {
    std::vector<int> progress_files;
    ASSERT_TRUE(publish_mirror("1.5 first", "src", "mirror",
                               [&](int done, int count, int64_t bytes, int64_t total,
                                   const std::string&) {
                                   progress_files.push_back(done);
                                   EXPECT_EQ(count, 3);
                                   EXPECT_EQ(total, 70009);
                                   EXPECT_LE(bytes, total);
                               },
                               error))
        << error;
    EXPECT_EQ(progress_files, (std::vector<int>{1, 2, 3}));

    const std::string a = "a.txt.gz." + md5_hex("abc");
    const std::string b = "data\\b.bin.gz." + md5_hex(binary);
    const std::string zero = "data\\zero.gz." + md5_hex("");
    EXPECT_EQ(tree_of("mirror"),
              (std::vector<std::string>{a, "data/", "data/b.bin.gz." + md5_hex(binary),
                                        "data/empty/", "data/zero.gz." + md5_hex(""), "ls.txt",
                                        "ls_compressed.txt.gz", "version.txt"}));
    EXPECT_EQ(gunzip("mirror\\" + a), "abc");
    EXPECT_EQ(gunzip("mirror\\" + b), binary);
    EXPECT_EQ(gunzip("mirror\\" + zero), "");
    EXPECT_EQ(read_file("mirror/version.txt"), "1.5 first\n");

    const auto size = [](const std::string& name) {
        return std::to_string(read_file("mirror/" + name).size());
    };
    const std::string listing = read_file("mirror/ls.txt");
    EXPECT_EQ(listing, "1.5 first\n" + a + " " + size(a) + "\n[201274_DIR] data\n" + b + " " +
                           size("data/b.bin.gz." + md5_hex(binary)) +
                           "\n[201274_DIR] data\\empty\n" + zero + " " +
                           size("data/zero.gz." + md5_hex("")) + "\n");
    EXPECT_EQ(gunzip("mirror\\ls_compressed.txt.gz"), listing);

    // The updater reads it back as the same tree.
    name_map_C names;
    record_map_C records;
    std::string version;
    ASSERT_TRUE(from_ls_txt_2_map_with_file_size("mirror\\ls.txt", names, records, version));
    EXPECT_EQ(version, "1.5 first");
    EXPECT_EQ(names, (name_map_C{{a, 0}, {"data", 1}, {b, 0}, {"data\\empty", 1}, {zero, 0}}));
}

TEST_F(Publish, NamesTheListingCannotCarryAreRefusedAndNothingIsWritten) {
    write_file("src/two words.txt", "x");
    write_file("src/data/a,b", "x");
    write_file("src/data/old.gzip", "x");
    write_file("src/report.txt", "x");
    EXPECT_FALSE(publish());
    for (const char* name : {"\"two words.txt\"", "\"data\\a,b\"", "\"data\\old.gzip\"",
                             "\"report.txt\""})
        EXPECT_NE(error.find(name), std::string::npos) << name << " in " << error;
    EXPECT_FALSE(qp::path_exists("mirror"));
    EXPECT_FALSE(qp::path_exists("mirror.publishing"));
}

// The listing and the mirror name files in code page 949 on every system:
// the bytes an updater reads and asks the FTP server for.
TEST_F(Publish, KoreanNamesGoToTheListingAndTheMirrorInCodePage949) {
    ASSERT_TRUE(qp::create_directory("src\\data\\자료"));
    write_file("src/data/자료/한글자료.txt", "abc");
    ASSERT_TRUE(publish()) << error;
    const std::string folder = "data\\\xC0\xDA\xB7\xE1";
    const std::string file = folder + "\\\xC7\xD1\xB1\xDB\xC0\xDA\xB7\xE1.txt.gz." + md5_hex("abc");
    const std::string listing = read_file("mirror/ls.txt");
    EXPECT_NE(std::string::npos, listing.find("\n[201274_DIR] " + folder + "\n")) << listing;
    EXPECT_NE(std::string::npos, listing.find("\n" + file + " ")) << listing;
    EXPECT_EQ(gunzip("mirror\\" + file), "abc");

    name_map_C names;
    record_map_C records;
    std::string version;
    ASSERT_TRUE(from_ls_txt_2_map_with_file_size("mirror\\ls.txt", names, records, version));
    EXPECT_EQ(names.count("data\\자료\\한글자료.txt.gz." + md5_hex("abc")), 1u);
}

#ifndef _WIN32
TEST_F(Publish, ANameCodePage949CannotWriteIsRefused) {
    write_file("src/\xF0\x9F\x98\x80.txt", "abc");
    EXPECT_FALSE(publish());
    EXPECT_NE(std::string::npos, error.find("code page 949")) << error;
    EXPECT_FALSE(qp::path_exists("mirror"));
}
#endif

TEST_F(Publish, BadVersionOrSourceIsRefused) {
    EXPECT_FALSE(publish(""));
    EXPECT_FALSE(publish("1.0\nsecond line"));
    EXPECT_FALSE(publish_mirror("1.0", "missing", "mirror", nullptr, error));
    EXPECT_FALSE(qp::path_exists("mirror"));
}

TEST_F(Publish, RepublishingReplacesTheWholeMirror) {
    ASSERT_TRUE(publish("1.0")) << error;
    const std::string old_name = "mirror/a.txt.gz." + md5_hex("abc");
    ASSERT_TRUE(qp::path_exists(old_name.c_str()));
    write_file("src/a.txt", "changed");
    ASSERT_TRUE(publish("1.1")) << error;
    EXPECT_FALSE(qp::path_exists(old_name.c_str()));
    EXPECT_EQ(gunzip("mirror\\a.txt.gz." + md5_hex("changed")), "changed");
    EXPECT_EQ(read_file("mirror/version.txt"), "1.1\n");
    EXPECT_FALSE(qp::path_exists("mirror.previous"));
    EXPECT_FALSE(qp::path_exists("mirror.publishing"));
}

// The updater compares leading numbers in single precision: a version it
// sees as the mirror's own would never be installed.
TEST_F(Publish, AVersionTheUpdaterCannotTellFromTheMirrorsIsRefused) {
    ASSERT_TRUE(publish("20261208")) << error;
    const std::string listing = read_file("mirror/ls.txt");
    write_file("src/a.txt", "changed");
    for (const char* same : {"20261209", "20261208", "20261208.0 rebuilt"}) {
        EXPECT_FALSE(publish(same)) << same;
        EXPECT_NE(error.find("cannot be told from the mirror's version \"20261208\""),
                  std::string::npos)
            << error;
        EXPECT_EQ(read_file("mirror/ls.txt"), listing) << same;
        EXPECT_EQ(read_file("mirror/version.txt"), "20261208\n") << same;
    }
    EXPECT_TRUE(publish("20261210")) << error;
    EXPECT_EQ(read_file("mirror/version.txt"), "20261210\n");
}

TEST_F(Publish, FolderThatIsNoMirrorIsLeftAlone) {
    qp::create_directory("mirror");
    write_file("mirror/precious.doc", "mine");
    EXPECT_FALSE(publish());
    EXPECT_NE(error.find("refusing"), std::string::npos) << error;
    EXPECT_EQ(tree_of("mirror"), (std::vector<std::string>{"precious.doc"}));
    EXPECT_EQ(read_file("mirror/precious.doc"), "mine");
}

} // namespace
