// The whole updater program against real FTP mirrors, each test from an
// empty installation folder.
#include <algorithm>
#include <string>
#include <vector>

#include "updater_program_fixture.h"

namespace {

using namespace updater_test;

TEST_F(UpdaterProgram, FirstInstallPlacesTheTreeAndStartsTheClientWithTheVersion) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "hello\n"},
                 {"data/maps/world.map", std::string(70000, 'w')},
                 {"data/empty.dat", ""}});
    publish("1.0 first", "mirror");
    write_server_list({mirror.name()});

    EXPECT_EQ(1, run_updater());

    EXPECT_EQ("1.0 first", client_command_line());
    EXPECT_EQ("hello\n", read_file("install/readme.txt"));
    EXPECT_EQ(std::string(70000, 'w'), read_file("install/data/maps/world.map"));
    EXPECT_TRUE(fs::exists("install/data/empty.dat"));
    EXPECT_EQ(read_file("mirror/ls.txt"), read_file("install/ls_static.txt"));
    EXPECT_FALSE(fs::exists("install/ls_remote.txt"));
    EXPECT_TRUE(reported("rename : ls_remote.txt => ls_static.txt  [SUCCESS]"));
    // No temporary download is left in the root.
    for (const auto& entry : fs::directory_iterator("install"))
        EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".gz."))
            << entry.path();
}

TEST_F(UpdaterProgram, EqualVersionsFetchOnlyTheVersionAndStartTheStaticOne) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "hello\n"}});
    publish("2.10", "mirror");
    write_server_list({mirror.name()});
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("2.10", client_command_line());
    fs::remove("install/parameters.txt");

    // The mirror now says "2.1" (the same number) and has lost everything
    // else: nothing but "version.txt" may be needed.
    fs::remove_all("mirror");
    fs::create_directories("mirror");
    write_file("mirror/version.txt", "2.1\n");
    write_file("install/readme.txt", "changed locally\n");

    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("2.10", client_command_line());
    EXPECT_TRUE(reported("do_client_auto_update  [static_version and dynamic_version are the "
                         "same, nothing to do]"));
    EXPECT_TRUE(reported("static_version = 2.10, dynamic_version = 2.1"));
    EXPECT_EQ("changed locally\n", read_file("install/readme.txt"));
}

TEST_F(UpdaterProgram, PlainListingServesWhenTheCompressedOneIsMissing) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"data/a.dat", "alpha"}});
    publish("3.0", "mirror");
    fs::remove("mirror/ls_compressed.txt.gz");
    write_server_list({mirror.name()});

    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("3.0", client_command_line());
    EXPECT_EQ("alpha", read_file("install/data/a.dat"));
    EXPECT_TRUE(reported("do_client_auto_update  [-- UNABLE TO RETRIEVE THE ls_compressed.txt.gz "
                         "FILE --]"));
    EXPECT_TRUE(reported("do_client_auto_update  [remote ls.txt RETRIEVED SUCCESFULLY]"));
}

TEST_F(UpdaterProgram, FailedFirstRunIsNotRetriedAndStartsNothing) {
    // A mirror that refuses every connection, and a game client that must
    // not start.
    quill_test::FtpServer mirror("mirror");
    write_server_list({mirror.refused_name()});
    quill_test::install_program(quill_test::recorder_program(), "install/ClientApp.exe");

    EXPECT_EQ(1, run_updater());
    EXPECT_FALSE(client_started_soon());
    EXPECT_TRUE(reported("do_client_auto_update  [the cause is : CONNECTION FAILURE]"));
    // Without a static listing to delete there is no second run, which
    // would have listed the disk a second time.
    const std::string log = report();
    const std::string listing = "create_ls_txt_file [IN]";
    ASSERT_NE(std::string::npos, log.find(listing));
    EXPECT_EQ(std::string::npos, log.find(listing, log.find(listing) + 1));
    EXPECT_FALSE(fs::exists("install/ls_static.txt"));
}

