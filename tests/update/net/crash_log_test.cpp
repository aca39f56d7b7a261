#include "net/crash_log.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/ftp_server.h"
#include "support/programs.h"
#include "support/scratch_dir.h"
#include "update/net/net_fixture.h"

namespace {

namespace fs = std::filesystem;
using quill_test::FtpServer;
using quill_test::read_file;
using quill_test::write_file;

using quill_test::set_environment;

class CrashLog : public NetTest {
protected:
    CrashLog() { set_environment("QUILL_CRASHLOG_HOST", ""); }
    ~CrashLog() override { set_environment("QUILL_CRASHLOG_HOST", ""); }

    static quill_test::FtpServerOptions account() {
        quill_test::FtpServerOptions options;
        options.user = "quill";
        options.password = "rvoplank";
        return options;
    }

    std::set<std::string> uploaded(const std::string& server_folder) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(server_folder + "/home/quill/LOG"))
            names.insert(entry.path().filename().string());
        return names;
    }
};

TEST_F(CrashLog, EveryClientLogIsUploadedUnderOneSuffixAndDeleted) {
    FtpServer server("logserver", account());
    fs::create_directories("logserver/home/quill/LOG");
    set_environment("QUILL_CRASHLOG_HOST", server.name().c_str());
    EXPECT_EQ(crash_log_host(), server.name());
    write_file("log_client.txt", "client log\r\n");
    write_file("NETWork.log", std::string(3000, 'n'));
    write_file("gl_Info.txt", "gl");

    srand(77);
    const std::string suffix = crash_log_unique_suffix();
    srand(77);
    EXPECT_TRUE(process_crash_log_file(run));

    EXPECT_EQ(uploaded("logserver"), (std::set<std::string>{"log_client" + suffix + ".txt",
                                                            "log_network" + suffix + ".txt",
                                                            "gl_info" + suffix + ".txt"}));
    EXPECT_EQ(read_file("logserver/home/quill/LOG/log_client" + suffix + ".txt"), "client log\r\n");
    EXPECT_EQ(read_file("logserver/home/quill/LOG/log_network" + suffix + ".txt"),
              std::string(3000, 'n'));
    for (const char* name : {"log_client.txt", "NETWork.log", "gl_Info.txt"})
        EXPECT_FALSE(fs::exists(name)) << name;
    EXPECT_TRUE(fs::exists("pref_201274.txt"));
    EXPECT_TRUE(log_has("process_crash_log_file  [CRASH_DETECTED___PROCESSING LOG FILES___]"));
    ASSERT_FALSE(shown.status_texts.empty());
    EXPECT_EQ(shown.status_texts.front(), "Processing Client Recovery...");
    // The sweep: blue, growing green and red, before the connections' colours.
    ASSERT_GE(shown.lamps.size(), 91u);
    EXPECT_EQ(shown.lamps[0], (lamp_colour_C{0, 0, 255}));
    EXPECT_EQ(shown.lamps[13], (lamp_colour_C{10, 0, 255}));
    EXPECT_EQ(shown.lamps[90], (lamp_colour_C{60, 240, 255}));
}

TEST_F(CrashLog, SuffixesAreSixNumbersLastDrawnFirst) {
    srand(5);
    int draws[6];
    for (int& draw : draws)
        draw = rand() % 16000000;
    srand(5);
    EXPECT_EQ(crash_log_unique_suffix(),
              "_" + std::to_string(draws[5]) + "_" + std::to_string(draws[4]) + "_" +
                  std::to_string(draws[3]) + "_" + std::to_string(draws[2]) + "_" +
                  std::to_string(draws[1]) + "_" + std::to_string(draws[0]));
}

TEST_F(CrashLog, GlInfoAloneIsNoCrashAndStays) {
    FtpServer server("logserver", account());
    fs::create_directories("logserver/home/quill/LOG");
    set_environment("QUILL_CRASHLOG_HOST", server.name().c_str());
    write_file("gl_Info.txt", "gl");
    EXPECT_TRUE(process_crash_log_file(run));
    EXPECT_TRUE(fs::exists("gl_Info.txt"));
    EXPECT_TRUE(uploaded("logserver").empty());
    EXPECT_TRUE(log_has_run({"is_client_crash_log_file_present  [FALSE]",
                             "process_crash_log_file  [NO_CRASH_LOG_FILE_FOUND]"}));
    EXPECT_TRUE(shown.lamps.empty());
}

TEST_F(CrashLog, AnUnreachableHostFailsButTheLogIsStillDeleted) {
    FtpServer server("logserver", account());
    set_environment("QUILL_CRASHLOG_HOST", server.refused_name().c_str());
    write_file("NETWork.log", "net");
    EXPECT_FALSE(process_crash_log_file(run));
    EXPECT_FALSE(fs::exists("NETWork.log"));
    EXPECT_TRUE(log_has("CFtp::PutFtpFile   [ABSOLUTE_CONNECT_FAILURE]"));
    EXPECT_FALSE(fs::exists("pref_201274.txt"));
}

} // namespace
