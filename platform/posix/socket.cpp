// TCP over BSD sockets. Receives are not asynchronous here: the posted
// receive is remembered in its record and performed, blocking, by tcp_wait.
#include "quill/platform/socket.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include "../common/socket_aids.h"

namespace qp {
namespace {

int fd_of(Socket socket) {
    return static_cast<int>(socket);
}

// Errors are reported with the Windows codes, so that both systems log the
// same lines for the same failure.
int winsock_code(int error) {
    switch (error) {
    case EWOULDBLOCK:
        return 10035;
    case ENOTSOCK:
        return 10038;
    case EADDRINUSE:
        return 10048;
    case ENETDOWN:
        return 10050;
    case ENETUNREACH:
        return 10051;
    case ENETRESET:
        return 10052;
    case ECONNABORTED:
        return 10053;
    case ECONNRESET:
        return 10054;
    case ENOBUFS:
        return 10055;
    case EPIPE:
    case ESHUTDOWN:
        return 10058;
    case ETIMEDOUT:
        return 10060;
    case ECONNREFUSED:
        return 10061;
    case EHOSTUNREACH:
        return 10065;
    case EBADF:
        return 10009;
    case ECANCELED:
        return 995;
    default:
        return error;
    }
}

// The posted receive lives in the record: Offset holds the wanted size,
// Internal the buffer, and after the receive InternalHigh the bytes that
// arrived and OffsetHigh the error code (0 when it worked).
void remember(OVERLAPPED* record, void* buffer, uint32_t size) {
    record->Internal = reinterpret_cast<uintptr_t>(buffer);
    record->Offset = size;
    record->InternalHigh = 0;
    record->OffsetHigh = 0;
}

} // namespace

bool net_startup(int* error) {
    // A send to a peer that went away must fail, not end the process.
    if (signal(SIGPIPE, SIG_IGN) == SIG_ERR) {
        *error = winsock_code(errno);
        return false;
    }
    return true;
}

void net_cleanup() {}

int net_last_error() {
    return winsock_code(errno);
}

Socket tcp_socket() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return fd < 0 ? kInvalidSocket : static_cast<Socket>(fd);
}

bool ipv4_parse(const char* text, uint32_t* address) {
    struct in_addr parsed;
    if (!text || inet_pton(AF_INET, text, &parsed) != 1)
        return false;
    *address = parsed.s_addr;
    return true;
}

