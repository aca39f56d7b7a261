#include "game_server.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <thread>

#include "quill/platform/clock.h"
#include "quill/platform/line_log.h"
#include "protocol/Messages.h"
#include "records.h"
#include "transport/CNTPacket.h"
#include "transport/COLEDateTime.h"

namespace gameserver {

namespace {

typedef unsigned short u16;

// The requests this server answers and the messages it sends, by their
// names in the library's catalogue; which reply number answers which call
// is this server's choice among the catalogue's reply numbers.
namespace msg = ntc_msg;
enum : u16 {
    CS_LOGON = msg::LOGON,
    CS_CREATE_AVATAR = msg::CREATE_AVATAR,
    CS_DELETE_AVATAR = msg::DELETE_AVATAR,
    CS_CANCEL_DELETE_AVATAR = msg::CANCEL_DELETE_AVATAR,
    CS_TRY_ON_SESSION = msg::TRY_ON_SESSION,
    CS_ENTER_SESSION = msg::ENTER_SESSION,
    CS_LEAVE_SESSION = msg::LEAVE_SESSION,
    CS_RESPONSE_NET_TIME = msg::RESPONSE_NET_TIME,
    CS_WARP_SESSION_IN = msg::WARP_SESSION_IN,
    CS_CHANGE_NICKNAME = msg::CHANGE_AVATAR_NICKNAME,
    CS_CHAT = msg::CHAT,
    CS_AVATAR_MOVE = msg::AVATAR_MOVE,
    CS_ITEM_UPGRADE = msg::ITEM_UPGRADE,
    CS_GM_MOVE_TO_AVATAR = msg::GM_MOVE_TO_AVATAR,
    CS_GM_MOVE_TO_POSITION = msg::GM_MOVE_TO_POSITION,
    CS_GM_GET_AVATAR_INFORMATION = msg::GM_GET_AVATAR_INFORMATION,
    CS_GM_STEAL_ITEM = msg::GM_STEAL_ITEM,

    RE_LOGON = 10002,
    RE_CREATE_AVATAR = 10003,
    RE_DELETE_AVATAR = 10004,
    SC_NET_TIME = msg::NET_TIME_SYNC,
    RE_TRY_ON_SESSION = 10006,
    RE_OTHER = 10007,
    SC_CHAT = msg::SC_Chat,
    SC_AVATAR_MOVE = msg::SC_AvatarMove,
    SC_PRIV_DATA = msg::SC_PrivData,
    SC_AVATAR_LIST = msg::SC_AvatarList,
    SC_AVATAR = msg::SC_Avatar
};

static_assert(msg::IsReplyNumber(RE_LOGON) && msg::IsReplyNumber(RE_CREATE_AVATAR) &&
                  msg::IsReplyNumber(RE_DELETE_AVATAR) && msg::IsReplyNumber(RE_TRY_ON_SESSION) &&
                  msg::IsReplyNumber(RE_OTHER),
              "the client takes these as replies");

enum { MAX_AVATARS = 3, MAX_CHAT = 200, MAX_NICKNAME = 20 };

// Reads a request's fields and notices when one is not all there.
class Fields {
public:
    explicit Fields(CNTPacket& packet) : packet_(packet) {}
    bool ok() const { return ok_; }

    Fields& i16(short& value) { return take(value, 2); }
    Fields& u16(unsigned short& value) { return take(value, 2); }
    Fields& u32(unsigned long& value) { return take(value, 4); }
    Fields& f32(float& value) { return take(value, 4); }
    Fields& str(std::string& value, size_t max) {
        unsigned short count = 0;
        take(count, 2);
        if (!ok_ || count > left() || count > max) {
            ok_ = false;
            return *this;
        }
        value.assign(count, '\0');
        if (count > 0)
            packet_.Read(&value[0], count);
        return *this;
    }

private:
    size_t left() const {
        return packet_.GetBufSize() > packet_.GetBufPoint()
                   ? packet_.GetBufSize() - packet_.GetBufPoint()
                   : 0;
    }
    template <class T>
    Fields& take(T& value, size_t width) {
        if (!ok_ || left() < width) {
            ok_ = false;
            return *this;
        }
        packet_ >> value;
        return *this;
    }

