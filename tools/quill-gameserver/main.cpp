// quill-gameserver: a small game server for the demo and the tests.
//   quill-gameserver [--port N] [--sync-ms N] [--seconds N]
// Listens on 127.0.0.1 (port 11020 unless told; 0 picks a free one and the
// first line says which), logs what it does on standard output, and runs
// until interrupted or, with --seconds, for that long.
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <thread>

#include "game_server.h"
#include "quill/platform/clock.h"

namespace {

volatile sig_atomic_t g_interrupted = 0;

void on_signal(int) {
    g_interrupted = 1;
}

int usage() {
    fprintf(stderr, "usage: quill-gameserver [--port N] [--sync-ms N] [--seconds N]\n");
    return 2;
}

bool number_option(const char* text, long min, long max, long* out) {
    char* end = nullptr;
    const long value = strtol(text, &end, 10);
    if (!*text || *end || value < min || value > max)
        return false;
    *out = value;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    long port = 11020, sync_ms = 3000, seconds = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        long* target = nullptr;
        long min = 0, max = 0;
        if (option == "--port") {
            target = &port, min = 0, max = 65535;
        } else if (option == "--sync-ms") {
            target = &sync_ms, min = 100, max = 3600000;
        } else if (option == "--seconds") {
            target = &seconds, min = 0, max = 86400 * 365;
        } else {
            return usage();
        }
        if (i + 1 >= argc || !number_option(argv[++i], min, max, target))
            return usage();
    }

    signal(SIGINT, on_signal);
    signal(SIGTERM, on_signal);

    gameserver::GameServer server(static_cast<uint32_t>(sync_ms));
    if (!server.listen(static_cast<uint16_t>(port))) {
        fprintf(stderr, "quill-gameserver: cannot listen on 127.0.0.1:%ld\n", port);
        return 1;
    }
    std::thread runner([&server] { server.run(); });
    const uint32_t start = qp::system_clock().tick_count();
    while (!g_interrupted) {
        if (seconds > 0 &&
            qp::system_clock().tick_count() - start >= static_cast<uint32_t>(seconds) * 1000u)
            break;
        qp::system_clock().sleep(100);
    }
    server.stop();
    runner.join();
    gameserver::log_line("stopped");
    return 0;
}
