// Signed mirrors: an updater built with the publisher's key (the test key
// pair of tests/support/keys) installs what that publisher signed and
// refuses anything else without touching the installation or starting a
// program. An updater without a key takes the same mirrors as before.
#include <memory>
#include <string>
#include <vector>

#include "updater_program_fixture.h"

namespace {

using namespace updater_test;

// The test publisher's key pair, beside the programs of the build.
std::string test_key() {
    return quill_test::build_program("test_publisher.key");
}

// The compressed file of the mirror whose listing name starts with prefix.
fs::path mirror_file(const std::string& mirror, const std::string& prefix) {
    for (const auto& entry : fs::directory_iterator(mirror))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            return entry.path();
    ADD_FAILURE() << "no " << prefix << "* in " << mirror;
    return fs::path(mirror) / prefix;
}

void flip_byte(const std::string& path, size_t position) {
    std::string bytes = read_file(path);
    ASSERT_LT(position, bytes.size()) << path;
    bytes[position] = static_cast<char>(bytes[position] ^ 0x01);
    write_file(path, bytes);
}

class SignedMirror : public UpdaterProgram {
protected:
    void SetUp() override {
        UpdaterProgram::SetUp();
        updater_ = "QuillUpdate_signed";
    }

    // A signed publication; the mirror folder is kept, so that the new
    // publication's number follows the one the mirror held.
    void publish_signed(const std::string& version, const std::string& mirror_folder) {
        ASSERT_EQ(0, run_in(".", "quill-publish",
                            "--version " + quoted(version) + " --sign " + quoted(test_key()) +
                                " source " + mirror_folder));
    }

    // Version 1 installed by the signed updater, with the player's files
    // beside it; version 2 published on the mirror over it.
    void install_one_and_publish_two() {
        put_players_files();
        make_source({{"readme.txt", "one"}, {"data/old.dat", "dropped in two"},
                     {"data/same.dat", "same"}});
        publish_signed("1", "mirror");
        write_server_list({mirror_->name()});
        ASSERT_EQ(1, run_updater());
        ASSERT_EQ("1", client_command_line());
        fs::remove("install/parameters.txt");
        ASSERT_TRUE(fs::exists("install/ls_static.sig"));
        make_source({{"readme.txt", "two"}, {"data/same.dat", "same"},
                     {"data/new.dat", std::string(3000, 'n')}});
        publish_signed("2", "mirror");
    }

    // The run refuses the mirror: nothing in the folder changes and nothing
    // starts.
    void expect_refused(const std::string& what, const std::string& reason) {
        const auto before = snapshot("install");
        const std::string static_listing = read_file("install/ls_static.txt");
        EXPECT_EQ(1, run_updater()) << what;
        EXPECT_FALSE(client_started_soon()) << what;
        EXPECT_EQ(before, snapshot("install")) << what;
        EXPECT_EQ(static_listing, read_file("install/ls_static.txt")) << what;
        EXPECT_NE(std::string::npos, report().find("[MIRROR REFUSED : " + reason))
            << what << "\n"
            << report();
        // A refusal is final: no second run over a listing of the disk.
        EXPECT_EQ(std::string::npos, report().find("create_ls_txt_file [IN]")) << what;
        EXPECT_FALSE(fs::exists("install/ls_staged")) << what;
        expect_players_files(what.c_str());
    }

    void start_mirror() { mirror_.reset(new quill_test::FtpServer("mirror")); }

