// quill-client: a console game client on QuillNTC.
//
// In the launch chain it is the program started as "RealClientApp.EXE",
// with the launcher's command line (the version text) as its argument.
//   quill-client [--server HOST:PORT] [--account NAME] [--password TEXT]
//                [--chat TEXT] [--linger-ms N] [VERSION TEXT]
// The server comes from --server, else from QUILL_GAMESERVER (HOST:PORT),
// else 127.0.0.1:11020. It connects, logs on, lists the avatars, tries on
// the first one, enters the session, chats and moves, prints the callbacks
// it receives for a while, leaves, and ends with the line
// "quill-client: log-on result N" (0 is success; 3 when no answer came).
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <string>

#include "QuillNTC.h"
#include "console_stub.h"
#include "quill/platform/clock.h"
#include "quill/platform/line_log.h"

namespace {

void say(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    qp::print_line_v(stdout, "quill-client: ", format, args);
    va_end(args);
}

class ConsoleClient : public CNTMainClient {
public:
    std::atomic<bool> lost{false};
    void ProcessConnectionLost() override {
        lost = true;
        say("connection lost");
    }
};

struct Options {
    std::string server;
    std::string account = "demo";
    std::string password = "demo";
    std::string chat = "hello from quill-client";
    long linger_ms = 2000;
    std::string version;
};

bool take_value(int argc, char** argv, int& i, const char* name, std::string& out) {
    const size_t length = strlen(name);
    const char* arg = argv[i];
    if (strncmp(arg, name, length) != 0)
        return false;
    if (arg[length] == '=') {
        out = arg + length + 1;
        return true;
    }
    if (arg[length] == '\0' && i + 1 < argc) {
        out = argv[++i];
        return true;
    }
    return false;
}

bool split_server(const std::string& text, std::string& host, unsigned long& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    char* end = nullptr;
    const unsigned long value = strtoul(text.c_str() + colon + 1, &end, 10);
    if (*end || value == 0 || value > 65535)
        return false;
    host = text.substr(0, colon);
    port = value;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string value;
        if (take_value(argc, argv, i, "--server", options.server) ||
            take_value(argc, argv, i, "--account", options.account) ||
            take_value(argc, argv, i, "--password", options.password) ||
            take_value(argc, argv, i, "--chat", options.chat)) {
            continue;
        }
        if (take_value(argc, argv, i, "--linger-ms", value)) {
            options.linger_ms = atol(value.c_str());
            continue;
        }
        // Whatever else is the launcher's command line, joined with blanks.
        if (!options.version.empty())
            options.version += ' ';
        options.version += argv[i];
    }
    if (options.server.empty()) {
        const char* from_environment = getenv("QUILL_GAMESERVER");
        options.server = from_environment && *from_environment ? from_environment
                                                               : "127.0.0.1:11020";
    }
    std::string host;
    unsigned long port = 0;
    if (!split_server(options.server, host, port)) {
        say("server \"%s\" is not HOST:PORT", options.server.c_str());
        say("log-on result %lu", static_cast<unsigned long>(GS_FAIL));
        return 2;
    }
    say("version \"%s\", server %s:%lu", options.version.c_str(), host.c_str(), port);

    ConsoleClient client;
    CNTProxy_CLToGS proxy;
    ConsoleStub stub;
    client.Attach(&proxy);
    client.Attach(&stub);
    if (!client.Startup()) {
        say("cannot start the network");
        say("log-on result %lu", static_cast<unsigned long>(GS_FAIL));
        return 1;
    }
    client.SetServerAddr(host.c_str());
    client.SetServerPort(port);
    if (!client.ConnectToServer()) {
        say("cannot connect to %s:%lu", host.c_str(), port);
        say("log-on result %lu", static_cast<unsigned long>(GS_FAIL));
        return 1;
    }
    say("connected");

    CString account(options.account.c_str()), password(options.password.c_str());
    unsigned short slots = 0;
    std::vector<TAvatar> avatars;
    std::vector<TPrivData> privData;
    unsigned long logon_result = GS_FAIL;
    GS_RESULT outcome =
        proxy.CS_Logon(account, password, slots, avatars, privData, logon_result);
    say("log-on as \"%s\": %s, result %lu, %u avatars of %u slots", options.account.c_str(),
        outcome == GS_OK ? "answered" : "failed", logon_result,
        static_cast<unsigned>(avatars.size()), slots);

    if (outcome == GS_OK && logon_result == 0 && avatars.empty()) {
        CString nickname((options.account.substr(0, 12) + "One").c_str());
        unsigned long result = 0;
        proxy.CS_CreateAvatar(0, nickname, 1, result);
        say("create avatar \"%s\": result %lu", static_cast<const char*>(nickname), result);
        proxy.CS_Logon(account, password, slots, avatars, privData, logon_result);
    }
    for (size_t i = 0; i < avatars.size(); ++i) {
        TAvatar& avatar = avatars[i];
        say("  avatar %d \"%s\" template %d, level %d", avatar.GetAvatarIndex(),
            static_cast<const char*>(avatar.GetNickname()), avatar.GetAvatarTemplateID(),
            i < privData.size() ? privData[i].GetLevel() : 0);
    }

    if (outcome == GS_OK && logon_result == 0 && !avatars.empty()) {
        std::vector<TItem> items;
        std::vector<TSkill> skills;
        unsigned long result = 0;
        proxy.CS_TryOnSession(avatars[0].GetAvatarIndex(), 0, items, skills, result);
        say("try on session with avatar %d: result %lu, %u items, %u skills",
            avatars[0].GetAvatarIndex(), result, static_cast<unsigned>(items.size()),
            static_cast<unsigned>(skills.size()));
        if (result == 0) {
            proxy.CS_EnterSession();
            say("entered the session");
            CWizCharString<200> text(options.chat.c_str());
            proxy.CS_Chat(text);
            CDRVector movement;
            movement.SetPos(CNTVector(105.0f, 0.0f, 210.0f));
            movement.SetSpeed(4.0f);
            proxy.CS_AvatarMove(movement, 1, qp::tick_count());
        }
    }

    // The game's frames: the callbacks arrive here.
    const uint32_t start = qp::tick_count();
    while (!client.lost && qp::tick_count() - start < static_cast<uint32_t>(options.linger_ms)) {
        client.UpdateFrame();
        client.ProcessQueuedMessageFromServer();
        qp::sleep(20);
    }
    if (!client.lost) {
        proxy.CS_LeaveSession();
        client.ProcessQueuedMessageFromServer();
    }
    client.Disconnect();
    say("%d callbacks, %d chats, %d moves", stub.callbacks.load(), stub.chats.load(),
        stub.moves.load());
    say("log-on result %lu", logon_result);
    return outcome == GS_OK && logon_result == 0 ? 0 : 1;
}
