// A test of the updater's transfers: the scratch installation of
// UpdaterTest, a test clock so that retry pauses pass at once, and a mirror
// chooser with a fixed seed and no shake drawn yet.
#ifndef QUILL_TESTS_UPDATE_NET_NET_FIXTURE_H
#define QUILL_TESTS_UPDATE_NET_NET_FIXTURE_H

#include <string>

#include "support/test_clock.h"
#include "update/common/updater_fixture.h"

class NetTest : public UpdaterTest {
protected:
    NetTest();
    ~NetTest() override;

    // Appends a mirror to the server list.
    void add_server(const std::string& name, const std::string& directory = "/");
    // Draws the first shake, as loading the server list does.
    void start_choosing();
    // How many log lines are exactly this text.
    int count_lines(const std::string& line) const;

    quill_test::TestClock clock;

private:
    quill_test::ClockInForce clock_in_force_{&clock};
};

#endif
