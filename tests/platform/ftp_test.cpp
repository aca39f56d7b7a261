// The FTP session against a real server on loopback.
#include "quill/platform/ftp.h"
#include "quill/platform/ftp_reply.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/ftp_server.h"
#include "support/scratch_dir.h"

namespace {

using quill_test::FtpServer;
using quill_test::read_file;
using quill_test::write_file;

// Every byte value, line ends of both kinds and more than one read's worth:
// a text-mode transfer or a lost piece would change it.
std::string binary_content(size_t size) {
    std::string text;
    for (size_t i = 0; i < size; ++i)
        text += static_cast<char>((i * 7 + i / 256) & 0xff);
    return text + "\r\n\n\r" + std::string(3, '\0');
}

std::string read_all(qp::FtpRemoteFile* file, bool* whole) {
    std::string text;
    char buffer[512];
    for (;;) {
        uint32_t got = 0;
        if (!qp::ftp_read_file(file, buffer, sizeof buffer, &got)) {
            *whole = false;
            return text;
        }
        if (got == 0) {
            *whole = true;
            return text;
        }
        text.append(buffer, got);
    }
}

class FtpSession : public ::testing::Test {
protected:
    ~FtpSession() override { qp::ftp_close_agent(agent); }

    quill_test::ScratchDir scratch;
    qp::FtpAgent* agent = qp::ftp_open_agent("FTP Processer");
};

TEST(FtpServerName, PortIsTakenFromTheEndAndDefaultsTo21) {
    std::string host;
    uint16_t port = 0;
    ASSERT_TRUE(qp::ftp_split_server_name("mirror.example", &host, &port));
    EXPECT_EQ(host, "mirror.example");
    EXPECT_EQ(port, 21);
    ASSERT_TRUE(qp::ftp_split_server_name("127.0.0.1:2121", &host, &port));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 2121);
    for (const char* bad : {"", ":21", "host:", "host:0", "host:65536", "host:2x", "host:123456"})
        EXPECT_FALSE(qp::ftp_split_server_name(bad, &host, &port)) << bad;
}

