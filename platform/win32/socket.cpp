// TCP over Winsock 2 with overlapped receives.
#include "quill/platform/socket.h"

#include "../common/socket_aids.h"

namespace qp {
namespace {

SOCKET sock(Socket socket) {
    return static_cast<SOCKET>(socket);
}

// Each sending thread waits on an event of its own, so a send never touches
// the records whose events the receive thread waits on.
HANDLE send_event() {
    thread_local struct Holder {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ~Holder() {
            if (event)
                CloseHandle(event);
        }
    } holder;
    return holder.event;
}

} // namespace

bool net_startup(int* error) {
    WSADATA data;
    const int result = WSAStartup(MAKEWORD(2, 2), &data);
    if (result != 0) {
        *error = WSAGetLastError();
        return false;
    }
    return true;
}

void net_cleanup() {
    WSACleanup();
}

int net_last_error() {
    return WSAGetLastError();
}

Socket tcp_socket() {
    const SOCKET s = WSASocketA(AF_INET, SOCK_STREAM, 0, nullptr, 0, WSA_FLAG_OVERLAPPED);
    return s == INVALID_SOCKET ? kInvalidSocket : static_cast<Socket>(s);
}

bool ipv4_parse(const char* text, uint32_t* address) {
    if (!text)
        return false;
    const unsigned long parsed = inet_addr(text);
    if (parsed == INADDR_NONE)
        return false;
    *address = static_cast<uint32_t>(parsed);
    return true;
}

bool ipv4_resolve(const char* name, uint32_t* address) {
    if (!name)
        return false;
    const struct hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0])
        return false;
    memcpy(address, host->h_addr_list[0], sizeof *address);
    return true;
}

bool tcp_connect(Socket socket, uint32_t address, uint16_t port) {
    struct sockaddr_in peer = ipv4_address(address, port);
    if (connect(sock(socket), reinterpret_cast<struct sockaddr*>(&peer), sizeof peer) != 0)
        return false;
    const BOOL on = TRUE;
    setsockopt(sock(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
               sizeof on);
    return true;
}

void tcp_shutdown(Socket socket) {
    shutdown(sock(socket), SD_BOTH);
    // A pending overlapped receive does not end at a shutdown; cancel it.
    CancelIoEx(reinterpret_cast<HANDLE>(sock(socket)), nullptr);
}

void tcp_close(Socket socket) {
    const BOOL dont_linger = TRUE;
    setsockopt(sock(socket), SOL_SOCKET, SO_DONTLINGER, reinterpret_cast<const char*>(&dont_linger),
               sizeof dont_linger);
    shutdown(sock(socket), SD_BOTH);
    closesocket(sock(socket));
}

bool socket_set_option(Socket socket, SocketOption option, int value) {
    int name;
    return socket_option_name(option, &name) &&
           setsockopt(sock(socket), SOL_SOCKET, name, reinterpret_cast<const char*>(&value),
                      sizeof value) == 0;
}

bool socket_get_option(Socket socket, SocketOption option, int* value) {
    int name;
    int size = sizeof *value;
    return socket_option_name(option, &name) &&
           getsockopt(sock(socket), SOL_SOCKET, name, reinterpret_cast<char*>(value), &size) == 0;
}

bool tcp_post_receive(Socket socket, OVERLAPPED* record, void* buffer, uint32_t size, int* error) {
    WSABUF chunk;
    chunk.len = size;
    chunk.buf = static_cast<char*>(buffer);
    DWORD received = 0;
    DWORD flags = 0;
    if (WSARecv(sock(socket), &chunk, 1, &received, &flags, record, nullptr) == 0)
        return true;
    *error = WSAGetLastError();
    return *error == WSA_IO_PENDING;
}

int tcp_wait(Socket, OVERLAPPED* receive, OVERLAPPED* send) {
    HANDLE both[2] = {receive->hEvent, send->hEvent};
    const DWORD result = WaitForMultipleObjects(2, both, FALSE, INFINITE);
    if (result == WAIT_OBJECT_0)
        return 0;
    if (result == WAIT_OBJECT_0 + 1)
        return 1;
    return -1;
}

bool tcp_result(Socket socket, OVERLAPPED* record, uint32_t* bytes, int* error) {
    DWORD moved = 0;
    DWORD flags = 0;
    if (!WSAGetOverlappedResult(sock(socket), record, &moved, TRUE, &flags)) {
        *error = WSAGetLastError();
        *bytes = 0;
        return false;
    }
    *bytes = moved;
    return true;
}

void tcp_abandon_receive(Socket socket, OVERLAPPED* record) {
    CancelIoEx(reinterpret_cast<HANDLE>(sock(socket)), record);
    // Waiting for the outcome, cancelled or not, is what guarantees the
    // system is done with the buffer.
    DWORD moved = 0;
    DWORD flags = 0;
    WSAGetOverlappedResult(sock(socket), record, &moved, TRUE, &flags);
}

bool tcp_send(Socket socket, const void* data, uint32_t size, uint32_t* sent, int* error) {
    *sent = 0;
    OVERLAPPED record;
    memset(&record, 0, sizeof record);
    record.hEvent = send_event();
    ResetEvent(record.hEvent);
    WSABUF chunk;
    chunk.len = size;
    chunk.buf = const_cast<char*>(static_cast<const char*>(data));
    DWORD done = 0;
    if (WSASend(sock(socket), &chunk, 1, &done, 0, &record, nullptr) != 0) {
        *error = WSAGetLastError();
        if (*error != WSA_IO_PENDING)
            return false;
    }
    DWORD flags = 0;
    if (!WSAGetOverlappedResult(sock(socket), &record, &done, TRUE, &flags)) {
        *error = WSAGetLastError();
        return false;
    }
    *sent = done;
    return true;
}

Socket tcp_listen_loopback(uint16_t port, uint16_t* bound_port) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return kInvalidSocket;
    struct sockaddr_in local = ipv4_address(htonl(INADDR_LOOPBACK), port);
    int size = sizeof local;
    if (bind(s, reinterpret_cast<struct sockaddr*>(&local), sizeof local) != 0 ||
        listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<struct sockaddr*>(&local), &size) != 0) {
        closesocket(s);
        return kInvalidSocket;
    }
    if (bound_port)
        *bound_port = ntohs(local.sin_port);
    return static_cast<Socket>(s);
}

Socket tcp_accept(Socket listener) {
    const SOCKET s = accept(sock(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return kInvalidSocket;
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return static_cast<Socket>(s);
}

int tcp_receive(Socket socket, void* buffer, uint32_t size) {
    const int got = recv(sock(socket), static_cast<char*>(buffer), static_cast<int>(size), 0);
    return got == SOCKET_ERROR ? -1 : got;
}

void tcp_reset(Socket socket) {
    struct linger at_once;
    at_once.l_onoff = 1;
    at_once.l_linger = 0;
    setsockopt(sock(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&at_once),
               sizeof at_once);
    closesocket(sock(socket));
}

} // namespace qp
