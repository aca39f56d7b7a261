// The server list, the preferences file and the trace log itself.
#include "common/server_list.h"

#include <stdio.h>

#include "common/logger_C.h"
#include "common/preferences.h"
#include "quill/platform/file.h"
#include "update/common/updater_fixture.h"

using quill_test::read_file;
using quill_test::write_file;

namespace {

// Enciphers a plain list the way the writing tool does: the tail up to the
// loader's buffer size deciphers to blanks.
std::string enciphered(const std::string& plain, size_t size = server_list_buffer_size) {
    std::string bytes = plain;
    if (bytes.size() < size)
        bytes.append(size - bytes.size(), ' ');
    encipher_server_list(reinterpret_cast<unsigned char*>(&bytes[0]), bytes.size());
    return bytes;
}

void write_server_list(const std::string& plain) {
    write_file("ver_C", enciphered(plain));
}

class ServerList : public UpdaterTest {};

TEST_F(ServerList, CipherRoundTripsEveryByteValue) {
    std::string bytes(512, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i);
    std::string data = bytes;
    unsigned char* raw = reinterpret_cast<unsigned char*>(&data[0]);
    encipher_server_list(raw, data.size());
    EXPECT_NE(data, bytes);
    decipher_server_list(raw, data.size());
    EXPECT_EQ(data, bytes);
}

TEST_F(ServerList, OneServerInSixTokens) {
    write_server_list("QUILL\r\n1\r\nftp.example.net:2121\r\n/mirror\r\nanon\r\nsecret\r\n");
    ASSERT_TRUE(load_server_list(run));
    ASSERT_EQ(run.server_list.size(), 1u);
    EXPECT_EQ(run.server_list[0].Servername, "ftp.example.net:2121");
    EXPECT_EQ(run.server_list[0].Directory, "/mirror");
    EXPECT_EQ(run.server_list[0].strUser, "anon");
    EXPECT_EQ(run.server_list[0].strPass, "secret");
    EXPECT_TRUE(log_has_run({"load_server_list  : nb_token : 6",
                             "load_server_list  [nb_server : 1]", "there is 1 Servers"}));
    EXPECT_TRUE(shown.boxes.empty());
}

TEST_F(ServerList, ServersKeepFileOrderAndLoadingTwiceAppendsAgain) {
    write_server_list("w 2 h0 d0 u0 p0\th1 d1 u1 p1");
    ASSERT_TRUE(load_server_list(run));
    ASSERT_TRUE(load_server_list(run));
    ASSERT_EQ(run.server_list.size(), 4u);
    EXPECT_EQ(run.server_list[0].Servername, "h0");
    EXPECT_EQ(run.server_list[1].strPass, "p1");
    EXPECT_EQ(run.server_list[2].Servername, "h0");
    EXPECT_TRUE(log_has("there is 4 Servers"));
}

TEST_F(ServerList, MissingFileFails) {
    EXPECT_FALSE(load_server_list(run));
    EXPECT_EQ(log_lines(),
              std::vector<std::string>{
                  "load_server_list_2  [ERROR : CAN'T OPEN SERVER LIST FILE (FILE ver_C)]"});
}

TEST_F(ServerList, FiveTokensAreFormatErrorOne) {
    write_server_list("w 1 h d u");
    EXPECT_FALSE(load_server_list(run));
    EXPECT_EQ(log_lines(),
              std::vector<std::string>{"load_server_list  [BAD SERVER LIST FILE FORMAT (1)]"});
}

TEST_F(ServerList, SevenTokensAreFormatErrorTwo) {
    write_server_list("w 1 h d u p extra");
    EXPECT_FALSE(load_server_list(run));
    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{"load_server_list  : nb_token : 7",
                                        "load_server_list  [BAD SERVER LIST FILE FORMAT (2)]"}));
}

TEST_F(ServerList, TenTokensForOneServerAreFormatErrorThree) {
    write_server_list("w 1 h d u p h2 d2 u2 p2");
    EXPECT_FALSE(load_server_list(run));
    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{
                  "load_server_list  : nb_token : 10", "load_server_list  [nb_server : 1]",
                  "load_server_list  [BAD SERVER LIST FILE FORMAT (3)]",
                  "ERROR REASON MAY BE : ", "- BAD FILE FORMAT (old style of ver ]",
                  "- WRONG NUMBER OF SERVER COMPARING TO DATA (check line 2 of ver)"}));
    EXPECT_TRUE(run.server_list.empty());
}

