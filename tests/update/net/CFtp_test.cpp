#include "net/CFtp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/remote_records.h"
#include "net/mirror_choice.h"
#include "support/ftp_server.h"
#include "support/scratch_dir.h"
#include "update/net/net_fixture.h"

namespace {

namespace fs = std::filesystem;
using quill_test::FtpServer;
using quill_test::read_file;
using quill_test::write_file;
// Bytes of every value, the same in every run.
const auto content_of_size = quill_test::incompressible;

class Ftp : public NetTest {
protected:
    void list_size(const std::string& listing_name, int32_t size) {
        run.remote_records[listing_name].size = size;
    }
};

TEST_F(Ftp, ARefusingMirrorRunsOutOfLaps) {
    FtpServer server("mirror");
    add_server(server.refused_name());
    start_choosing();
    const uint32_t before = clock.tick_count();

    CFtp ftp(run);
    EXPECT_FALSE(ftp.connect_to_random_server());
    EXPECT_FALSE(ftp.is_connected());
    EXPECT_TRUE(ftp.last_open_failed());
    EXPECT_TRUE(run.last_connection_failed);
    EXPECT_TRUE(log_has("CFtp::connect_to_random_server  :  nb_lap_max=10"));
    EXPECT_EQ(count_lines("CFtp::connect_to_random_server  [CONNECTION FAILED ON " +
                          server.refused_name() + "]"),
              10);
    EXPECT_EQ(count_lines("CFtp::OpenConnection  [ABSOLUTE_CONNECTION_FAILURE]"), 10);
    // One index per shake: the loader's, then a fresh one for each retry.
    EXPECT_EQ(count_lines("*--------[server_manager_C::generate_one_shake]----------*"), 10);
    EXPECT_TRUE(log_has("CFtp::connect_to_random_server [EXCEEDEED MAX_LAP BUT NO CONNECTION "
                        "SUCCEEDED !!]"));
    ASSERT_FALSE(shown.status_texts.empty());
    EXPECT_EQ(shown.status_texts.back(), "Sorry, ran out of Lap");
    EXPECT_EQ(shown.status_texts[0], "connection could not be completed");
    EXPECT_EQ(shown.status_texts[1], "Connection FAILED (server 0)");
    EXPECT_EQ(shown.status_texts[2], "FAILED ON SERVER 0 => trying another server");
    ASSERT_FALSE(shown.lamps.empty());
    EXPECT_EQ(shown.lamps.back(), lamp_error);
    // Per lap: four blink pauses of 100 ms and 500 ms; 500 ms at the end.
    EXPECT_EQ(clock.tick_count() - before, 10u * 900u + 500u);
}

TEST_F(Ftp, DownloadsAFileWholeAndSizesTheBarFromTheListing) {
    FtpServer server("mirror");
    fs::create_directories("mirror/pub/data");
    add_server(server.name(), "/pub");
    start_choosing();
    run.file_current = 4;
    run.file_count = 9;

    struct Case {
        size_t size;
        int units;
    };
    for (const Case& c : {Case{1024, 2}, Case{1025, 3}, Case{0, 0}}) {
        SCOPED_TRACE(c.size);
        const std::string name = "f" + std::to_string(c.size) + ".bin";
        write_file("mirror/pub/data/" + name, content_of_size(c.size));
        list_size("data\\" + name, static_cast<int32_t>(c.size));
        CFtp ftp(run);
        ASSERT_TRUE(ftp.GetFtpFile_unsafe_clever("data/" + name, name));
        EXPECT_EQ(read_file(name), content_of_size(c.size));
        EXPECT_TRUE(log_has("so that nb_unit = " + std::to_string(c.units)));
        EXPECT_TRUE(log_has("CFtp::GetFtpFile_unsafe_clever   :   m_filo_2[data\\" + name +
                            "].size = " + std::to_string(c.size)));
        EXPECT_EQ(shown.download_bar.maximum, c.units);
        EXPECT_EQ(shown.download_bar.position, c.units);
    }
    EXPECT_EQ(shown.status_texts.back(), "( 4 / 9 )");
    EXPECT_EQ(shown.lamps.back(), lamp_connected);
    // One connection choice for the whole run: the mirror was kept.
    EXPECT_EQ(count_lines("server_manager_C::gime_random_server  [CHOSEN_SERVER : 0]"), 1);

    // A file the listing does not name counts as 747400 bytes.
    write_file("mirror/pub/version.txt", "1.5");
    CFtp ftp(run);
    ASSERT_TRUE(ftp.GetFtpFile_unsafe_clever("version.txt", "version.txt"));
    EXPECT_TRUE(log_has("so that nb_unit = 1460"));
    EXPECT_EQ(read_file("version.txt"), "1.5");
}

TEST_F(Ftp, AFileMissingOnOneMirrorIsFetchedFromAnother) {
    FtpServer first("mirror0");
    FtpServer second("mirror1");
    add_server(first.name());
    add_server(second.name());
    start_choosing();
    CFtp probe(run);
    ASSERT_TRUE(probe.connect_to_random_server());
    const int kept = run.current_server_index;
    const int other = 1 - kept;
    const std::string content = content_of_size(3000);
    write_file("mirror" + std::to_string(other) + "/a.bin.gz.0123", content);

    CFtp ftp(run);
    ASSERT_TRUE(ftp.GetFtpFile_unsafe_clever("a.bin.gz.0123", "a.bin.gz.0123"));
    EXPECT_EQ(read_file("a.bin.gz.0123"), content);
    EXPECT_EQ(run.current_server_index, other);
    for (int chance = 10; chance >= 1; --chance)
        EXPECT_EQ(count_lines("( 0 / 0 ) CHANCE REMAINING : " + std::to_string(chance)), 1);
    EXPECT_TRUE(log_has_run({
        "CFtp::GetFtpFile_unsafe_clever  [FtpOpenFile FAILED for file on this server: a.bin.gz.0123]",
        "CFtp::GetFtpFile_unsafe_clever  [TRYING TO CLOSE FORMER CONNECTION]",
        "CFtp::GetFtpFile_unsafe_clever  [TRYING TO PICK A RANDOM SERVER]",
    }));
    EXPECT_TRUE(log_has("CFtp::GetFtpFile_unsafe_clever  [RANDOM SERVER PICKED SUCCESFULLY]"));
    EXPECT_NE(std::find(shown.status_texts.begin(), shown.status_texts.end(),
                        "Connected to server " + std::to_string(other)),
              shown.status_texts.end());
}

TEST_F(Ftp, AFileNoMirrorHasLeavesNothingBehind) {
    FtpServer server("mirror");
    add_server(server.name());
    start_choosing();
    write_file("wanted.bin", "old content");
    CFtp ftp(run);
    EXPECT_FALSE(ftp.GetFtpFile_unsafe_clever("wanted.bin", "wanted.bin"));
    EXPECT_FALSE(fs::exists("wanted.bin"));
    EXPECT_EQ(count_lines("CFtp::GetFtpFile_unsafe_clever  [RANDOM SERVER PICKED SUCCESFULLY]"), 10);
    EXPECT_EQ(count_lines("( 0 / 0 ) CHANCE REMAINING : 1"), 10);
    EXPECT_EQ(shown.status_texts.back(), "can't succeed whatsoever");
}

TEST_F(Ftp, ATransferBrokenOffHalfWayFailsAndLeavesNoHalfFile) {
    quill_test::FtpServerOptions options;
    options.cut_after = 2000;
    FtpServer server("mirror", options);
    add_server(server.name());
    start_choosing();
    write_file("mirror/big.bin", content_of_size(300000));

    CFtp ftp(run);
    EXPECT_FALSE(ftp.GetFtpFile_unsafe_clever("big.bin", "big.bin"));
    EXPECT_FALSE(fs::exists("big.bin"));
    bool read_failed = false;
    for (const std::string& line : log_lines())
        read_failed = read_failed ||
                      line.rfind("CFtp::GetFtpFile_unsafe_clever  [InternetReadFile FAILED", 0) == 0;
    EXPECT_TRUE(read_failed);
}

TEST_F(Ftp, ALocalFileThatCannotBeWrittenFailsBeforeAnyTransfer) {
    FtpServer server("mirror");
    write_file("mirror/a.bin", "abc");
    add_server(server.name());
    start_choosing();
    CFtp ftp(run);
    EXPECT_FALSE(ftp.GetFtpFile_unsafe_clever("a.bin", "no_folder\\a.bin"));
    EXPECT_TRUE(log_has("CFtp::GetFtpFile_unsafe_clever  [CAN'T OPEN LOCAL FILE no_folder\\a.bin]"));
}

TEST_F(Ftp, OpenConnectionChangesIntoTheMirrorFolder) {
    FtpServer server("mirror");
    fs::create_directories("mirror/pub/quill");
    CFtp ftp(run);
    EXPECT_EQ(ftp.OpenConnection(server.name(), "/pub/nothing"), 0);
    EXPECT_TRUE(ftp.last_open_failed());
    EXPECT_TRUE(log_has("CFtp::OpenConnection  [*** FtpSetCurrentDirectory(/pub/nothing)  <FAILED> ]"));
    EXPECT_EQ(ftp.OpenConnection(server.name(), "/pub/quill"), 1);
    EXPECT_FALSE(ftp.last_open_failed());
    EXPECT_TRUE(log_has("OpenConnection(Servername:" + server.name() +
                        ",Directory:/pub/quill,strUser:,strPass:)"));

    add_server(server.name(), "/pub/quill");
    start_choosing();
    ASSERT_TRUE(choose_randomly_FTP_server(run));
    CFtp other(run);
    std::string folder;
    ASSERT_TRUE(other.get_remote_current_dir(folder));
    EXPECT_EQ(folder, "/pub/quill");
}

TEST_F(Ftp, PutUploadsWithTheNamedAccount) {
    quill_test::FtpServerOptions options;
    options.user = "quill";
    options.password = "rvoplank";
    FtpServer server("logs", options);
    fs::create_directories("logs/home/quill/LOG");
    const std::string content = content_of_size(5000) + "\r\n";
    write_file("log_client.txt", content);

    CFtp refused(run);
    EXPECT_FALSE(refused.PutFtpFile("quill", "wrong", server.name(), "/home/quill/LOG",
                                    run.root_path + "\\log_client.txt", "x.txt"));
    EXPECT_TRUE(log_has("CFtp::PutFtpFile   [ABSOLUTE_CONNECT_FAILURE]"));

    CFtp missing(run);
    EXPECT_FALSE(missing.PutFtpFile("quill", "rvoplank", server.name(), "/home/quill/LOG",
                                    "nothing.txt", "x.txt"));
    EXPECT_TRUE(log_has("PutFtpFile [CANT FIND SOURCE FILE : nothing.txt]"));

    CFtp ftp(run);
    ASSERT_TRUE(ftp.PutFtpFile("quill", "rvoplank", server.name(), "/home/quill/LOG",
                               "log_client.txt", "log_client_1_2.txt"));
    EXPECT_EQ(read_file("logs/home/quill/LOG/log_client_1_2.txt"), content);
    EXPECT_TRUE(log_has("PutFtpFile : FROM : log_client.txt --> TO: log_client_1_2.txt  [SUCCESS]"));
    EXPECT_TRUE(fs::exists("pref_201274.txt"));
}

// The lines one download writes, from its first to its last.
std::vector<std::string> lines_of_download(const std::vector<std::string>& log,
                                           const std::string& remote_name) {
    const auto first = std::find(log.begin(), log.end(),
                                 "GetFtpFile_unsafe_clever(" + remote_name + ", " + remote_name + ")");
    auto last = first;
    while (last != log.end() && *last != "InternetReadFile   [READ 0 BYTES]")
        ++last;
    return last == log.end() ? std::vector<std::string>() : std::vector<std::string>(first, last + 1);
}

TEST_F(Ftp, FilesOfOneMirrorShareOneLogonAndLogAsBefore) {
    FtpServer server("mirror");
    add_server(server.name());
    start_choosing();
    for (int i = 0; i < 4; ++i)
        write_file("mirror/f" + std::to_string(i) + ".bin", content_of_size(700 + 600 * i));

    for (int i = 0; i < 4; ++i) {
        const std::string name = "f" + std::to_string(i) + ".bin";
        CFtp ftp(run);
        ASSERT_TRUE(ftp.GetFtpFile_unsafe_clever(name, name));
        EXPECT_EQ(read_file(name), content_of_size(700 + 600 * i));
    }
    EXPECT_EQ(server.sessions().opened, 1);

    // Every object still connects, line for line as with a logon of its own.
    const std::vector<std::string> log = log_lines();
    const std::string open = "OpenConnection(Servername:" + server.name() + ",Directory:/,strUser:,strPass:)";
    EXPECT_EQ(count_lines(open), 4);
    EXPECT_EQ(count_lines("CFtp::connect_to_random_server  [CONNECTION SUCCESS ON " + server.name() + "]"), 4);
    const std::vector<std::string> third = lines_of_download(log, "f2.bin");
    ASSERT_FALSE(third.empty());
    const std::vector<std::string> expected_start = {
        "GetFtpFile_unsafe_clever(f2.bin, f2.bin)",
        "CFtp::GetFtpFile_unsafe_clever  [ABOUT TO CHOOSE A SERVER FROM LIST...]",
        "CFtp::connect_to_random_server  [ENTERING]",
        "CFtp::connect_to_random_server  :  nb_lap_max=10",
        "choose_randomly_FTP_server  [ENTERING]",
        "server_manager_C::gime_random_server  [ENTERING]",
        "choose_randomly_FTP_server  [CHOSEN_SERVER : number 0]",
        "CFtp::connect_to_random_server  [Server Chosen]",
        "CFtp::connect_to_random_server  [ABOUT TO SET RIGHTS FOR CONNECTION]",
        "CFtp::connect_to_random_server  [RIGHTS SET]",
        "CFtp::connect_to_random_server  [ABOUT TO OPEN A CONNECTION...]",
        open,
        "CFtp::connect_to_random_server  [CONNECTION SUCCESS ON " + server.name() + "]",
        "CFtp::GetFtpFile_unsafe_clever  [CONNECTED TO FTP SERVER " + server.name() + "]",
        "CFtp::GetFtpFile_unsafe_clever  [LOCAL FILE OPENED SUCCESFULLY : f2.bin]",
        "( 0 / 0 )",
        "CFtp::GetFtpFile_unsafe_clever  [REMOTE FILE OPENED SUCCESFULLY : f2.bin]",
        "CFtp::GetFtpFile_unsafe_clever   :   m_filo_2[f2.bin].size = 747400",
        "so that nb_unit = 1460",
    };
    ASSERT_GT(third.size(), expected_start.size());
    EXPECT_EQ(std::vector<std::string>(third.begin(), third.begin() + expected_start.size()),
              expected_start);
    // 1900 bytes: three whole pieces and one of 364, then the end.
    const std::vector<std::string> expected_loop = {
        "InternetReadFile   [READ 512 BYTES]", "fwrite   [512 BYTES WRITTEN TO LOCAL FILE]",
        "InternetReadFile   [READ 512 BYTES]", "fwrite   [512 BYTES WRITTEN TO LOCAL FILE]",
        "InternetReadFile   [READ 512 BYTES]", "fwrite   [512 BYTES WRITTEN TO LOCAL FILE]",
        "InternetReadFile   [READ 364 BYTES]", "fwrite   [364 BYTES WRITTEN TO LOCAL FILE]",
        "InternetReadFile   [READ 0 BYTES]",
    };
    EXPECT_EQ(std::vector<std::string>(third.begin() + expected_start.size(), third.end()),
              expected_loop);
}

TEST_F(Ftp, ASessionTheServerDroppedIsOpenedAnewWithoutAFailure) {
    quill_test::FtpServerOptions options;
    options.idle_timeout = 0.5;
    FtpServer server("mirror", options);
    add_server(server.name());
    start_choosing();
    write_file("mirror/a.bin", content_of_size(3000));
    write_file("mirror/b.bin", content_of_size(2000));
    {
        CFtp ftp(run);
        ASSERT_TRUE(ftp.GetFtpFile_unsafe_clever("a.bin", "a.bin"));
    }
    // The kept connection sits idle until the server hangs up on it.
    EXPECT_EQ(server.wait_for_sessions_to_end().closed, 1);

    CFtp ftp(run);
    ASSERT_TRUE(ftp.GetFtpFile_unsafe_clever("b.bin", "b.bin"));
    EXPECT_EQ(read_file("b.bin"), content_of_size(2000));
    EXPECT_EQ(server.sessions().opened, 2);
    EXPECT_EQ(count_lines("( 0 / 0 ) CHANCE REMAINING : 10"), 0);
    EXPECT_EQ(count_lines("CFtp::OpenConnection  [ABSOLUTE_CONNECTION_FAILURE]"), 0);
    EXPECT_FALSE(run.last_connection_failed);
}

TEST_F(Ftp, AKeptSessionGoesWithAMirrorChangeAndServesNoOtherFolder) {
    FtpServer first("mirror0");
    FtpServer second("mirror1");
    fs::create_directories("mirror0/pub");
    add_server(first.name());
    add_server(second.name());
    start_choosing();
    {
        CFtp probe(run);
        ASSERT_TRUE(probe.connect_to_random_server());
    }
    const FtpServer& kept = run.current_server_index == 0 ? first : second;
    const FtpServer& other = run.current_server_index == 0 ? second : first;
    EXPECT_EQ(kept.sessions().opened, 1);

    // A failure makes the next choice draw the other mirror.
    run.last_connection_failed = true;
    {
        CFtp ftp(run);
        ASSERT_TRUE(ftp.connect_to_random_server());
        EXPECT_EQ(run.current_server.Servername, other.name());
    }
    const FtpServer::Sessions ended = kept.wait_for_sessions_to_end();
    EXPECT_EQ(ended.opened, 1);
    EXPECT_EQ(ended.closed, 1);
    EXPECT_EQ(other.sessions().opened, 1);

    // The same server in another folder, or with an account, logs on anew.
    {
        CFtp ftp(run);
        ASSERT_EQ(ftp.OpenConnection(first.name(), "/pub"), 1);
    }
    const int before = first.sessions().opened;
    {
        CFtp ftp(run);
        ASSERT_EQ(ftp.OpenConnection(first.name(), "/"), 1);
    }
    EXPECT_EQ(first.sessions().opened, before + 1);
    {
        CFtp ftp(run);
        ftp.set_rights("anonymous", "guest");
        ASSERT_EQ(ftp.OpenConnection_named(first.name(), "/"), 1);
    }
    EXPECT_EQ(first.sessions().opened, before + 2);
    CFtp again(run);
    again.set_rights("anonymous", "guest");
    ASSERT_EQ(again.OpenConnection_named(first.name(), "/"), 1);
    EXPECT_EQ(first.sessions().opened, before + 2);
}

TEST(DownloadBarUnits, OnePerStartedPieceOf512Bytes) {
    EXPECT_EQ(download_bar_units(0), 0);
    EXPECT_EQ(download_bar_units(-1), 0);
    EXPECT_EQ(download_bar_units(1), 1);
    EXPECT_EQ(download_bar_units(512), 1);
    EXPECT_EQ(download_bar_units(513), 2);
    EXPECT_EQ(download_bar_units(747400), 1460);
}

} // namespace
