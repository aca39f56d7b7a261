// TCP over IPv4. Addresses are IPv4 in network byte order; ports in host
// order. Error codes are the system's (Winsock codes on Windows, errno
// values elsewhere).
#ifndef QUILL_PLATFORM_SOCKET_H
#define QUILL_PLATFORM_SOCKET_H

#include <stdint.h>

#include "quill/platform/types.h"

namespace qp {

typedef uintptr_t Socket;
const Socket kInvalidSocket = ~static_cast<uintptr_t>(0);

// Starts the socket layer (Winsock 2.2 on Windows; elsewhere it makes a
// write to a closed connection an error instead of a signal). False with
// *error when it cannot.
bool net_startup(int* error);
// Releases what net_startup took (Winsock's count of users).
void net_cleanup();
// The error code of the calling thread's last failed socket call.
int net_last_error();

// A stream socket, able to take overlapped operations on Windows.
// kInvalidSocket on failure.
Socket tcp_socket();
// The address of a dotted text ("127.0.0.1"); false when the text is not one.
bool ipv4_parse(const char* text, uint32_t* address);
// The first IPv4 address of a host name; false when it has none.
bool ipv4_resolve(const char* name, uint32_t* address);
// Connects, blocking until the connection stands or fails.
bool tcp_connect(Socket socket, uint32_t address, uint16_t port);
// Ends both directions at once: a receive pending or blocked on the socket
// in another thread returns (with an error or 0 bytes). The socket stays open
// until tcp_close.
void tcp_shutdown(Socket socket);
// Closes without lingering over unsent data, after a shutdown of both
// directions. Results are not examined.
void tcp_close(Socket socket);

enum SocketOption { kReceiveTimeout, kSendTimeout, kSendBuffer, kReceiveBuffer };
// The socket-level options; time-outs are milliseconds, buffers bytes.
bool socket_set_option(Socket socket, SocketOption option, int value);
bool socket_get_option(Socket socket, SocketOption option, int* value);

// One receive in flight per socket, tracked in its OVERLAPPED record (whose
// hEvent is an event from quill/platform/sync.h).
// Posts a receive of up to size bytes into buffer. True when posted (or done
// already); false with *error otherwise.
bool tcp_post_receive(Socket socket, OVERLAPPED* record, void* buffer, uint32_t size, int* error);
// Waits for the receive record or the send record to complete: 0 or 1, or -1
// when the wait itself failed. Where receives are not asynchronous, this is
// where the posted receive blocks, and it always answers 0.
int tcp_wait(Socket socket, OVERLAPPED* receive, OVERLAPPED* send);
// The outcome of a completed operation: true with the bytes it moved (0 for
// a receive means the peer closed), false with *error.
bool tcp_result(Socket socket, OVERLAPPED* record, uint32_t* bytes, int* error);
// Gives up a posted receive that nobody will collect with tcp_wait: when it
// returns, the system writes no more into the receive's buffer or record, so
// both may be reused or freed. The socket must still be open.
void tcp_abandon_receive(Socket socket, OVERLAPPED* record);

// Sends all size bytes before it returns, without touching any record the
// receive side waits on. False with *error; *sent holds what went out.
bool tcp_send(Socket socket, const void* data, uint32_t size, uint32_t* sent, int* error);

// For servers and tests on loopback: a listening socket on 127.0.0.1 at port
// (0 picks a free one, reported in *bound_port), accepting a connection, and
// a plain blocking receive (0 when the peer closed, -1 on failure).
Socket tcp_listen_loopback(uint16_t port, uint16_t* bound_port);
Socket tcp_accept(Socket listener);
int tcp_receive(Socket socket, void* buffer, uint32_t size);
// Closes with a reset instead of an orderly end, as a peer that crashed.
void tcp_reset(Socket socket);

} // namespace qp

#endif