TEST_F(UpdaterProgram, UnreachableMirrorsWithAStaticListingRetryOnceThenFail) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "hello\n"}});
    publish("1.0", "mirror");
    write_server_list({mirror.name()});
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("1.0", client_command_line());
    fs::remove("install/parameters.txt");

    write_server_list({mirror.refused_name()});
    EXPECT_EQ(1, run_updater());
    EXPECT_FALSE(client_started_soon());
    EXPECT_TRUE(reported("do_client_auto_update  [version.txt COULD NOT BE RETRIEVED (and "
                         "connection FAILED)]"));
    EXPECT_TRUE(reported("do_client_auto_update  [the cause is : CONNECTION FAILURE]"));
    // The retry listed the disk, since the static listing was gone.
    EXPECT_NE(std::string::npos, report().find("create_ls_txt_file [IN]"));
    EXPECT_FALSE(fs::exists("install/ls_static.txt"));
    EXPECT_EQ("hello\n", read_file("install/readme.txt"));
}

TEST_F(UpdaterProgram, UpdateFromOneVersionToTheNext) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "version one\n"},
                 {"data/old.dat", "to be removed"},
                 {"data/same.dat", "unchanged"}});
    publish("1", "mirror");
    write_server_list({mirror.name()});
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("1", client_command_line());
    fs::remove("install/parameters.txt");

    make_source({{"readme.txt", "version two\n"},
                 {"data/same.dat", "unchanged"},
                 {"data/new.dat", "brand new"},
                 {"music/theme/intro.ogg", std::string(3000, 'm')}});
    publish("2", "mirror");

    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("2", client_command_line());
    EXPECT_EQ("version two\n", read_file("install/readme.txt"));
    EXPECT_FALSE(fs::exists("install/data/old.dat"));
    EXPECT_EQ("unchanged", read_file("install/data/same.dat"));
    EXPECT_EQ("brand new", read_file("install/data/new.dat"));
    EXPECT_EQ(std::string(3000, 'm'), read_file("install/music/theme/intro.ogg"));
    EXPECT_TRUE(reported("do_client_auto_update  [static_version and dynamic_version are "
                         "different]"));
    EXPECT_EQ(read_file("mirror/ls.txt"), read_file("install/ls_static.txt"));
}

TEST_F(UpdaterProgram, WithoutAServerListNothingIsTouchedOrStarted) {
    quill_test::install_program(quill_test::recorder_program(), "install/ClientApp.exe");
    write_file("install/keep.dat", "mine");

    EXPECT_EQ(1, run_updater());
    EXPECT_FALSE(client_started_soon());
    EXPECT_TRUE(reported("load_server_list_2  [ERROR : CAN'T OPEN SERVER LIST FILE (FILE ver_C)]"));
    EXPECT_EQ(std::string::npos, report().find("do_client_auto_update"));
    EXPECT_EQ("mine", read_file("install/keep.dat"));
    EXPECT_FALSE(fs::exists("install/ls.txt"));
}

TEST_F(UpdaterProgram, AFailedCrashLogUploadOnlyWarnsAndTheUpdateGoesOn) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "hello\n"}});
    publish("7.0", "mirror");
    write_server_list({mirror.name()});
    write_file("install/log_client.txt", "the client crashed\n");
    set_environment("QUILL_CRASHLOG_HOST", mirror.refused_name().c_str());

    const int code = run_updater();
    set_environment("QUILL_CRASHLOG_HOST", "");
    EXPECT_EQ(1, code);
    EXPECT_TRUE(reported("main: WARNING : process_crash_log_file  [FAILED]"));
    EXPECT_FALSE(fs::exists("install/log_client.txt"));
    EXPECT_EQ("7.0", client_command_line());
    EXPECT_EQ("hello\n", read_file("install/readme.txt"));
}

TEST_F(UpdaterProgram, RunKilledInTheMiddleIsRecoveredByTheNextRun) {
    // Slow enough that the download is still on its way when the run is
    // killed, however fast the machine.
    quill_test::FtpServerOptions slow;
    slow.send_rate = 8 << 20;
    quill_test::FtpServer mirror("mirror", slow);
    const std::string big = incompressible(8 << 20);
    make_source({{"readme.txt", "hello\n"}, {"data/big.bin", big}});
    publish("5.0", "mirror");
    write_server_list({mirror.name()});

    qp::ChildHandle run = start_updater();
    ASSERT_NE(nullptr, run);
    qp::Clock& real = qp::system_clock();
    const uint32_t start = real.tick_count();
    bool caught = false;
    while (!caught && qp::child_running(run) && real.tick_count() - start < 60000) {
        caught = download_in_progress("install");
        if (!caught)
            real.sleep(2);
    }
    qp::child_kill(run);
    ASSERT_TRUE(caught) << "the run ended before its download could be interrupted";
    ASSERT_TRUE(download_in_progress("install"));
    ASSERT_FALSE(fs::exists("install/parameters.txt"));

    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("5.0", client_command_line());
    EXPECT_TRUE(reported("process_recovery  [LAST SESSION HAS CRASHED]"));
    EXPECT_FALSE(download_in_progress("install"));
    EXPECT_TRUE(read_file("install/data/big.bin") == big);
    EXPECT_EQ(read_file("mirror/ls.txt"), read_file("install/ls_static.txt"));
}



