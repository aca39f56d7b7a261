// quill-serverlist: writes and reads the enciphered server list "ver_C".
//   quill-serverlist encode PLAIN VER_C   checks and enciphers a plain list
//   quill-serverlist decode VER_C         prints the plain list
// A plain list is whitespace-separated tokens: a leading word, the number of
// servers, then host (or host:port), directory, user and password of each.
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "common/server_list.h"
#include "quill/platform/file.h"

namespace {

bool read_whole(const char* name, std::string& content) {
    return qp::read_whole_file(name, SIZE_MAX, &content);
}

int usage() {
    fprintf(stderr, "usage: quill-serverlist encode PLAIN VER_C\n"
                    "       quill-serverlist decode VER_C\n");
    return 2;
}

int encode(const char* plain_name, const char* ver_name) {
    std::string plain;
    if (!read_whole(plain_name, plain)) {
        fprintf(stderr, "quill-serverlist: cannot read %s\n", plain_name);
        return 1;
    }
    std::string enciphered, reason;
    if (!encipher_server_list_text(plain, enciphered, reason)) {
        fprintf(stderr, "quill-serverlist: %s refused: %s\n", plain_name, reason.c_str());
        return 1;
    }
    FILE* out = qp::open_stream(ver_name, "wb");
    if (!out) {
        fprintf(stderr, "quill-serverlist: cannot write %s\n", ver_name);
        return 1;
    }
    const bool written = fwrite(enciphered.data(), 1, enciphered.size(), out) == enciphered.size();
    if (fclose(out) != 0 || !written) {
        fprintf(stderr, "quill-serverlist: writing %s failed\n", ver_name);
        qp::delete_file(ver_name);
        return 1;
    }
    return 0;
}

int decode(const char* ver_name) {
    std::string enciphered;
    if (!read_whole(ver_name, enciphered)) {
        fprintf(stderr, "quill-serverlist: cannot read %s\n", ver_name);
        return 1;
    }
    const std::string plain = decipher_server_list_text(enciphered);
    fwrite(plain.data(), 1, plain.size(), stdout);
    fputc('\n', stdout);
    return fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "encode")
        return encode(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "decode")
        return decode(argv[2]);
    return usage();
}