    std::unique_ptr<quill_test::FtpServer> mirror_;
};

TEST_F(SignedMirror, InstallsAndUpdatesWhatThePublisherSigned) {
    start_mirror();
    install_one_and_publish_two();
    const std::string first_signature = read_file("install/ls_static.sig");
    EXPECT_TRUE(reported("check_signed_listing  [SIGNATURE OF PUBLICATION " +
                         first_signature.substr(first_signature.find("publication ") + 12,
                                                14) +
                         " CHECKED]"))
        << report();

    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("2", client_command_line());
    EXPECT_EQ("two", read_file("install/readme.txt"));
    EXPECT_EQ(std::string(3000, 'n'), read_file("install/data/new.dat"));
    EXPECT_FALSE(fs::exists("install/data/old.dat"));
    EXPECT_EQ(read_file("mirror/ls.sig"), read_file("install/ls_static.sig"));
    EXPECT_FALSE(fs::exists("install/ls_staged"));
    EXPECT_TRUE(reported("stage_signed_files  [2 FILES STAGED AND CHECKED]")) << report();
    expect_players_files("after the signed update");

    // Equal versions: the version is checked against the signature, and
    // nothing else is fetched.
    fs::remove("install/parameters.txt");
    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("2", client_command_line());
    EXPECT_TRUE(reported("check_signed_version  [SIGNATURE OF PUBLICATION " +
                         read_file("mirror/ls.sig").substr(
                             read_file("mirror/ls.sig").find("publication ") + 12, 14) +
                         " CHECKED]"));
}

// Each change an attacker on the mirror or the path to it can make, on a
// mirror that carries version 2 over an installed version 1.
TEST_F(SignedMirror, RefusesEveryChangeToWhatWasSignedAndChangesNothing) {
    start_mirror();
    install_one_and_publish_two();
    fs::copy("mirror", "signed", fs::copy_options::recursive);
    const auto restore = [] {
        fs::remove_all("mirror");
        fs::copy("signed", "mirror", fs::copy_options::recursive);
    };

    flip_byte("mirror/version.txt", 0);
    expect_refused("version.txt changed", "version.txt SAYS 3, SIGNED IS 2");

    // Both listings alike, as an attacker would serve them; the plain one
    // alone is read once the compressed one is gone.
    restore();
    fs::remove("mirror/ls_compressed.txt.gz");
    {
        std::string listing = read_file("mirror/ls.txt");
        listing.replace(listing.find("readme.txt.gz."), 6, "readmE");
        write_file("mirror/ls.txt", listing);
    }
    expect_refused("ls.txt changed", "LISTING DIFFERS FROM THE SIGNED ONE");

    // A file whose content differs by one byte, well compressed and under
    // its listed name: its digest no longer matches.
    restore();
    {
        make_source({{"readme.txt", "twO"}});
        ASSERT_EQ(0, run_in(".", "quill-publish", "--version 9 source other"));
        const fs::path served = mirror_file("mirror", "readme.txt.gz.");
        write_file(served.string(), read_file(mirror_file("other", "readme.txt.gz.").string()));
    }
    expect_refused("a file changed", "NO MIRROR SERVES THE SIGNED CONTENT OF readme.txt.gz.");

    restore();
    {
        std::string signature = read_file("mirror/ls.sig");
        const size_t at = signature.rfind("signature ") + 20;
        signature[at] = signature[at] == '0' ? '1' : '0';
        write_file("mirror/ls.sig", signature);
    }
    expect_refused("the signature changed", "BAD SIGNATURE");

    restore();
    fs::remove("mirror/ls.sig");
    expect_refused("the signature removed", "NO SIGNATURE FILE ls.sig");

    // The signed data is all there is: a changed publication number breaks
    // the signature as any other byte.
    restore();
    {
        std::string signature = read_file("mirror/ls.sig");
        signature.replace(signature.find("publication ") + 12, 1, "9");
        write_file("mirror/ls.sig", signature);
    }
    expect_refused("the publication number changed", "BAD SIGNATURE");

    // The untouched mirror still installs.
    restore();
    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("2", client_command_line());
    EXPECT_EQ("two", read_file("install/readme.txt"));
}

TEST_F(SignedMirror, AnOlderPublicationServedAgainIsRefused) {
    start_mirror();
    install_one_and_publish_two();
    fs::copy("mirror", "one", fs::copy_options::recursive); // version 2, to be served later
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("2", client_command_line());
    fs::remove("install/parameters.txt");
    const std::string installed = read_file("install/ls_static.sig");

    // Version 3 replaces 2 on the mirror and is installed; then the mirror
    // serves the signed version 2 again.
    make_source({{"readme.txt", "three"}, {"data/same.dat", "same"}});
    publish_signed("3", "mirror");
    ASSERT_EQ(1, run_updater());
    ASSERT_EQ("3", client_command_line());
    fs::remove("install/parameters.txt");
    ASSERT_NE(installed, read_file("install/ls_static.sig"));

    fs::remove_all("mirror");
    fs::copy("one", "mirror", fs::copy_options::recursive);
    expect_refused("version 2 served again", "PUBLICATION ");
    EXPECT_TRUE(reported("check_signed_version  [MIRROR REFUSED : PUBLICATION " +
                         installed.substr(installed.find("publication ") + 12, 14) +
                         " IS OLDER THAN THE INSTALLED " +
                         read_file("install/ls_static.sig")
                             .substr(read_file("install/ls_static.sig").find("publication ") +
                                         12,
                                     14) +
                         "]"))
        << report();
    EXPECT_EQ("three", read_file("install/readme.txt"));
}

TEST_F(SignedMirror, AnUnsignedMirrorIsRefusedOnAFirstInstall) {
    start_mirror();
    make_source({{"readme.txt", "one"}});
    publish("1", "mirror");
    write_server_list({mirror_->name()});
    put_players_files();
    const auto before = snapshot("install");
    EXPECT_EQ(1, run_updater());
    EXPECT_FALSE(client_started_soon());
    EXPECT_FALSE(fs::exists("install/readme.txt"));
    EXPECT_FALSE(fs::exists("install/ls_static.txt"));
    EXPECT_EQ(before, snapshot("install"));
    EXPECT_TRUE(reported("check_signed_listing  [MIRROR REFUSED : NO SIGNATURE FILE ls.sig]"));
}

// An updater without a key knows nothing of "ls.sig" and installs the
// signed mirror as any other.
TEST_F(UpdaterProgram, AnUpdaterWithoutAKeyInstallsASignedMirror) {
    quill_test::FtpServer mirror("mirror");
    make_source({{"readme.txt", "one"}, {"data/a.dat", "alpha"}});
    ASSERT_EQ(0, run_in(".", "quill-publish",
                        "--version 1 --sign " + quoted(test_key()) + " source mirror"));
    ASSERT_TRUE(fs::exists("mirror/ls.sig"));
    write_server_list({mirror.name()});
    EXPECT_EQ(1, run_updater());
    EXPECT_EQ("1", client_command_line());
    EXPECT_EQ("alpha", read_file("install/data/a.dat"));
    EXPECT_FALSE(fs::exists("install/ls_static.sig"));
    EXPECT_EQ(std::string::npos, report().find("SIGNATURE"));
}

} // namespace