TEST_F(UpdaterProgram, PlayersFilesSurviveAFirstInstallAnUpdateAndAFailedRunWithItsRetry) {
    quill_test::FtpServer mirror("mirror");
    put_players_files();
    make_source({{"readme.txt", "one"}, {"data/old.dat", "dropped later"},
                 {"data/old2.dat", "dropped later too"}, {"data/same.dat", "same"}});
    publish("1", "mirror");
    write_server_list({mirror.name()});
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("1", client_command_line());
    expect_players_files("after the first install");
    EXPECT_TRUE(reported("delete_useless_local_files  [KEPT, NOT PLACED BY THE UPDATER : "
                         "Desktop\\letter.txt]"));
    EXPECT_TRUE(reported("delete_useless_local_folders  [KEPT, NOT PLACED BY THE UPDATER : "
                         "screenshots]"));
    fs::remove("install/parameters.txt");

    make_source({{"readme.txt", "two"}, {"data/old2.dat", "dropped later too"},
                 {"data/same.dat", "same"}});
    publish("2", "mirror");
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("2", client_command_line());
    EXPECT_FALSE(fs::exists("install/data/old.dat"));
    expect_players_files("after an update");
    fs::remove("install/parameters.txt");

    // One file missing on the mirror fails the run; the retry lists the
    // disk without the static listing and fails as well.
    make_source({{"readme.txt", "three"}, {"data/same.dat", "same"}});
    publish("3", "mirror");
    for (const auto& entry : fs::directory_iterator("mirror"))
        if (entry.path().filename().string().rfind("readme.txt.gz.", 0) == 0)
            fs::remove(entry.path());
    EXPECT_EQ(1, run_updater());
    EXPECT_FALSE(client_started_soon());
    EXPECT_FALSE(fs::exists("install/ls_static.txt"));
    EXPECT_NE(std::string::npos, report().find("create_ls_txt_file [IN]"));
    expect_players_files("after a failed run and its retry");

    // Without "ls_static.txt" the disk is listed, and the file that version
    // 2 placed and version 3 drops still goes.
    publish("3", "mirror");
    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("3", client_command_line());
    EXPECT_FALSE(fs::exists("install/data/old2.dat"));
    EXPECT_EQ("three", read_file("install/readme.txt"));
    expect_players_files("after the mended run");
}

TEST_F(UpdaterProgram, TheRecordOfPlacedFilesIsMadeAfreshFromTheStaticListing) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "one"}, {"data/old.dat", "dropped later"}});
    publish("1", "mirror");
    write_server_list({mirror.name()});
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("1", client_command_line());
    fs::remove("install/parameters.txt");
    // An installation made before the record existed.
    ASSERT_TRUE(fs::remove("install/ls_placed.txt"));
    put_players_files();

    make_source({{"readme.txt", "two"}});
    publish("2", "mirror");
    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("2", client_command_line());
    EXPECT_TRUE(reported("do_client_auto_update  [ls_placed.txt MADE AFRESH FROM ls_static.txt]"));
    EXPECT_FALSE(fs::exists("install/data/old.dat"));
    expect_players_files("after the update");
    EXPECT_NE(std::string::npos, read_file("install/ls_placed.txt").find("readme.txt\n"));
}