TEST_F(FtpSession, ReadsAFileExactlyAndTellsMissingFromBroken) {
    FtpServer server("site");
    std::filesystem::create_directories("site/pub/deep");
    const std::string content = binary_content(5000);
    write_file("site/pub/deep/a.bin", content);
    write_file("site/pub/empty.txt", "");

    qp::FtpConnection* connection = qp::ftp_connect(agent, server.name().c_str(), nullptr, nullptr);
    ASSERT_NE(connection, nullptr);
    ASSERT_TRUE(qp::ftp_set_current_directory(connection, "/pub"));
    std::string folder;
    ASSERT_TRUE(qp::ftp_get_current_directory(connection, &folder));
    EXPECT_EQ(folder, "/pub");
    EXPECT_FALSE(qp::ftp_set_current_directory(connection, "missing"));
    ASSERT_TRUE(qp::ftp_get_current_directory(connection, &folder));
    EXPECT_EQ(folder, "/pub");

    bool whole = false;
    qp::FtpRemoteFile* file = qp::ftp_open_file(connection, "deep/a.bin");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(read_all(file, &whole), content);
    EXPECT_TRUE(whole);
    EXPECT_TRUE(qp::ftp_close_file(file));

    file = qp::ftp_open_file(connection, "empty.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(read_all(file, &whole), "");
    EXPECT_TRUE(whole);
    qp::ftp_close_file(file);

    EXPECT_EQ(qp::ftp_open_file(connection, "deep/none.bin"), nullptr);
    EXPECT_EQ(qp::ftp_open_file(connection, "deep/a.bin\r\nRNFR deep/a.bin"), nullptr);
    EXPECT_FALSE(qp::ftp_set_current_directory(connection, "deep\r\nPWD"));
    EXPECT_NE(qp::ftp_last_error(), 0u);
    // The connection still serves after a refused file.
    file = qp::ftp_open_file(connection, "/pub/deep/a.bin");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(read_all(file, &whole), content);
    qp::ftp_close_file(file);
}

TEST_F(FtpSession, ATransferResetHalfWayIsAFailedRead) {
    quill_test::FtpServerOptions options;
    options.cut_after = 3000;
    FtpServer server("site", options);
    write_file("site/big.bin", binary_content(200000));

    qp::FtpConnection* connection = qp::ftp_connect(agent, server.name().c_str(), nullptr, nullptr);
    ASSERT_NE(connection, nullptr);
    qp::FtpRemoteFile* file = qp::ftp_open_file(connection, "big.bin");
    ASSERT_NE(file, nullptr);
    bool whole = true;
    const std::string part = read_all(file, &whole);
    EXPECT_FALSE(whole);
    EXPECT_LE(part.size(), 3000u);
    qp::ftp_close_file(file);
}

TEST_F(FtpSession, NamedAccountPutsAndAnonymousCannot) {
    quill_test::FtpServerOptions options;
    options.user = "quill";
    options.password = "secret";
    FtpServer server("site", options);
    std::filesystem::create_directories("site/home/quill/LOG");
    const std::string content = binary_content(70000);
    write_file("local.bin", content);

    EXPECT_EQ(qp::ftp_connect(agent, server.name().c_str(), "quill", "wrong"), nullptr);
    EXPECT_EQ(qp::ftp_connect(agent, server.refused_name().c_str(), nullptr, nullptr), nullptr);

    qp::FtpConnection* named = qp::ftp_connect(agent, server.name().c_str(), "quill", "secret");
    ASSERT_NE(named, nullptr);
    ASSERT_TRUE(qp::ftp_set_current_directory(named, "/home/quill/LOG"));
    ASSERT_TRUE(qp::ftp_put_file(named, "local.bin", "up.bin"));
    EXPECT_EQ(read_file("site/home/quill/LOG/up.bin"), content);
    EXPECT_FALSE(qp::ftp_put_file(named, "no-such-local.bin", "up2.bin"));
    EXPECT_FALSE(qp::ftp_put_file(named, "local.bin", "up3.bin\r\nDELE up.bin"));
    EXPECT_TRUE(std::filesystem::exists("site/home/quill/LOG/up.bin"));
    EXPECT_FALSE(std::filesystem::exists("site/home/quill/LOG/up2.bin"));

    qp::FtpConnection* anonymous = qp::ftp_connect(agent, server.name().c_str(), nullptr, nullptr);
    ASSERT_NE(anonymous, nullptr);
    EXPECT_FALSE(qp::ftp_put_file(anonymous, "local.bin", "/home/quill/LOG/anon.bin"));
    EXPECT_FALSE(std::filesystem::exists("site/home/quill/LOG/anon.bin"));
    // Closing the agent (in the fixture) closes both connections.
}

// The folder comes from the 257 reply's own line only.
TEST(FtpReplies, FolderOnlyFromTheQuotesOfTheLast257Line) {
    std::string folder = "untouched";
    EXPECT_TRUE(
        qp::ftp_folder_of_reply("230 Welcome\r\n257 \"/a \"\"b\"\"\" is current\r\n", &folder));
    EXPECT_EQ(folder, "/a \"b\"");
    EXPECT_TRUE(qp::ftp_folder_of_reply("257 \"/old\"\r\n257 \"/new\" ok\r\n", &folder));
    EXPECT_EQ(folder, "/new");
    // "257 " inside the text of a later line is no reply of its own.
    EXPECT_TRUE(qp::ftp_folder_of_reply("257 \"/here\"\r\n200 see 257 \"/not\"\r\n", &folder));
    EXPECT_EQ(folder, "/here");

    folder = "untouched";
    for (const char* replies : {
             "257 no quote here\r\n200 \"/elsewhere\"\r\n",
             "257 \"/never closed\r\n\"\r\n",
             "257 \"/cut short",
             "200 \"/not a 257\"\r\n",
             "x257 \"/mid-line\"\r\n",
         }) {
        EXPECT_FALSE(qp::ftp_folder_of_reply(replies, &folder)) << replies;
        EXPECT_EQ(folder, "untouched") << replies;
    }
}

TEST(FtpReplies, OnlyTransferRepliesOpenATransfer) {
    EXPECT_TRUE(qp::ftp_reply_opens_transfer("150 Opening\r\n", 13));
    EXPECT_TRUE(qp::ftp_reply_opens_transfer("125 ", 4));
    EXPECT_FALSE(qp::ftp_reply_opens_transfer("150", 3));
    EXPECT_FALSE(qp::ftp_reply_opens_transfer("150-Opening\r\n", 13));
    EXPECT_FALSE(qp::ftp_reply_opens_transfer("226 Done\r\n", 10));
}

} // namespace
