// A small game server speaking the game protocol, for the demo and the
// tests. It keeps avatars per account for the life of the process, answers
// log-on, avatar creation and deletion, try-on-session and the session
// calls, echoes chat (12002) and moves (12003) to every connected client and
// sends a net-time sync (10005) every few seconds. A client that sends what
// the protocol cannot carry is closed; the others go on.
#ifndef QUILL_TOOLS_GAME_SERVER_H
#define QUILL_TOOLS_GAME_SERVER_H

#include <stdint.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "quill/platform/socket.h"

class CNTPacket;

namespace gameserver {

struct Avatar {
    short index = 0;
    short templateID = 0;
    std::string nickname;
    unsigned long id = 0;
    short level = 1;
};

class GameServer {
public:
    explicit GameServer(uint32_t sync_interval_ms) : sync_interval_ms_(sync_interval_ms) {}
    ~GameServer();

    // Listens on 127.0.0.1 at port (0: a free one). False when it cannot.
    bool listen(uint16_t port);
    uint16_t port() const { return port_; }
    // Accepts and serves clients until stop() (from another thread).
    void run();
    void stop();

private:
    struct Client;
    typedef std::shared_ptr<Client> ClientPtr;

    void serve_client(ClientPtr client);
    // False when the request is not what the protocol allows.
    bool handle(Client& client, CNTPacket& request, unsigned short message);
    void send_to(Client& client, CNTPacket& packet);
    void broadcast(CNTPacket& packet);
    void sync_loop();

    bool on_logon(Client& client, CNTPacket& request);
    bool on_create_avatar(Client& client, CNTPacket& request);
    bool on_delete_avatar(Client& client, CNTPacket& request);
    bool on_try_on_session(Client& client, CNTPacket& request);
    bool on_enter_session(Client& client);
    bool on_leave_session(Client& client);
    bool on_chat(Client& client, CNTPacket& request);
    bool on_move(Client& client, CNTPacket& request);
    bool on_unsupported_reply_call(Client& client, CNTPacket& request, unsigned short message);

    // The avatars of an account, made on its first log-on.
    std::vector<Avatar>& avatars_of(const std::string& account);
    const Avatar* selected_avatar(Client& client);

    uint32_t sync_interval_ms_;
    qp::Socket listener_ = qp::kInvalidSocket;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    uint32_t start_ticks_ = 0;

    std::mutex mutex_; // guards what follows
    std::map<int, ClientPtr> clients_;
    std::map<std::string, std::vector<Avatar>> accounts_;
    int next_client_id_ = 1;
    unsigned long next_avatar_id_ = 1001;
};

// One line on standard output, with the server's prefix, at once.
void log_line(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace gameserver

#endif