TEST_F(UpdaterProgram, ARefusedListingLeavesTheFolderAsItWas) {
    quill_test::FtpServer mirror("mirror");
    put_players_files();
    make_source({{"readme.txt", "one"}, {"data/a.dat", "alpha"}});
    publish("1", "mirror");
    write_server_list({mirror.name()});
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("1", client_command_line());
    fs::remove("install/parameters.txt");

    const std::string digest = "0123456789abcdef0123456789abcdef";
    const std::string listing = read_file("mirror/ls.txt");
    const std::string body = listing.substr(listing.find('\n') + 1);
    for (const std::string& bad : std::vector<std::string>{"x.gz\\ver_C 30\n",
                                   "ver_C.gz." + digest + " 30\n",
                                   "data\\nul.gz." + digest + " 30\n",
                                   "Data\\A.dat.gz." + digest + " 30\n",
                                   std::string("data\\a.dat.gz.123 30\n")}) {
        const auto before = snapshot("install");
        fs::remove("mirror/ls_compressed.txt.gz");
        write_file("mirror/ls.txt", "2\n" + bad + body);
        write_file("mirror/version.txt", "2\n");
        EXPECT_EQ(1, run_updater()) << bad;
        EXPECT_FALSE(client_started_soon()) << bad;
        EXPECT_EQ(before, snapshot("install")) << bad;
    }
    expect_players_files("after the refused listings");
}

TEST_F(UpdaterProgram, EveryRunSucceedsBesideAMirrorThatBreaksOrLies) {
    make_source({{"readme.txt", "hello, hello, hello, hello"},
                 {"data/a.dat", std::string(20000, 'a') + "end"}});
    publish("1.0", "mirror");
    fs::copy("mirror", "breaking", fs::copy_options::recursive);
    fs::copy("mirror", "lying", fs::copy_options::recursive);
    quill_test::FtpServer good("mirror");
    quill_test::FtpServerOptions breaks;
    breaks.break_transfers = true;
    quill_test::FtpServer breaking("breaking", breaks);
    quill_test::FtpServerOptions lies;
    lies.wrong_digest = true;
    quill_test::FtpServer lying("lying", lies);

    for (const auto& bad : {breaking.name(), lying.name()}) {
        for (const auto& order : {std::vector<std::string>{bad, good.name()},
                                  std::vector<std::string>{good.name(), bad}}) {
            // The client of the run before may still be ending.
            quill_test::remove_folder_once_free("install");
            fs::create_directories("install");
            write_server_list(order);
            EXPECT_EQ(1, run_updater());
            EXPECT_EQ("1.0", client_command_line()) << order[0] << " " << order[1];
            EXPECT_EQ(std::string(20000, 'a') + "end", read_file("install/data/a.dat"));
        }
    }
}

TEST_F(UpdaterProgram, ARunKilledBeforeItsFileIsPlacedLeavesNoWrongFileAtItsPath) {
    const std::string big = incompressible(8 << 20);
    make_source({{"big.bin", big}});
    publish("5.0", "mirror");
    fs::copy("mirror", "lying", fs::copy_options::recursive);
    quill_test::FtpServerOptions lies;
    lies.wrong_digest = true;
    {
        quill_test::FtpServer lying("lying", lies);
        write_server_list({lying.name()});
        qp::ChildHandle run = start_updater();
        ASSERT_NE(nullptr, run);
        qp::Clock& real = qp::system_clock();
        const uint32_t start = real.tick_count();
        bool downloaded = false;
        bool wrong_file_placed = false;
        // Until one copy has been downloaded, uncompressed and refused, and
        // the next one is on its way: then the run is killed.
        for (int poll = 0; !downloaded && qp::child_running(run) &&
                           real.tick_count() - start < 60000;
             ++poll) {
            wrong_file_placed = wrong_file_placed || fs::exists("install/big.bin");
            if (poll % 20 == 0)
                downloaded = report().find("[WRONG CONTENT FROM SERVER") != std::string::npos;
            real.sleep(1);
        }
        qp::child_kill(run);
        ASSERT_TRUE(downloaded) << "the run ended before its download arrived";
        EXPECT_FALSE(wrong_file_placed);
        EXPECT_FALSE(fs::exists("install/big.bin"));
    }
    quill_test::FtpServer good("mirror");
    write_server_list({good.name()});
    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("5.0", client_command_line());
    EXPECT_TRUE(read_file("install/big.bin") == big);
    for (const auto& entry : fs::directory_iterator("install"))
        EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".gz"))
            << entry.path();
}