    CNTPacket& packet_;
    bool ok_ = true;
};

CNTPacket& begin(CNTPacket& packet, u16 message) {
    return packet << message << static_cast<u16>(0);
}

} // namespace

void log_line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    qp::print_line_v(stdout, "quill-gameserver: ", format, args);
    va_end(args);
}

struct GameServer::Client {
    int id = 0;
    qp::Socket socket = qp::kInvalidSocket;
    std::mutex send_mutex;
    std::atomic<bool> open{true};
    // Touched only by the client's own thread:
    std::string account;
    bool logged_on = false;
    short selected = -1; // the avatar tried on
    bool in_session = false;
};

GameServer::~GameServer() {
    stop();
}

bool GameServer::listen(uint16_t port) {
    int error = 0;
    if (!qp::net_startup(&error))
        return false;
    listener_ = qp::tcp_listen_loopback(port, &port_);
    return listener_ != qp::kInvalidSocket;
}

void GameServer::stop() {
    if (stopping_.exchange(true))
        return;
    if (listener_ != qp::kInvalidSocket) {
        qp::tcp_shutdown(listener_);
        // Not every system ends a blocked accept on shutdown: a connection
        // of our own wakes it.
        const qp::Socket wake = qp::tcp_socket();
        uint32_t loopback = 0;
        if (wake != qp::kInvalidSocket && qp::ipv4_parse("127.0.0.1", &loopback))
            qp::tcp_connect(wake, loopback, port_);
        if (wake != qp::kInvalidSocket)
            qp::tcp_close(wake);
    }
    std::lock_guard<std::mutex> hold(mutex_);
    for (auto& entry : clients_)
        qp::tcp_shutdown(entry.second->socket);
}

void GameServer::run() {
    start_ticks_ = qp::tick_count();
    log_line("listening on 127.0.0.1:%u", static_cast<unsigned>(port_));
    std::thread sync([this] { sync_loop(); });
    while (!stopping_) {
        const qp::Socket socket = qp::tcp_accept(listener_);
        if (socket == qp::kInvalidSocket || stopping_) {
            if (socket != qp::kInvalidSocket)
                qp::tcp_close(socket);
            if (stopping_)
                break;
            qp::system_clock().sleep(50);
            continue;
        }
        ClientPtr client = std::make_shared<Client>();
        client->socket = socket;
        {
            std::lock_guard<std::mutex> hold(mutex_);
            client->id = next_client_id_++;
            clients_[client->id] = client;
        }
        log_line("client %d connected", client->id);
        std::thread(&GameServer::serve_client, this, client).detach();
    }
    sync.join();
    // Let the client threads see their sockets end.
    for (int i = 0; i < 100; ++i) {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            if (clients_.empty())
                break;
        }
        qp::system_clock().sleep(20);
    }
    qp::tcp_close(listener_);
    listener_ = qp::kInvalidSocket;
}

void GameServer::sync_loop() {
    uint32_t waited = 0;
    while (!stopping_) {
        qp::system_clock().sleep(50);
        waited += 50;
        if (waited < sync_interval_ms_)
            continue;
        waited = 0;
        CNTPacket packet;
        const unsigned long server_time = qp::tick_count() - start_ticks_;
        begin(packet, SC_NET_TIME) << server_time << static_cast<unsigned long>(20);
        broadcast(packet);
    }
}

