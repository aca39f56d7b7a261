// "host" or "host:port", shared by both FTP backends.
#include "quill/platform/ftp.h"

namespace qp {

bool ftp_split_server_name(const std::string& server, std::string* host, uint16_t* port) {
    const size_t colon = server.rfind(':');
    if (colon == std::string::npos) {
        *host = server;
        *port = 21;
        return !server.empty();
    }
    const std::string digits = server.substr(colon + 1);
    if (digits.empty() || digits.size() > 5)
        return false;
    unsigned long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value == 0 || value > 65535)
        return false;
    *host = server.substr(0, colon);
    *port = static_cast<uint16_t>(value);
    return !host->empty();
}

} // namespace qp
