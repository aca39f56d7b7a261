#include "common/server_manager_C.h"
#include "net/mirror_choice.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "common/server_list.h"
#include "support/scratch_dir.h"
#include "update/net/net_fixture.h"

namespace {

class ServerManager : public NetTest {
protected:
    // A choice after a failed connection: the next mirror of the shake.
    int choose_after_failure() {
        run.last_connection_failed = true;
        EXPECT_TRUE(choose_randomly_FTP_server(run));
        return run.current_server_index;
    }
};

TEST_F(ServerManager, EveryShakeTriesEachMirrorOnceInRandomOrder) {
    std::vector<std::vector<int>> orders;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        run.server_manager.reset();
        run.server_list.clear();
        for (int i = 0; i < 3; ++i)
            add_server("mirror" + std::to_string(i));
        srand(seed);
        start_choosing();
        std::vector<int> order;
        for (int i = 0; i < 3; ++i)
            order.push_back(choose_after_failure());
        std::vector<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2})) << "seed " << seed;
        orders.push_back(order);
        // A fourth failure starts a new shake, again of all three.
        const int fourth = choose_after_failure();
        EXPECT_GE(fourth, 0);
        EXPECT_LT(fourth, 3);
    }
    // The order is drawn, not fixed.
    EXPECT_NE(std::count(orders.begin(), orders.end(), orders.front()),
              static_cast<long>(orders.size()));
}

TEST_F(ServerManager, AWorkingMirrorIsKeptUntilAConnectionFails) {
    for (int i = 0; i < 3; ++i)
        add_server("mirror" + std::to_string(i), "/dir" + std::to_string(i));
    start_choosing();
    const int first = choose_after_failure();
    EXPECT_FALSE(run.last_connection_failed);
    EXPECT_EQ(run.current_server.Servername, "mirror" + std::to_string(first));
    EXPECT_EQ(run.current_server.Directory, "/dir" + std::to_string(first));
    EXPECT_EQ(run.current_server.strUser, "user");
    EXPECT_EQ(run.current_server.strPass, "pass");
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(choose_randomly_FTP_server(run));
        EXPECT_EQ(run.current_server_index, first);
    }
    EXPECT_TRUE(log_has("choose_randomly_FTP_server  [CHOSEN_SERVER : number " +
                        std::to_string(first) + "]"));
    EXPECT_NE(choose_after_failure(), first);
}

TEST_F(ServerManager, RefusesBeforeInitAndWithAnEmptyList) {
    add_server("mirror");
    EXPECT_EQ(run.server_manager.gime_random_server(run), -1);
    EXPECT_TRUE(log_has("server_manager_C::gime_random_server  [ILLEGAL CALL BEFORE INIT]"));
    EXPECT_FALSE(choose_randomly_FTP_server(run));
    EXPECT_TRUE(log_has("choose_randomly_FTP_server  [sm.gime_random_server  FAILED]"));
    EXPECT_EQ(run.current_server_index, -1);

    start_choosing();
    EXPECT_FALSE(run.server_manager.generate_one_shake(run));
    EXPECT_TRUE(log_has("server_manager_C::generate_one_shake  [ILLEGAL CALL WHEN STACK NOT EMPTY]"));

    run.server_manager.reset();
    run.server_list.clear();
    start_choosing();
    EXPECT_EQ(run.server_manager.gime_random_server(run), -1);
    EXPECT_TRUE(log_has("server_manager_C::gime_random_server  [INCOHERENCY : STACK EMPTY]"));
}

TEST_F(ServerManager, IndicesOfALongerListAreNotUsedOnAShorterOne) {
    for (int i = 0; i < 3; ++i)
        add_server("mirror" + std::to_string(i));
    start_choosing();
    run.server_list.resize(1);
    // Whatever the shake holds, no choice may point past the list.
    for (int i = 0; i < 4; ++i) {
        run.last_connection_failed = true;
        if (choose_randomly_FTP_server(run)) {
            EXPECT_EQ(run.current_server_index, 0);
        }
    }
}

TEST_F(ServerManager, LoadingTheServerListDrawsTheFirstShake) {
    std::string enciphered, reason;
    ASSERT_TRUE(encipher_server_list_text("ver\n2\nhost1 /a u p\nhost2 /b u p\n", enciphered, reason))
        << reason;
    quill_test::write_file("ver_C", enciphered);
    ASSERT_TRUE(load_mirror_list(run));
    EXPECT_TRUE(log_has("*--------[server_manager_C::generate_one_shake]----------*"));
    ASSERT_TRUE(choose_randomly_FTP_server(run));
    EXPECT_EQ(run.current_server.Servername, "host" + std::to_string(run.current_server_index + 1));
}

} // namespace
