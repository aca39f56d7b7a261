// FTP sessions: passive mode, binary transfers. Three levels of handle, as
// the Windows internet functions have them: an agent, a logged-on connection
// made through it, and a remote file opened for reading on a connection.
// Closing a level closes what is still open below it.
//
// Server names are "host" (port 21) or "host:port". Remote names are
// relative to the connection's current directory unless they start with '/';
// '/' separates remote folders. A remote name holding a carriage return or a
// line feed is refused: it could smuggle a command to the server.
#ifndef QUILL_PLATFORM_FTP_H
#define QUILL_PLATFORM_FTP_H

#include <stdint.h>

#include <string>

namespace qp {

struct FtpAgent;
struct FtpConnection;
struct FtpRemoteFile;

// Splits "host" or "host:port" into its host and port (21 when none is
// given). False when the port is not a number from 1 to 65535 or the host is
// empty; the outputs are then unspecified.
bool ftp_split_server_name(const std::string& server, std::string* host, uint16_t* port);

// Starts an agent that names itself agent_name to the system. Null when the
// system refuses (ftp_last_error tells why).
FtpAgent* ftp_open_agent(const char* agent_name);
// Closes the agent and every connection and file still open through it.
// Null is ignored.
void ftp_close_agent(FtpAgent* agent);

// Connects to server and logs on: anonymously when user is null, else with
// user and password. Returns only once the server accepted the logon; null
// when the host cannot be reached, refuses the connection or the logon.
FtpConnection* ftp_connect(FtpAgent* agent, const char* server, const char* user,
                           const char* password);
// Closes the connection and any file still open on it. Null is ignored.
void ftp_close_connection(FtpConnection* connection);

// Changes the remote current directory. False, leaving it unchanged, when
// the server refuses (no such folder, no permission) or the connection is
// lost.
bool ftp_set_current_directory(FtpConnection* connection, const char* directory);
// The remote current directory as the server prints it ("/home/quill/LOG").
// False, with *out untouched, when the server does not answer.
bool ftp_get_current_directory(FtpConnection* connection, std::string* out);

// Opens a remote file for reading. Null when the server would not start the
// transfer (no such file, no permission, connection lost): nothing was read.
// One file at a time per connection.
FtpRemoteFile* ftp_open_file(FtpConnection* connection, const char* remote_name);
// Reads up to size bytes of an open remote file. True with *read_count > 0
// for data, true with *read_count 0 once the whole file has arrived; false
// with *read_count 0 when the transfer broke off before its end (the bytes
// read so far are not the whole file).
bool ftp_read_file(FtpRemoteFile* file, void* buffer, uint32_t size, uint32_t* read_count);
// Ends the transfer (early if need be) and frees the handle. False when the
// handle could not be closed cleanly; it is freed in any case. Null gives
// false.
bool ftp_close_file(FtpRemoteFile* file);

// Sends a local file (a Windows-form path) to the remote name, replacing a
// remote file of that name. False when the local file cannot be read or the
// server refuses or breaks off the transfer.
bool ftp_put_file(FtpConnection* connection, const char* local_path, const char* remote_name);

// True when the server still holds the connection as far as can be told
// without disturbing it; false when it was seen to drop it. May cost one
// command and its answer. A connection with a file open counts as dropped.
bool ftp_connection_alive(FtpConnection* connection);

// One logged-on session put aside between two transfers, so that the next
// transfer to the same server, account and folder needs no new logon. The
// process holds at most one; all of it may be used from any one thread at a
// time.
//
// Puts agent, with its connection, aside for server, user (null for an
// anonymous logon), password and directory, the folder the connection is
// in. A session put aside before is closed. Null handles are closed and
// nothing is kept.
void ftp_keep_session(FtpAgent* agent, FtpConnection* connection, const char* server,
                      const char* user, const char* password, const char* directory);
// Takes back the session kept for exactly these: true with *agent and
// *connection set, and nothing kept any more. False, with both null, when
// none was kept, when it was kept for another server, account or folder, or
// when the server dropped it; such a session is closed.
bool ftp_take_session(const char* server, const char* user, const char* password,
                      const char* directory, FtpAgent** agent, FtpConnection** connection);
// Closes the session put aside, if any.
void ftp_close_kept_session();

// The error code of the calling thread's last failed FTP call: the system's
// on Windows, the transfer library's elsewhere.
uint32_t ftp_last_error();

} // namespace qp

#endif
