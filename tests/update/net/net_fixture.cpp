#include "update/net/net_fixture.h"

#include <stdlib.h>

#include <algorithm>

#include "common/settings.h"
#include "common/remote_records.h"
#include "net/mirror_choice.h"
#include "quill/platform/ftp.h"

NetTest::NetTest() {
    // A session another test kept belongs to a server that is gone.
    qp::ftp_close_kept_session();
    srand(20121274);
    run.server_manager.reset();
    run.remote_records.clear();
    run.file_count = 0;
    run.file_current = 0;
}

NetTest::~NetTest() {
    qp::ftp_close_kept_session();
    run.server_manager.reset();
    run.remote_records.clear();
}

void NetTest::add_server(const std::string& name, const std::string& directory) {
    ftp_server_C server;
    server.Servername = name;
    server.Directory = directory;
    server.strUser = "user";
    server.strPass = "pass";
    run.server_list.push_back(server);
}

void NetTest::start_choosing() {
    run.server_manager.init(run);
}

int NetTest::count_lines(const std::string& line) const {
    const std::vector<std::string> lines = log_lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}
