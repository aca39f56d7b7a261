#include "tree/ls_txt.h"
#include "tree/remote_listing.h"

#include "common/settings.h"
#include "quill/platform/file.h"
#include "support/scratch_dir.h"
#include "update/common/updater_fixture.h"

using quill_test::read_text_file;
using quill_test::write_file;

namespace {

const std::string md5_of_abc = "900150983cd24fb0d6963f7d28e17f72";
const std::string md5_of_empty = "d41d8cd98f00b204e9800998ecf8427e";

class Listing : public UpdaterTest {
protected:
    bool parse(const std::string& text) {
        write_file("ls_remote.txt", text);
        names.clear();
        records.clear();
        version = "UNSET";
        return from_ls_txt_2_map_with_file_size(run, "ls_remote.txt", names, records, version);
    }

    name_map_C names;
    record_map_C records;
    std::string version;
};

TEST_F(Listing, VersionLineAloneGivesEmptyMaps) {
    ASSERT_TRUE(parse("1.25 release\r\n"));
    EXPECT_EQ(version, "1.25 release");
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(log_has("from_ls_txt_2_map_with_file_size(filename=ls_remote.txt)"));
}

TEST_F(Listing, FoldersAndFilesWithSizesInNameOrder) {
    ASSERT_TRUE(parse(std::string("2.0\n") +
                      "data\\b.dat.gz." + md5_of_abc + " 17\r\n"
                      "[201274_DIR] data\n"
                      "[201274_DIR],,data\\maps\n"
                      "\n"
                      "a.txt.gz." + md5_of_empty + "   0 trailing words\n"
                      "[201274_DIR]   empty"));
    EXPECT_EQ(version, "2.0");
    EXPECT_EQ(names, (name_map_C{{"a.txt.gz." + md5_of_empty, 0},
                                 {"data", 1},
                                 {"data\\b.dat.gz." + md5_of_abc, 0},
                                 {"data\\maps", 1},
                                 {"empty", 1}}));
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records["data\\b.dat.gz." + md5_of_abc].size, 17);
    EXPECT_EQ(records["data\\b.dat.gz." + md5_of_abc].name, "data\\b.dat.gz." + md5_of_abc);
    EXPECT_EQ(records["data\\b.dat.gz." + md5_of_abc].directory, 0);
    EXPECT_EQ(records["a.txt.gz." + md5_of_empty].size, 0);
    EXPECT_EQ(records["data\\maps"].size, -1);
    EXPECT_EQ(records["data\\maps"].directory, 1);
}

TEST_F(Listing, FileWithoutUsableSizeFails) {
    for (const char* line : {"a.dat.gz.0123 -5\n", "a.dat.gz.0123\n", "a.dat.gz.0123 x1\n",
                             "a.dat.gz.0123 4294967296\n"}) {
        EXPECT_FALSE(parse(std::string("1\n") + line)) << line;
    }
    EXPECT_TRUE(log_has("from_ls_txt_2_map_with_file_size  [BAD FILE FORMAT (CANT RETRIEVE SIZE)]"));
}