namespace {

// Reads exactly size bytes; false when the connection ended first.
bool receive_all(qp::Socket socket, char* buffer, size_t size) {
    size_t at = 0;
    while (at < size) {
        const int n = qp::tcp_receive(socket, buffer + at, static_cast<uint32_t>(size - at));
        if (n <= 0)
            return false;
        at += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

void GameServer::serve_client(ClientPtr client) {
    char buffer[CNTPacket::MAX_PACKET_SIZE];
    const char* why = "closed the connection";
    while (!stopping_) {
        if (!receive_all(client->socket, buffer, 4))
            break;
        const unsigned length = static_cast<unsigned char>(buffer[2]) |
                                (static_cast<unsigned char>(buffer[3]) << 8);
        if (length < 4 || length > CNTPacket::MAX_PACKET_SIZE) {
            why = "sent a packet length the protocol does not allow; connection closed";
            break;
        }
        if (!receive_all(client->socket, buffer + 4, length - 4))
            break;
        // One write at offset 0 stores the bytes as they came.
        CNTPacket request;
        request.Write(buffer, static_cast<unsigned short>(length));
        request.SetBufPoint(0);
        unsigned short message = 0, total = 0;
        request >> message >> total;
        if (!handle(*client, request, message)) {
            why = "sent a request the protocol cannot carry; connection closed";
            break;
        }
    }
    client->open = false;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        clients_.erase(client->id);
    }
    {
        std::lock_guard<std::mutex> hold(client->send_mutex);
        qp::tcp_close(client->socket);
        client->socket = qp::kInvalidSocket;
    }
    log_line("client %d %s", client->id, why);
}

void GameServer::send_to(Client& client, CNTPacket& packet) {
    std::lock_guard<std::mutex> hold(client.send_mutex);
    if (!client.open || client.socket == qp::kInvalidSocket)
        return;
    uint32_t sent = 0;
    int error = 0;
    if (!qp::tcp_send(client.socket, packet.GetBuf(), packet.GetBufSize(), &sent, &error)) {
        client.open = false;
        qp::tcp_shutdown(client.socket); // its thread ends and cleans up
    }
}

void GameServer::broadcast(CNTPacket& packet) {
    std::vector<ClientPtr> all;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        for (auto& entry : clients_)
            all.push_back(entry.second);
    }
    for (ClientPtr& client : all)
        send_to(*client, packet);
}

std::vector<Avatar>& GameServer::avatars_of(const std::string& account) {
    auto found = accounts_.find(account);
    if (found != accounts_.end())
        return found->second;
    std::vector<Avatar>& avatars = accounts_[account];
    static const char* const kinds[] = {"Warrior", "Mage"};
    for (short i = 0; i < 2; ++i) {
        Avatar avatar;
        avatar.index = i;
        avatar.templateID = static_cast<short>(i + 1);
        avatar.nickname = account.substr(0, 12) + kinds[i];
        avatar.id = next_avatar_id_++;
        avatar.level = static_cast<short>(10 * (i + 1));
        avatars.push_back(avatar);
    }
    return avatars;
}

const Avatar* GameServer::selected_avatar(Client& client) {
    if (!client.logged_on || client.selected < 0)
        return nullptr;
    for (const Avatar& avatar : accounts_[client.account])
        if (avatar.index == client.selected)
            return &avatar;
    return nullptr;
}

bool GameServer::handle(Client& client, CNTPacket& request, unsigned short message) {
    switch (message) {
    case CS_LOGON:
        return on_logon(client, request);
    case CS_CREATE_AVATAR:
        return on_create_avatar(client, request);
    case CS_DELETE_AVATAR:
        return on_delete_avatar(client, request);
    case CS_TRY_ON_SESSION:
        return on_try_on_session(client, request);
    case CS_ENTER_SESSION:
        return on_enter_session(client);
    case CS_LEAVE_SESSION:
        return on_leave_session(client);
    case CS_CHAT:
        return on_chat(client, request);
    case CS_AVATAR_MOVE:
        return on_move(client, request);
    case CS_RESPONSE_NET_TIME: {
        unsigned long estimate = 0;
        if (!Fields(request).u32(estimate).ok())
            return false;
        log_line("client %d net time answer %lu (server clock %lu)", client.id, estimate,
                 static_cast<unsigned long>(qp::tick_count() - start_ticks_));
        return true;
    }
    case CS_CANCEL_DELETE_AVATAR:
    case CS_WARP_SESSION_IN:
    case CS_CHANGE_NICKNAME:
    case CS_ITEM_UPGRADE:
    case CS_GM_MOVE_TO_AVATAR:
    case CS_GM_MOVE_TO_POSITION:
    case CS_GM_GET_AVATAR_INFORMATION:
    case CS_GM_STEAL_ITEM:
        return on_unsupported_reply_call(client, request, message);
    default:
        log_line("client %d message %u ignored", client.id, static_cast<unsigned>(message));
        return true;
    }
}

bool GameServer::on_logon(Client& client, CNTPacket& request) {
    unsigned short seq = 0;
    std::string account, password;
    if (!Fields(request).u16(seq).str(account, 64).str(password, 64).ok())
        return false;
    CNTPacket reply;
    begin(reply, RE_LOGON) << seq << static_cast<u16>(MAX_AVATARS);
    unsigned long result = 0;
    size_t count = 0;
    if (account.empty()) {
        result = 1;
        reply << static_cast<u16>(0) << static_cast<u16>(0);
    } else {
        std::lock_guard<std::mutex> hold(mutex_);
        client.account = account;
        client.logged_on = true;
        const std::vector<Avatar>& avatars = avatars_of(account);
        count = avatars.size();
        reply << static_cast<u16>(count);
        for (const Avatar& avatar : avatars)
            write_avatar(reply, avatar);
        reply << static_cast<u16>(count);
        for (const Avatar& avatar : avatars)
            write_priv_data(reply, avatar);
    }
    reply << result;
    send_to(client, reply);
    log_line("client %d log-on \"%s\": result %lu, %u avatars", client.id, account.c_str(),
             result, static_cast<unsigned>(count));
    return true;
}

bool GameServer::on_create_avatar(Client& client, CNTPacket& request) {
    unsigned short seq = 0;
    short index = 0, templateID = 0;
    std::string nickname;
    if (!Fields(request).u16(seq).i16(index).str(nickname, 64).i16(templateID).ok())
        return false;
    unsigned long result = 0;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (!client.logged_on) {
            result = 1;
        } else if (nickname.empty() || nickname.size() > MAX_NICKNAME) {
            result = 3;
        } else {
            std::vector<Avatar>& avatars = accounts_[client.account];
            bool taken = index < 0 || index >= MAX_AVATARS;
            for (const Avatar& avatar : avatars)
                taken = taken || avatar.index == index;
            if (taken) {
                result = 2;
            } else {
                Avatar avatar;
                avatar.index = index;
                avatar.templateID = templateID;
                avatar.nickname = nickname;
                avatar.id = next_avatar_id_++;
                avatars.push_back(avatar);
            }
        }
    }
    CNTPacket reply;
    begin(reply, RE_CREATE_AVATAR) << seq << result;
    send_to(client, reply);
    log_line("client %d create avatar %d \"%s\": result %lu", client.id, index, nickname.c_str(),
             result);
    return true;
}

