// Arbitrary bytes as the reply lines of an FTP server, handed over line by
// line as the transfer library does. Every byte fed in is kept; a folder
// taken from them never holds a line end and stands quoted on a 257 line;
// and a folder written into a 257 reply after any other lines comes back
// as it was.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "quill/platform/ftp_reply.h"

namespace {

void require(bool condition) {
    if (!condition)
        abort();
}

std::string quoted(const std::string& folder) {
    std::string text = "\"";
    for (char c : folder) {
        text += c;
        if (c == '"')
            text += '"';
    }
    return text + "\"";
}

// Feeds the text line by line and checks what each line and the whole say.
std::string feed(const std::string& text) {
    std::string replies;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(at, end - at);
        replies += line;
        if (qp::ftp_reply_opens_transfer(line.data(), line.size()))
            require(line.compare(0, 4, "125 ") == 0 || line.compare(0, 4, "150 ") == 0);
        at = end;
    }
    require(replies == text);
    return replies;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string replies = feed(text);

    std::string folder = "untouched";
    if (qp::ftp_folder_of_reply(replies, &folder)) {
        require(!qp::ftp_has_line_end(folder));
        bool on_a_257_line = false;
        for (size_t at = replies.find(quoted(folder)); at != std::string::npos;
             at = replies.find(quoted(folder), at + 1)) {
            const size_t start = replies.find_last_of('\n', at);
            const size_t line = start == std::string::npos ? 0 : start + 1;
            if (replies.compare(line, 4, "257 ") == 0 && replies.find_first_of("\r\n", line) > at)
                on_a_257_line = true;
        }
        require(on_a_257_line);
    } else {
        require(folder == "untouched");
    }

    // Any earlier lines, then a 257 naming a folder: that folder, exactly.
    std::string named;
    for (char c : text)
        if (c != '\r' && c != '\n')
            named += c;
    const std::string reply = text + "\r\n257 " + quoted(named) + " is current\r\n226 Done\r\n";
    std::string back;
    require(qp::ftp_folder_of_reply(feed(reply), &back));
    require(back == named);
    return 0;
}