TEST_F(Listing, EntryOutsideTheInstallationFolderFailsTheWholeListing) {
    struct {
        const char* line;
        const char* name;
    } cases[] = {
        {"..\\evil.exe.gz.0123 5", "..\\evil.exe.gz.0123"},
        {"data\\..\\..\\evil.gz.0123 5", "data\\..\\..\\evil.gz.0123"},
        {"\\evil.gz.0123 5", "\\evil.gz.0123"},
        {"/etc/evil.gz.0123 5", "/etc/evil.gz.0123"},
        {"data/../../evil.gz.0123 5", "data/../../evil.gz.0123"},
        {"C:\\evil.gz.0123 5", "C:\\evil.gz.0123"},
        {"c:evil.gz.0123 5", "c:evil.gz.0123"},
        {"data\\\\evil.gz.0123 5", "data\\\\evil.gz.0123"},
        // The plain name, where the file is written, is checked too.
        {"data\\...gz.0123 5", "data\\...gz.0123"},
        {"noext.0123 5", "noext.0123"},
        {"[201274_DIR] data\\..\\..", "data\\..\\.."},
        {"[201274_DIR] \\windows", "\\windows"},
        {"[201274_DIR] D:\\games", "D:\\games"},
        {"[201274_DIR] data\\", "data\\"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(parse(std::string("1\n[201274_DIR] data\n") + c.line + "\n")) << c.line;
        EXPECT_TRUE(log_has(std::string("from_ls_txt_2_map_with_file_size  [ENTRY OUTSIDE THE "
                                        "INSTALLATION FOLDER : ") +
                            c.name + "]"))
            << c.line;
    }
}

TEST_F(Listing, DirectoryLineWithoutNameOrOverlongLineFails) {
    EXPECT_FALSE(parse("1\n[201274_DIR]\n"));
    // ".." holds no letter or digit, so the reader drops it.
    EXPECT_FALSE(parse("1\n[201274_DIR] ..\n"));
    EXPECT_TRUE(log_has("from_ls_txt_2_map_with_file_size  [BAD FILE FORMAT (NO DIRECTORY NAME)]"));
    const std::string long_name(600, 'a');
    EXPECT_FALSE(parse("1\n" + long_name + ".gz.0123 5\n"));
    EXPECT_TRUE(log_has("from_ls_txt_2_map_with_file_size  [LINE TOO LONG]"));
    // 511 characters still fit.
    const std::string fits(511 - 40, 'b');
    EXPECT_TRUE(parse("1\n" + fits + ".gz." + md5_of_abc + " 5\n"));
    EXPECT_EQ(names.size(), 1u);
}

// Entries the updater could only place by harming the installation: each
// fails the whole listing, with its reason in the log.
TEST_F(Listing, EntriesThatWouldHarmTheInstallationFailTheWholeListing) {
    const std::string d = md5_of_abc;
    struct {
        std::string line;
        std::string reason;
    } cases[] = {
        // Its last component would become the download's name in the root.
        {"x.gz\\ver_C 30", ".gz BEFORE THE LAST COMPONENT : x.gz\\ver_C"},
        {"a.gz.b\\c.dat.gz." + d + " 3", ".gz BEFORE THE LAST COMPONENT : a.gz.b\\c.dat.gz." + d},
        {"[201274_DIR] maps.gz", ".gz BEFORE THE LAST COMPONENT : maps.gz"},
        {"data\\a.dat.gz.0123 5", "FILE ENTRY NOT NAMED name.gz.MD5 : data\\a.dat.gz.0123"},
        {"a.dat.gz." + std::string(32, 'F') + " 5",
         "FILE ENTRY NOT NAMED name.gz.MD5 : a.dat.gz." + std::string(32, 'F')},
        {"a.gz.gz." + d + " 5", "FILE ENTRY NOT NAMED name.gz.MD5 : a.gz.gz." + d},
        {"b.dat.gz." + d + "0 5", "FILE ENTRY NOT NAMED name.gz.MD5 : b.dat.gz." + d + "0"},
        {"ver_C.gz." + d + " 5", "ENTRY NAMES A FILE OF THE UPDATER : ver_C.gz." + d},
        {"REPORT.TXT.gz." + d + " 5", "ENTRY NAMES A FILE OF THE UPDATER : REPORT.TXT.gz." + d},
        {"pref_201274.txt.gz." + d + " 5",
         "ENTRY NAMES A FILE OF THE UPDATER : pref_201274.txt.gz." + d},
        {"ls_placed.txt.gz." + d + " 5", "ENTRY NAMES A FILE OF THE UPDATER : ls_placed.txt.gz." + d},
        {"QuillUpdate.exe.gz." + d + " 5",
         "ENTRY NAMES A FILE OF THE UPDATER : QuillUpdate.exe.gz." + d},
        {"[201274_DIR] ls_static.txt", "ENTRY NAMES A FILE OF THE UPDATER : ls_static.txt"},
        {"data\\nul.txt.gz." + d + " 5", "WINDOWS DEVICE NAME : data\\nul.txt.gz." + d},
        {"Com1\\a.dat.gz." + d + " 5", "WINDOWS DEVICE NAME : Com1\\a.dat.gz." + d},
        {"[201274_DIR] data\\LPT9", "WINDOWS DEVICE NAME : data\\LPT9"},
        // Two entries for one file: the next version would find it present.
        {"data\\same.dat.gz." + md5_of_empty + " 5", "TWO ENTRIES FOR ONE PATH : data\\same.dat.gz." + md5_of_empty},
        {"DATA\\Same.dat.gz." + md5_of_empty + " 5", "TWO ENTRIES FOR ONE PATH : DATA\\Same.dat.gz." + md5_of_empty},
        {"[201274_DIR] Data", "TWO ENTRIES FOR ONE PATH : Data"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(parse("1\n[201274_DIR] data\ndata\\same.dat.gz." + d + " 5\n" + c.line +
                           "\n"))
            << c.line;
        EXPECT_TRUE(log_has("from_ls_txt_2_map_with_file_size  [" + c.reason + "]")) << c.line;
    }
    // The same names are fine where they harm nothing.
    EXPECT_TRUE(parse("1\n[201274_DIR] sub\nsub\\ver_C.gz." + d + " 5\nconsole.dat.gz." + d +
                      " 5\nsub\\report.txt.gz." + d + " 5\n"));
    EXPECT_EQ(names.size(), 4u);
}

// Listings name paths in code page 949 bytes; the maps hold them as this
// system names its files.
TEST_F(Listing, NamesAreCodePage949BytesAndAnythingElseFailsTheListing) {
    // A name without an ASCII letter or digit is no token of a listing line:
    // the Korean folder sits in an ASCII one.
    const std::string folder = "data\\\xC0\xDA\xB7\xE1";                          // data\자료
    const std::string file = folder + "\\\xC7\xD1\xB1\xDB.txt.gz." + md5_of_abc; // data\자료\한글.txt
    // 똠 and 똂: the second bytes differ only in the case of an ASCII letter.
    const std::string first = "\x8C\x63.dat.gz." + md5_of_abc;
    const std::string second = "\x8C\x43.dat.gz." + md5_of_abc;
    ASSERT_TRUE(parse("1\n[201274_DIR] " + folder + "\n" + file + " 3\n" + first + " 3\n" +
                      second + " 3\n"));
    EXPECT_EQ(names, (name_map_C{{"data\\자료", 1},
                                 {"data\\자료\\한글.txt.gz." + md5_of_abc, 0},
                                 {"똠.dat.gz." + md5_of_abc, 0},
                                 {"똂.dat.gz." + md5_of_abc, 0}}));
    EXPECT_EQ(records["data\\자료\\한글.txt.gz." + md5_of_abc].name,
              "data\\자료\\한글.txt.gz." + md5_of_abc);

    // 한 in UTF-8, as a listing of no fixed code page held it.
    EXPECT_FALSE(parse("1\n\xED\x95\x9C.txt.gz." + md5_of_abc + " 3\n"));
    EXPECT_TRUE(log_has("from_ls_txt_2_map_with_file_size  [NAME NOT IN CODE PAGE 949 : "
                        "\xED\x95\x9C.txt.gz." + md5_of_abc + "]"));
    EXPECT_FALSE(parse("1\n[201274_DIR] data\\\xC7\n"));
}

// A zero byte early in an overlong line must not hide its length: the rest
// past the buffer would read as an entry of its own.
TEST_F(Listing, ZeroByteEarlyInAnOverlongLineStillFails) {
    const std::string entry = "a.txt.gz." + md5_of_abc;
    std::string line = entry + " 5";
    line += '\0';
    line.resize(511, 'x');
    EXPECT_FALSE(parse("1\n" + line + "evil.exe.gz." + md5_of_abc + " 5\n"));
    EXPECT_TRUE(log_has("from_ls_txt_2_map_with_file_size  [LINE TOO LONG]"));
    // The same text cut short of the buffer is one line, read up to its zero.
    line.resize(300);
    ASSERT_TRUE(parse("1\n" + line + "\n"));
    EXPECT_EQ(names, (name_map_C{{entry, 0}}));
}

// The mirror's version goes on as a command line: only its first line,
// and nothing a lone carriage return would start.
TEST_F(Listing, MirrorVersionIsItsFirstLineUpToAnyLineEnd) {
    for (const char* text : {"2.5\n3.0\n", "2.5\r\n", "2.5\rnext --flag\n", "2.5"}) {
        write_file("version.txt", text);
        version = "UNSET";
        ASSERT_TRUE(read_version_txt(run, "version.txt", version)) << text;
        EXPECT_EQ(version, "2.5") << text;
    }
    write_file("version.txt", "");
    EXPECT_FALSE(read_version_txt(run, "version.txt", version));
    EXPECT_FALSE(read_version_txt(run, "missing.txt", version));
}

class LocalListing : public UpdaterTest {};

TEST_F(LocalListing, ListsTreeWithDigestsAndLeavesProtectedRootFilesOut) {
    ASSERT_TRUE(qp::create_directory("sub"));
    ASSERT_TRUE(qp::create_directory("sub\\empty"));
    write_file("a.txt", "abc");
    write_file("sub/report.txt", "");
    write_file("version.txt", "1.0");
    write_file("QuillUpdate.exe", "x");
    write_file("ls_static.txt", "1.0\n");
    name_map_C names{{"kept from before", 1}};
    ASSERT_TRUE(create_ls_txt_file(run, run.root_path, g_compressed_tree_name, names));
    EXPECT_EQ(names, (name_map_C{{"a.txt.gz." + md5_of_abc, 0},
                                 {"kept from before", 1},
                                 {"sub", 1},
                                 {"sub\\empty", 1},
                                 {"sub\\report.txt.gz." + md5_of_empty, 0}}));
    EXPECT_EQ(read_text_file("ls.txt"), "a.txt.gz." + md5_of_abc + "\n[201274_DIR] sub\n" +
                                            "[201274_DIR] sub\\empty\nsub\\report.txt.gz." +
                                            md5_of_empty + "\n");
    EXPECT_TRUE(log_has("create_ls_txt_file [IN]"));
}

TEST_F(LocalListing, EmptyTreeGivesEmptyListing) {
    name_map_C names;
    ASSERT_TRUE(create_ls_txt_file(run, run.root_path, g_compressed_tree_name, names));
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(read_text_file("ls.txt"), "");
}

TEST_F(LocalListing, FileWhoseNameHoldsGzKeepsItsWholeName) {
    // The first ".gz" of such a name is no compression suffix: the check
    // that every listed file exists must find it under its own name.
    write_file("notes.gz.txt", "abc");
    name_map_C names;
    ASSERT_TRUE(create_ls_txt_file(run, run.root_path, g_compressed_tree_name, names));
    EXPECT_EQ(names, (name_map_C{{"notes.gz.txt.gz." + md5_of_abc, 0}}));
    std::string plain;
    ASSERT_TRUE(plain_path_of_entry("notes.gz.txt.gz." + md5_of_abc, plain));
    EXPECT_EQ(plain, "notes.gz.txt");
    EXPECT_FALSE(plain_path_of_entry("notes.txt", plain));
}

TEST_F(LocalListing, KoreanNamesAreListedInCodePage949InTheOrderOfThoseBytes) {
    ASSERT_TRUE(qp::create_directory("자료"));
    write_file("자료/한글.txt", "abc");
    write_file("가.txt", "");
    write_file("똠.txt", "");
#ifndef _WIN32
    // Only here can a name hold what code page 949 lacks: the player's file.
    write_file("\xF0\x9F\x98\x80.txt", "abc");
#endif
    name_map_C names;
    ASSERT_TRUE(create_ls_txt_file(run, run.root_path, g_compressed_tree_name, names));
    EXPECT_EQ(names, (name_map_C{{"가.txt.gz." + md5_of_empty, 0},
                                 {"똠.txt.gz." + md5_of_empty, 0},
                                 {"자료", 1},
                                 {"자료\\한글.txt.gz." + md5_of_abc, 0}}));
    // 똠 (8C 63) sorts before 가 (B0 A1) by its bytes, after it in Unicode.
    EXPECT_EQ(read_text_file("ls.txt"), "\x8C\x63.txt.gz." + md5_of_empty +
                                            "\n\xB0\xA1.txt.gz." + md5_of_empty +
                                            "\n[201274_DIR] \xC0\xDA\xB7\xE1\n"
                                            "\xC0\xDA\xB7\xE1\\\xC7\xD1\xB1\xDB.txt.gz." +
                                            md5_of_abc + "\n");
#ifndef _WIN32
    EXPECT_TRUE(log_has("create_ls_txt_file  [NAME NOT IN CODE PAGE 949, LEFT ALONE : "
                        "\xF0\x9F\x98\x80.txt]"));
    EXPECT_EQ(read_text_file("\xF0\x9F\x98\x80.txt"), "abc");
#endif
}

TEST(Versions, LeadingNumbersCompareInSinglePrecision) {
    EXPECT_TRUE(versions_are_equal("1.10", "1.1"));
    EXPECT_TRUE(versions_are_equal("1.2a", "1.2\n"));
    EXPECT_TRUE(versions_are_equal("release", "0"));
    EXPECT_TRUE(versions_are_equal("1.00000001", "1"));
    EXPECT_FALSE(versions_are_equal("1.0001", "1"));
    EXPECT_FALSE(versions_are_equal("1.1", "1.2"));
    EXPECT_FALSE(versions_are_equal("UNSET", "3.5"));
}

TEST(ProtectedFiles, OnlyRootLevelNamesMatch) {
    EXPECT_TRUE(is_protected_file("report.txt"));
    EXPECT_TRUE(is_protected_file("QuillUpdate.exe"));
    EXPECT_TRUE(is_protected_file("gl_Info.txt"));
    EXPECT_FALSE(is_protected_file("sub\\report.txt"));
    EXPECT_FALSE(is_protected_file("Report.txt"));
    EXPECT_FALSE(is_protected_file("ver_C"));
    // The record of placed files is never listed, so never deleted.
    EXPECT_TRUE(is_protected_file("ls_placed.txt"));
    EXPECT_TRUE(is_protected_file("ls_placed.txt.new"));
}

} // namespace