bool GameServer::on_delete_avatar(Client& client, CNTPacket& request) {
    unsigned short seq = 0;
    short index = 0;
    if (!Fields(request).u16(seq).i16(index).ok())
        return false;
    unsigned long result = 1;
    COLEDateTime when;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (client.logged_on) {
            std::vector<Avatar>& avatars = accounts_[client.account];
            for (size_t i = 0; i < avatars.size(); ++i) {
                if (avatars[i].index != index)
                    continue;
                avatars.erase(avatars.begin() + static_cast<long>(i));
                when = COLEDateTime::GetTickCount();
                result = 0;
                if (client.selected == index) {
                    client.selected = -1;
                    client.in_session = false;
                }
                break;
            }
        }
    }
    CNTPacket reply;
    begin(reply, RE_DELETE_AVATAR) << seq << when << result;
    send_to(client, reply);
    log_line("client %d delete avatar %d: result %lu", client.id, index, result);
    return true;
}

bool GameServer::on_try_on_session(Client& client, CNTPacket& request) {
    unsigned short seq = 0;
    short index = 0, channel = 0;
    if (!Fields(request).u16(seq).i16(index).i16(channel).ok())
        return false;
    unsigned long result = 1;
    CNTPacket reply;
    begin(reply, RE_TRY_ON_SESSION) << seq;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        client.selected = index;
        const Avatar* avatar = selected_avatar(client);
        if (!avatar) {
            client.selected = -1;
            reply << static_cast<u16>(0) << static_cast<u16>(0);
        } else {
            result = 0;
            write_inventory(reply, *avatar);
        }
    }
    reply << result;
    send_to(client, reply);
    log_line("client %d try on session with avatar %d (channel %d): result %lu", client.id,
             index, channel, result);
    return true;
}