// Korean names travel in code page 949 through listings, the mirror and the
// FTP wire on both systems, and land under the system's own names. The
// mirror keeps its names in those bytes and passes them through unchanged.
TEST_F(UpdaterProgram, KoreanNamesInstallUpdateAndGoWhileThePlayersOwnStay) {
    quill_test::FtpServerOptions cp949;
    cp949.cp949_names = true;
    quill_test::FtpServer mirror("mirror", cp949);
    const std::string korean_file = "install/data/자료/한글자료.txt";
    const std::string players_file = "install/data/자료/내 메모.txt";
    make_source({{"readme.txt", "one"}, {"data/a.dat", "a"}});
    ASSERT_TRUE(qp::create_directory("source\\data\\자료"));
    write_file("source/data/자료/한글자료.txt", "안녕하세요");
    write_file("source/data/자료/map.dat", "map one");
    publish("1", "mirror");
    // 자료\한글자료.txt in code page 949, as the listing names it.
    const std::string listed = "\\\xC0\xDA\xB7\xE1\\\xC7\xD1\xB1\xDB\xC0\xDA\xB7\xE1.txt.gz.";
    EXPECT_NE(std::string::npos, read_file("mirror/ls.txt").find(listed));
    write_server_list({mirror.name()});
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("1", client_command_line());
    EXPECT_EQ("안녕하세요", read_file(korean_file));
    EXPECT_EQ("map one", read_file("install/data/자료/map.dat"));
    EXPECT_EQ(read_file("mirror/ls.txt"), read_file("install/ls_static.txt"));
    EXPECT_NE(std::string::npos, read_file("install/ls_placed.txt").find("\xC0\xDA\xB7\xE1\\"));
    fs::remove("install/parameters.txt");

    // Version 2 drops the Korean file and its folder; the player's own file
    // in that folder keeps both.
    write_file(players_file, "the player's memo");
#ifndef _WIN32
    // A name code page 949 cannot write is the player's as well.
    write_file("install/data/자료/\xF0\x9F\x98\x80.txt", "a smile");
#endif
    make_source({{"readme.txt", "two"}, {"data/a.dat", "a"}});
    publish("2", "mirror");
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("2", client_command_line());
    EXPECT_FALSE(qp::path_exists(korean_file.c_str()));
    EXPECT_FALSE(qp::path_exists("install/data/자료/map.dat"));
    EXPECT_EQ("the player's memo", read_file(players_file));
#ifndef _WIN32
    EXPECT_EQ("a smile", read_file("install/data/자료/\xF0\x9F\x98\x80.txt"));
#endif
    EXPECT_EQ("two", read_file("install/readme.txt"));
}

TEST_F(UpdaterProgram, ThePublisherRefusesAVersionTheUpdaterCannotTellApart) {
    make_source({{"readme.txt", "one"}});
    publish("20261208", "mirror");
    const std::string listing = read_file("mirror/ls.txt");
    make_source({{"readme.txt", "two"}});
    EXPECT_NE(0, run_in(".", "quill-publish", "--version 20261209 source mirror"));
    EXPECT_EQ(listing, read_file("mirror/ls.txt"));
    EXPECT_EQ("20261208\n", read_file("mirror/version.txt"));
    EXPECT_EQ(0, run_in(".", "quill-publish", "--version 20261210 source mirror"));
}

#ifndef _WIN32
// The Linux window is a module beside the program. A program found alone,
// with a display there, still does its whole run, shown as text.
TEST_F(UpdaterProgram, AnUpdaterWithoutItsWindowModuleStillInstallsAndStartsTheClient) {
    if (!getenv("DISPLAY"))
        GTEST_SKIP() << "without a display no window is asked for";
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "hello\n"}});
    publish("1.0", "mirror");
    write_server_list({mirror.name()});
    quill_test::install_program(program(updater_), "install/QuillUpdate.exe");
    ASSERT_FALSE(fs::exists("install/libquill_updater_window.so"));

    const std::string alone = qp::current_directory() + "/install/QuillUpdate.exe";
    qp::set_current_directory("install");
    qp::run_program(alone.c_str(), "");
    qp::set_current_directory("..");

    EXPECT_EQ("1.0", client_command_line());
    EXPECT_EQ("hello\n", read_file("install/readme.txt"));
    EXPECT_TRUE(reported("rename : ls_remote.txt => ls_static.txt  [SUCCESS]"));
}
#endif

} // namespace

