// Reading what an FTP server answers. The replies come from outside: nothing
// taken from them may carry a line end on into a later command, and a
// reply's meaning is taken from that reply's own line only.
#ifndef QUILL_PLATFORM_FTP_REPLY_H
#define QUILL_PLATFORM_FTP_REPLY_H

#include <stddef.h>

#include <string>

namespace qp {

// True when name holds a carriage return or a line feed.
bool ftp_has_line_end(const std::string& name);

// True when a reply line (as the transfer library hands it over, line end
// included) tells that a transfer opens: a 125 or 150 reply.
bool ftp_reply_opens_transfer(const char* line, size_t length);

// The folder named by the last 257 reply among replies (lines as they
// arrived, each with its line end): the text of that line between its first
// quote and the closing one, with doubled quotes standing for one. False,
// *out untouched, when there is no 257 line or it holds no quoted folder.
bool ftp_folder_of_reply(const std::string& replies, std::string* out);

} // namespace qp

#endif
