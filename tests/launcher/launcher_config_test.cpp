// The deployment's page addresses: built-in defaults and "launcher.cfg".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher_config.h"
#include "support/scratch_dir.h"

namespace {

TEST(LauncherConfig, DefaultsComeFromTheBuild) {
    const launcher_settings settings = default_launcher_settings();
    EXPECT_NE(std::string::npos, settings.launcher_page.find("/launcher/"));
    EXPECT_EQ(0u, settings.home_page.find("http"));
}

TEST(LauncherConfig, LinesOverrideWhatTheyName) {
    launcher_settings settings{"http://a/launcher/", "http://a/"};
    std::vector<std::string> complaints;
    apply_launcher_config("\xEF\xBB\xBF# deployment of the test realm\r\n"
                          "\r\n"
                          "  launcher_page =  https://Test.example:8443/launcher/?lang=ko  \r\n"
                          "; the home page stays\n",
                          &settings, &complaints);
    EXPECT_EQ("https://Test.example:8443/launcher/?lang=ko", settings.launcher_page);
    EXPECT_EQ("http://a/", settings.home_page);
    EXPECT_TRUE(complaints.empty());

    apply_launcher_config("home_page=http://one/\nhome_page=HTTP://two/", &settings, &complaints);
    EXPECT_EQ("HTTP://two/", settings.home_page);
    EXPECT_TRUE(complaints.empty());
}

TEST(LauncherConfig, BadLinesChangeNothingAndAreNamed) {
    launcher_settings settings{"http://a/launcher/", "http://a/"};
    std::vector<std::string> complaints;
    apply_launcher_config("home_page\n"
                          "homepage=http://b/\n"
                          "home_page=C:\\Windows\\system32\\cmd.exe\n"
                          "home_page=file:///etc/passwd\n"
                          "launcher_page=http://\n"
                          "launcher_page=http://x/ y\n"
                          "launcher_page=\n"
                          "home_page=http://good/\n",
                          &settings, &complaints);
    EXPECT_EQ("http://a/launcher/", settings.launcher_page);
    EXPECT_EQ("http://good/", settings.home_page);
    ASSERT_EQ(7u, complaints.size());
    EXPECT_NE(std::string::npos, complaints[0].find("line 1"));
    EXPECT_NE(std::string::npos, complaints[1].find("unknown key \"homepage\""));
    EXPECT_NE(std::string::npos, complaints[6].find("line 7"));
}

TEST(LauncherConfig, FileBesideTheProgram) {
    quill_test::ScratchDir scratch;
    launcher_settings settings{"http://a/launcher/", "http://a/"};
    std::vector<std::string> complaints;
    // No file: nothing changes and nothing is wrong.
    EXPECT_TRUE(load_launcher_config(scratch.path(), &settings, &complaints));
    EXPECT_EQ("http://a/", settings.home_page);
    EXPECT_TRUE(complaints.empty());

    quill_test::write_file("launcher.cfg", "home_page=http://127.0.0.1:9/\n");
    EXPECT_TRUE(load_launcher_config(scratch.path(), &settings, &complaints));
    EXPECT_EQ("http://127.0.0.1:9/", settings.home_page);

    // A file far too large to be a configuration is not read at all.
    quill_test::write_file("launcher.cfg",
                           "home_page=http://big/\n" + std::string(100 * 1024, '#'));
    EXPECT_FALSE(load_launcher_config(scratch.path(), &settings, &complaints));
    EXPECT_EQ("http://127.0.0.1:9/", settings.home_page);
    EXPECT_EQ(1u, complaints.size());
}

} // namespace
