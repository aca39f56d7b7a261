#include "publish.h"

#include <zlib.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/md5_C.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"
#include "support/scratch_dir.h"
#include "tree/ls_txt.h"
#include "tree/mirror_signature.h"

using quill_test::read_file;
using quill_test::write_file;

namespace {

std::string md5_hex(const std::string& content) {
    return md5_C::hex_of(content);
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
        qp::create_directory("src");
        qp::create_directory("src\\data");
        qp::create_directory("src\\data\\empty");
        write_file("src/a.txt", "abc");
        write_file("src/data/b.bin", binary);
        write_file("src/data/zero", "");
    }

    bool publish(const std::string& version = "1.5 first") {
        error.clear();
        return publish_mirror(version, "src", "mirror", nullptr, error);
    }

    quill_test::ScratchDir scratch;
    // The listing reader writes its trace lines.
    own_run_C<silent_front_end_C> quiet{scratch.path()};
    update_run_C& run = quiet.run;
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
    ASSERT_TRUE(from_ls_txt_2_map_with_file_size(run, "mirror\\ls.txt", names, records, version));
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
    ASSERT_TRUE(from_ls_txt_2_map_with_file_size(run, "mirror\\ls.txt", names, records, version));
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

qp::Sha256Digest sha256(const std::string& bytes) {
    qp::Sha256Digest digest{};
    qp::sha256_of(bytes.data(), bytes.size(), &digest);
    return digest;
}

// A signed publication adds "ls.sig" and changes nothing else of the mirror.
TEST_F(Publish, ASignedMirrorIsTheUnsignedOnePlusItsSignature) {
    ASSERT_TRUE(publish()) << error;
    const std::string unsigned_listing = read_file("mirror/ls.txt");
    const std::vector<std::string> unsigned_tree = tree_of("mirror");

    ASSERT_TRUE(make_publisher_keys("publisher.key", error)) << error;
    publish_key_C key;
    ASSERT_TRUE(read_publisher_key("publisher.key", &key, error)) << error;
    qp::PublicKey public_key;
    ASSERT_TRUE(read_public_key(read_file("publisher.key.pub"), &public_key));
    EXPECT_EQ(public_key, key.public_key);
#ifndef _WIN32
    struct stat info;
    ASSERT_EQ(0, stat("publisher.key", &info));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
#endif
    ASSERT_TRUE(publish_mirror("1.6", "src", "mirror", nullptr, &key, error)) << error;
    std::vector<std::string> expected_tree = unsigned_tree;
    expected_tree.push_back("ls.sig");
    std::sort(expected_tree.begin(), expected_tree.end());
    EXPECT_EQ(tree_of("mirror"), expected_tree);
    const std::string listing = read_file("mirror/ls.txt");
    EXPECT_EQ(listing.substr(listing.find('\n')),
              unsigned_listing.substr(unsigned_listing.find('\n')));

    mirror_signature_C signature;
    std::string why;
    const std::string text = read_file("mirror/ls.sig");
    ASSERT_TRUE(read_mirror_signature(text, public_key, &signature, &why)) << why;
    EXPECT_EQ(signature.version, "1.6");
    EXPECT_EQ(signature.listing, sha256(listing));
    const std::map<std::string, qp::Sha256Digest> files = {
        {"a.txt.gz." + md5_hex("abc"), sha256("abc")},
        {"data\\b.bin.gz." + md5_hex(binary), sha256(binary)},
        {"data\\zero.gz." + md5_hex(""), sha256("")}};
    EXPECT_EQ(signature.files, files);

    // The next publication has a greater number, also within one second.
    ASSERT_TRUE(publish_mirror("1.7", "src", "mirror", nullptr, &key, error)) << error;
    mirror_signature_C next;
    ASSERT_TRUE(read_mirror_signature(read_file("mirror/ls.sig"), public_key, &next, &why));
    EXPECT_GT(next.publication, signature.publication);
}

TEST_F(Publish, ASignatureReadsOnlyWholeUnchangedAndFromItsOwnKey) {
    publish_key_C key;
    ASSERT_TRUE(make_publisher_keys("publisher.key", error) &&
                read_publisher_key("publisher.key", &key, error))
        << error;
    ASSERT_TRUE(publish_mirror("2.0", "src", "mirror", nullptr, &key, error)) << error;
    const std::string text = read_file("mirror/ls.sig");
    mirror_signature_C read;
    std::string why;
    for (size_t i = 0; i < text.size(); i += 7) {
        std::string changed = text;
        changed[i] = static_cast<char>(changed[i] ^ 0x01);
        EXPECT_FALSE(read_mirror_signature(changed, key.public_key, &read, &why)) << i;
    }
    EXPECT_FALSE(read_mirror_signature(text.substr(0, text.size() - 1), key.public_key, &read,
                                       &why));
    EXPECT_FALSE(read_mirror_signature("", key.public_key, &read, &why));

    publish_key_C other;
    ASSERT_TRUE(make_publisher_keys("other.key", error) &&
                read_publisher_key("other.key", &other, error));
    EXPECT_FALSE(read_mirror_signature(text, other.public_key, &read, &why));
    EXPECT_EQ(why, "BAD SIGNATURE");
    EXPECT_TRUE(read_mirror_signature(text, key.public_key, &read, &why)) << why;

    // A key is never replaced.
    const std::string before = read_file("publisher.key");
    EXPECT_FALSE(make_publisher_keys("publisher.key", error));
    EXPECT_EQ(read_file("publisher.key"), before);
}

// Key files and the build setting's bare line read back the same key; a
// damaged file gives none.
TEST(PublisherKeys, TextFormsReadBackAndDamageIsRefused) {
    qp::PrivateKey private_key;
    qp::PublicKey public_key;
    ASSERT_TRUE(qp::make_key_pair(&private_key, &public_key));
    const std::string private_text = private_key_text(private_key, public_key);
    const std::string public_text = public_key_text(public_key);
    qp::PrivateKey read_private{};
    qp::PublicKey read_public{};
    ASSERT_TRUE(read_private_key(private_text, &read_private, &read_public));
    EXPECT_EQ(read_private, private_key);
    EXPECT_EQ(read_public, public_key);
    qp::PublicKey from_bare{};
    const std::string bare = hex_of(public_key.data(), public_key.size());
    ASSERT_TRUE(read_public_key(bare + "\r\n", &from_bare));
    EXPECT_EQ(from_bare, public_key);
    ASSERT_TRUE(read_public_key(public_text, &from_bare));
    EXPECT_EQ(from_bare, public_key);

    EXPECT_FALSE(read_public_key(private_text, &from_bare));
    EXPECT_FALSE(read_private_key(public_text, &read_private, &read_public));
    EXPECT_FALSE(read_public_key(bare.substr(1), &from_bare));
    EXPECT_FALSE(read_public_key("g" + bare.substr(1), &from_bare));
    EXPECT_FALSE(read_public_key("", &from_bare));
}

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