bool GameServer::on_enter_session(Client& client) {
    Avatar avatar;
    std::vector<Avatar> present;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        const Avatar* selected = selected_avatar(client);
        if (!selected) {
            log_line("client %d enter session without an avatar: ignored", client.id);
            return true;
        }
        avatar = *selected;
        client.in_session = true;
        for (auto& entry : clients_) {
            Client& other = *entry.second;
            if (!other.in_session)
                continue;
            if (const Avatar* theirs = selected_avatar(other))
                present.push_back(*theirs);
        }
    }
    CNTPacket list;
    begin(list, SC_AVATAR_LIST) << static_cast<u16>(present.size());
    for (const Avatar& each : present)
        write_avatar(list, each);
    send_to(client, list);

    CNTPacket priv;
    begin(priv, SC_PRIV_DATA);
    write_priv_data(priv, avatar);
    send_to(client, priv);

    CNTPacket own;
    begin(own, SC_AVATAR);
    write_avatar(own, avatar);
    broadcast(own);
    log_line("client %d entered the session as \"%s\"", client.id, avatar.nickname.c_str());
    return true;
}

bool GameServer::on_leave_session(Client& client) {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        client.in_session = false;
    }
    log_line("client %d left the session", client.id);
    return true;
}

bool GameServer::on_chat(Client& client, CNTPacket& request) {
    std::string text;
    // A longer text than a chat holds is cut, not refused.
    if (!Fields(request).str(text, CNTPacket::MAX_PACKET_SIZE).ok())
        return false;
    if (text.size() > MAX_CHAT)
        text.resize(MAX_CHAT);
    CNTPacket chat;
    begin(chat, SC_CHAT) << static_cast<short>(client.id) << text.c_str();
    broadcast(chat);
    log_line("client %d chat \"%s\"", client.id, text.c_str());
    return true;
}

bool GameServer::on_move(Client& client, CNTPacket& request) {
    float x = 0, z = 0, yaw = 0, speed = 0;
    unsigned short ani = 0;
    unsigned long time = 0;
    if (!Fields(request).f32(x).f32(z).f32(yaw).f32(speed).u16(ani).u32(time).ok())
        return false;
    CNTPacket move;
    begin(move, SC_AVATAR_MOVE) << static_cast<short>(client.id) << x << z << yaw << speed
                                << static_cast<short>(ani) << time;
    broadcast(move);
    log_line("client %d move to (%.2f, %.2f) speed %.2f", client.id, x, z, speed);
    return true;
}

bool GameServer::on_unsupported_reply_call(Client& client, CNTPacket& request,
                                           unsigned short message) {
    unsigned short seq = 0;
    if (message == CS_CHANGE_NICKNAME) {
        unsigned char one = 0;
        if (request.GetBufSize() < 5)
            return false;
        request >> one;
    }
    if (!Fields(request).u16(seq).ok())
        return false;
    // The reply's own fields, empty, then the result 1: not offered here.
    CNTPacket reply;
    begin(reply, RE_OTHER) << seq;
    write_empty_reply_fields(reply, message);
    reply << static_cast<unsigned long>(1);
    send_to(client, reply);
    log_line("client %d request %u not offered: result 1", client.id,
             static_cast<unsigned>(message));
    return true;
}

} // namespace gameserver