TEST_F(ServerList, ZeroServersIsNoServerAtAllWithABox) {
    write_server_list("w 0 h d u p");
    EXPECT_FALSE(load_server_list(run));
    EXPECT_TRUE(log_has_run(
        {"load_server_list  [nb_server : 0]", "load_server_list  [ERROR : NO SERVER AT ALL]"}));
    EXPECT_FALSE(log_has("load_server_list  [BAD SERVER LIST FILE FORMAT (3)]"));
    EXPECT_EQ(shown.boxes,
              std::vector<std::string>{"load_server_list  [ERROR : NO SERVER AT ALL]"});
}

TEST_F(ServerList, CountWithoutLeadingDigitsIsZero) {
    write_server_list("w x1 h d u p");
    EXPECT_FALSE(load_server_list(run));
    EXPECT_TRUE(log_has("load_server_list  [nb_server : 0]"));
    EXPECT_EQ(server_count_of("12abc"), 12);
    EXPECT_EQ(server_count_of("-1"), 0);
}

TEST_F(ServerList, HugeCountNeitherOverflowsNorAllocates) {
    write_server_list("w 99999999999999999999999 h d u p");
    EXPECT_FALSE(load_server_list(run));
    EXPECT_TRUE(log_has("load_server_list  [BAD SERVER LIST FILE FORMAT (3)]"));
    EXPECT_TRUE(run.server_list.empty());
    EXPECT_GT(server_count_of("99999999999999999999999"), 0);
}

TEST_F(ServerList, OnlyTheFirst4096BytesCount) {
    // The sixth token straddles the buffer's end and is cut there.
    std::string plain = "w 1 h d u ";
    plain.append(server_list_buffer_size - plain.size() - 2, ' ');
    plain += "pass_beyond";
    write_file("ver_C", enciphered(plain, plain.size()));
    ASSERT_TRUE(load_server_list(run));
    ASSERT_EQ(run.server_list.size(), 1u);
    EXPECT_EQ(run.server_list[0].strPass, "pa");
}

TEST_F(ServerList, UnpaddedShortFileDeciphersItsTailToNoise) {
    // Written without padding, the zero tail deciphers to bytes that are
    // not separators: more tokens, so the list is refused, never misread.
    std::string bytes = "w 1 h d u p ";
    encipher_server_list(reinterpret_cast<unsigned char*>(&bytes[0]), bytes.size());
    write_file("ver_C", bytes);
    EXPECT_FALSE(load_server_list(run));
    EXPECT_TRUE(run.server_list.empty());
}

TEST_F(ServerList, ZeroByteEndsAToken) {
    write_server_list(std::string("w 1 host\0junk d u p", 19));
    ASSERT_TRUE(load_server_list(run));
    EXPECT_EQ(run.server_list[0].Servername, "host");
}

TEST_F(ServerList, TokensOfDecipheredBytes) {
    const std::string plain("\t\r\n a\0b  cd\0\0 \0 e", 17);
    const auto tokens =
        server_list_tokens(reinterpret_cast<const unsigned char*>(plain.data()), plain.size());
    EXPECT_EQ(tokens, (std::vector<std::string>{"a", "cd", "e"}));
}

class Preferences : public UpdaterTest {};

TEST_F(Preferences, RootValueAndMarkerWithoutLineFeed) {
    run.root_path = "C:\\Games\\Quill";
    ASSERT_TRUE(save_preferences(run));
    std::string text = read_file("pref_201274.txt");
    // Text mode writes CR LF on Windows.
    if (text.find("\r\n") != std::string::npos)
        text.erase(text.find('\r'), 1);
    EXPECT_EQ(text, "C:\\Games\\Quill\n0__%%201274%%__");
}

TEST_F(Preferences, UnwritableFileIsLogged) {
    ASSERT_TRUE(qp::create_directory("pref_201274.txt"));
    EXPECT_FALSE(save_preferences(run));
    EXPECT_TRUE(log_has("save_preferences  [FAILED TO OPEN PREFERENCE FILE]"));
}