bool ipv4_resolve(const char* name, uint32_t* address) {
    if (!name)
        return false;
    struct addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    struct addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return false;
    *address = reinterpret_cast<const struct sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

bool tcp_connect(Socket socket, uint32_t address, uint16_t port) {
    struct sockaddr_in peer = ipv4_address(address, port);
    for (;;) {
        if (connect(fd_of(socket), reinterpret_cast<struct sockaddr*>(&peer), sizeof peer) == 0)
            break;
        if (errno != EINTR)
            return false;
    }
    // Packets are small and each is one send: do not hold them back.
    const int on = 1;
    setsockopt(fd_of(socket), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return true;
}

void tcp_shutdown(Socket socket) {
    shutdown(fd_of(socket), SHUT_RDWR);
}

void tcp_close(Socket socket) {
    const struct linger off = {0, 0};
    setsockopt(fd_of(socket), SOL_SOCKET, SO_LINGER, &off, sizeof off);
    shutdown(fd_of(socket), SHUT_RDWR);
    close(fd_of(socket));
}

namespace {

bool is_timeout(SocketOption option) {
    return option == kReceiveTimeout || option == kSendTimeout;
}

} // namespace

bool socket_set_option(Socket socket, SocketOption option, int value) {
    int name;
    if (!socket_option_name(option, &name))
        return false;
    if (is_timeout(option)) {
        const struct timeval limit = {value / 1000, (value % 1000) * 1000};
        return setsockopt(fd_of(socket), SOL_SOCKET, name, &limit, sizeof limit) == 0;
    }
    return setsockopt(fd_of(socket), SOL_SOCKET, name, &value, sizeof value) == 0;
}

bool socket_get_option(Socket socket, SocketOption option, int* value) {
    int name;
    if (!socket_option_name(option, &name))
        return false;
    if (is_timeout(option)) {
        struct timeval limit;
        socklen_t size = sizeof limit;
        if (getsockopt(fd_of(socket), SOL_SOCKET, name, &limit, &size) != 0)
            return false;
        *value = static_cast<int>(limit.tv_sec * 1000 + limit.tv_usec / 1000);
        return true;
    }
    socklen_t size = sizeof *value;
    return getsockopt(fd_of(socket), SOL_SOCKET, name, value, &size) == 0;
}

bool tcp_post_receive(Socket socket, OVERLAPPED* record, void* buffer, uint32_t size, int* error) {
    if (socket == kInvalidSocket) {
        *error = winsock_code(EBADF);
        return false;
    }
    remember(record, buffer, size);
    return true;
}

int tcp_wait(Socket socket, OVERLAPPED* receive, OVERLAPPED*) {
    char* buffer = reinterpret_cast<char*>(receive->Internal);
    const uint32_t size = receive->Offset;
    for (;;) {
        // All that was asked for in one call: a header, then a body.
        const ssize_t got = recv(fd_of(socket), buffer, size, MSG_WAITALL);
        if (got >= 0) {
            receive->InternalHigh = static_cast<uintptr_t>(got);
            receive->OffsetHigh = 0;
            return 0;
        }
        if (errno != EINTR) {
            receive->InternalHigh = 0;
            receive->OffsetHigh = static_cast<DWORD>(winsock_code(errno));
            return 0;
        }
    }
}

bool tcp_result(Socket, OVERLAPPED* record, uint32_t* bytes, int* error) {
    *bytes = static_cast<uint32_t>(record->InternalHigh);
    if (record->OffsetHigh != 0) {
        *error = static_cast<int>(record->OffsetHigh);
        return false;
    }
    return true;
}

void tcp_abandon_receive(Socket, OVERLAPPED* record) {
    // Nothing is in flight here: the receive only happens inside tcp_wait.
    remember(record, nullptr, 0);
}

bool tcp_send(Socket socket, const void* data, uint32_t size, uint32_t* sent, int* error) {
    *sent = 0;
    const char* bytes = static_cast<const char*>(data);
    while (*sent < size) {
        const ssize_t done = send(fd_of(socket), bytes + *sent, size - *sent, MSG_NOSIGNAL);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            *error = winsock_code(errno);
            return false;
        }
        *sent += static_cast<uint32_t>(done);
    }
    return true;
}

Socket tcp_listen_loopback(uint16_t port, uint16_t* bound_port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return kInvalidSocket;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    struct sockaddr_in local = ipv4_address(htonl(INADDR_LOOPBACK), port);
    socklen_t size = sizeof local;
    if (bind(fd, reinterpret_cast<struct sockaddr*>(&local), sizeof local) != 0 ||
        listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<struct sockaddr*>(&local), &size) != 0) {
        close(fd);
        return kInvalidSocket;
    }
    if (bound_port)
        *bound_port = ntohs(local.sin_port);
    return static_cast<Socket>(fd);
}

Socket tcp_accept(Socket listener) {
    for (;;) {
        const int fd = accept(fd_of(listener), nullptr, nullptr);
        if (fd >= 0) {
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return static_cast<Socket>(fd);
        }
        if (errno != EINTR)
            return kInvalidSocket;
    }
}

int tcp_receive(Socket socket, void* buffer, uint32_t size) {
    for (;;) {
        const ssize_t got = recv(fd_of(socket), buffer, size, 0);
        if (got >= 0)
            return static_cast<int>(got);
        if (errno != EINTR)
            return -1;
    }
}

void tcp_reset(Socket socket) {
    const struct linger at_once = {1, 0};
    setsockopt(fd_of(socket), SOL_SOCKET, SO_LINGER, &at_once, sizeof at_once);
    close(fd_of(socket));
}

} // namespace qp