class TraceLog : public UpdaterTest {};

TEST_F(TraceLog, LinesAreWrittenUnchangedAndAtOnce) {
    EXPECT_EQ(run.log.log_line("step  [SUCCESS]"), 1);
    // Read while the log is still open: every line is flushed.
    EXPECT_EQ(log_lines(), std::vector<std::string>{"step  [SUCCESS]"});
    EXPECT_EQ(run.log.log_format("value %d of %s", 5, std::string(3000, 'x').c_str()), 1);
    EXPECT_EQ(log_lines().back(), "value 5 of " + std::string(3000, 'x'));
}

TEST_F(TraceLog, SecondOpenIsAnIllegalCall) {
    EXPECT_FALSE(run.log.open_log_file(run.root_path, "other.txt"));
    EXPECT_EQ(shown.boxes,
              std::vector<std::string>{
                  "logger_C::open_log_file   [LOG FILE ALREADY OPENED, ILLEGAL CALL]"});
    EXPECT_EQ(run.log.log_line("still here"), 1);
}

TEST_F(TraceLog, ClosedLogShowsABoxPerLine) {
    run.log.close_log_file();
    EXPECT_EQ(run.log.log_line("lost"), 0);
    EXPECT_EQ(run.log.log_line("lost too"), 0);
    EXPECT_EQ(shown.boxes.size(), 2u);
    EXPECT_EQ(shown.boxes[0],
              "logger_C::open_log_file   [MUST OPEN LOG FILE BEFORE TRYING TO LOG ANY MSG]");
}

TEST_F(TraceLog, OpeningReplacesAnOlderLog) {
    run.log.log_line("old run");
    run.log.close_log_file();
    ASSERT_TRUE(run.log.open_log_file(run.root_path, "report.txt"));
    run.log.log_line("new run");
    EXPECT_EQ(log_lines(), std::vector<std::string>{"new run"});
}

TEST_F(TraceLog, UnopenableLogNamesItsPath) {
    logger_C other(shown);
    EXPECT_FALSE(other.open_log_file(run.root_path + "\\missing", "report.txt"));
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0], "logger_C::open_log_file   [CAN'T OPEN LOG FILE : " + run.root_path +
                                  "\\missing\\report.txt]");
    EXPECT_FALSE(other.is_open());
}

} // namespace

namespace {

class ServerListTool : public UpdaterTest {};

TEST_F(ServerListTool, EncipheredTextLoadsAndDeciphersBack) {
    const std::string plain =
        "QUILL\n2\n127.0.0.1:2121 /tree anonymous a@b\nmirror.example.org /q u p\n";
    std::string enciphered, reason;
    ASSERT_TRUE(encipher_server_list_text(plain, enciphered, reason)) << reason;
    EXPECT_EQ(enciphered.size(), server_list_buffer_size);
    write_file("ver_C", enciphered);
    ASSERT_TRUE(load_server_list(run));
    ASSERT_EQ(run.server_list.size(), 2u);
    EXPECT_EQ(run.server_list[0].Servername, "127.0.0.1:2121");
    EXPECT_EQ(run.server_list[1].strPass, "p");
    EXPECT_EQ(decipher_server_list_text(enciphered), plain.substr(0, plain.size() - 1));
}

TEST_F(ServerListTool, RefusesWhatTheLoaderWouldRefuse) {
    std::string enciphered = "untouched", reason;
    for (const std::string& plain :
         {std::string("w 1 h d u"), std::string("w 1 h d u p x"), std::string("w 0 h d u p"),
          std::string("w 2 h d u p"), std::string("w 1 h:99999 d u p"), std::string("w 1 h: d u p"),
          // Far more digits than a port has: refused, never read into a number.
          std::string("w 1 h:1111111111111111111111 d u p"),
          std::string("w 1 h d u p\0", 12), std::string(4097, 'x')}) {
        reason.clear();
        EXPECT_FALSE(encipher_server_list_text(plain, enciphered, reason)) << plain;
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(enciphered, "untouched");
    }
}

} // namespace
