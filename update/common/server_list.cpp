#include "common/server_list.h"

#include <string.h>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/settings.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"

namespace {

const size_t key_size = 88;

const unsigned char key[key_size] = {
    0xfa, 0xcc, 0x49, 0xc5, 0xbe, 0x98, 0x2d, 0x1f, 0x8c, 0x73, 0xc5, 0xe7, 0xe1, 0x31, 0xd9,
    0x85, 0xb8, 0xef, 0x26, 0xcb, 0x42, 0xfe, 0x97, 0xa2, 0xcf, 0x8f, 0x19, 0xf6, 0x27, 0x44,
    0x14, 0x65, 0x75, 0xe1, 0xac, 0x6a, 0x70, 0x2b, 0x54, 0x1b, 0xc8, 0xb1, 0x31, 0x3d, 0x85,
    0x24, 0x89, 0xd2, 0xd0, 0xe0, 0x2d, 0xbe, 0x48, 0x11, 0xc3, 0xb4, 0x30, 0x83, 0x30, 0x55,
    0x9a, 0x8b, 0x45, 0x09, 0xf6, 0x66, 0x99, 0xe9, 0x1d, 0x7a, 0x7a, 0x83, 0xb7, 0x19, 0xeb,
    0x6c, 0xf3, 0x7f, 0x1e, 0xb7, 0x7e, 0x87, 0x15, 0x3a, 0xbb, 0x2c, 0xd5, 0x87,
};

bool is_separator(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// No list can name more servers than this: each takes four tokens of the
// 4096 bytes.
const long count_ceiling = 1000000L;

} // namespace

void decipher_server_list(unsigned char* data, size_t size) {
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<unsigned char>(data[i] - key[i % key_size]);
}

void encipher_server_list(unsigned char* data, size_t size) {
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<unsigned char>(data[i] + key[i % key_size]);
}

std::vector<std::string> server_list_tokens(const unsigned char* plain, size_t size) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < size) {
        while (i < size && is_separator(plain[i]))
            ++i;
        const size_t start = i;
        while (i < size && !is_separator(plain[i]))
            ++i;
        const unsigned char* zero =
            static_cast<const unsigned char*>(memchr(plain + start, 0, i - start));
        const size_t length = zero ? static_cast<size_t>(zero - (plain + start)) : i - start;
        if (length > 0)
            tokens.emplace_back(reinterpret_cast<const char*>(plain + start), length);
    }
    return tokens;
}

long server_count_of(const std::string& token) {
    long count = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            break;
        if (count < count_ceiling)
            count = count * 10 + (c - '0');
    }
    return count;
}

namespace {

// A port after the host must be a number the FTP connection can use.
bool port_is_valid(const std::string& host, std::string& reason) {
    const size_t colon = host.find(':');
    if (colon == std::string::npos)
        return true;
    const std::string port = host.substr(colon + 1);
    long value = 0;
    // Only up to five digits are read: a longer run is refused before its
    // value could overflow.
    bool digits = !port.empty() && port.size() <= 5;
    for (size_t i = 0; digits && i < port.size(); ++i) {
        const char c = port[i];
        if (c < '0' || c > '9')
            digits = false;
        else
            value = value * 10 + (c - '0');
    }
    if (!digits || value < 1 || value > 65535) {
        reason = "host " + host + " has no port between 1 and 65535 after its colon";
        return false;
    }
    return true;
}

} // namespace

bool encipher_server_list_text(const std::string& plain, std::string& enciphered,
                               std::string& reason) {
    if (plain.size() > server_list_buffer_size) {
        reason = "the list is longer than the 4096 bytes the updater reads";
        return false;
    }
    if (plain.find('\0') != std::string::npos) {
        reason = "the list holds a zero byte, which would cut a token short";
        return false;
    }
    const std::vector<std::string> tokens =
        server_list_tokens(reinterpret_cast<const unsigned char*>(plain.data()), plain.size());
    if (tokens.size() < 6) {
        reason = "fewer than 6 tokens: a leading word, the count and 4 per server are needed";
        return false;
    }
    if ((tokens.size() - 2) % 4 != 0) {
        reason = "the token count minus 2 is no multiple of 4";
        return false;
    }
    const long count = server_count_of(tokens[1]);
    if (count <= 0) {
        reason = "the server count (second token) is not a number above 0";
        return false;
    }
    if (static_cast<size_t>(count) * 4 + 2 != tokens.size()) {
        reason = "the server count does not match the " + std::to_string((tokens.size() - 2) / 4) +
                 " servers the list holds";
        return false;
    }
    for (long k = 0; k < count; ++k)
        if (!port_is_valid(tokens[2 + 4 * k], reason))
            return false;
    enciphered = plain;
    enciphered.append(server_list_buffer_size - plain.size(), ' ');
    encipher_server_list(reinterpret_cast<unsigned char*>(&enciphered[0]), enciphered.size());
    return true;
}

std::string decipher_server_list_text(const std::string& enciphered) {
    std::string plain = enciphered.substr(0, server_list_buffer_size);
    plain.resize(server_list_buffer_size, '\0');
    decipher_server_list(reinterpret_cast<unsigned char*>(&plain[0]), plain.size());
    size_t end = plain.size();
    while (end > 0 && is_separator(static_cast<unsigned char>(plain[end - 1])))
        --end;
    plain.resize(end);
    return plain;
}

bool load_server_list(update_run_C& run) {
    FILE* file = qp::open_stream(g_server_list_file_name.c_str(), "rb");
    if (!file) {
        run.log.log_line("load_server_list_2  [ERROR : CAN'T OPEN SERVER LIST FILE (FILE ver_C)]");
        return false;
    }
    std::vector<unsigned char> buffer(server_list_buffer_size, 0);
    const size_t got = fread(buffer.data(), 1, buffer.size(), file);
    (void)got; // a short file leaves zero bytes, which decipher like the rest
    fclose(file);

    decipher_server_list(buffer.data(), buffer.size());
    const std::vector<std::string> tokens = server_list_tokens(buffer.data(), buffer.size());
    const long nb_token = static_cast<long>(tokens.size());

    if (nb_token < 6) {
        run.log.log_line("load_server_list  [BAD SERVER LIST FILE FORMAT (1)]");
        return false;
    }
    run.log.log_format("load_server_list  : nb_token : %d", static_cast<int>(nb_token));
    if ((nb_token - 2) % 4 != 0) {
        run.log.log_line("load_server_list  [BAD SERVER LIST FILE FORMAT (2)]");
        return false;
    }
    const long nb_server = server_count_of(tokens[1]);
    run.log.log_format("load_server_list  [nb_server : %d]", static_cast<int>(nb_server));
    if (nb_server <= 0) {
        run.log.log_line("load_server_list  [ERROR : NO SERVER AT ALL]");
        run.shown.message_box("load_server_list  [ERROR : NO SERVER AT ALL]");
        return false;
    }
    if (nb_token != 4 * nb_server + 2) {
        run.log.log_line("load_server_list  [BAD SERVER LIST FILE FORMAT (3)]");
        run.log.log_line("ERROR REASON MAY BE : ");
        run.log.log_line("- BAD FILE FORMAT (old style of ver ]");
        run.log.log_line("- WRONG NUMBER OF SERVER COMPARING TO DATA (check line 2 of ver)");
        return false;
    }
    for (long k = 0; k < nb_server; ++k) {
        ftp_server_C server;
        server.Servername = tokens[2 + 4 * k];
        server.Directory = tokens[3 + 4 * k];
        server.strUser = tokens[4 + 4 * k];
        server.strPass = tokens[5 + 4 * k];
        run.server_list.push_back(server);
    }
    if (run.server_list.empty())
        run.log.log_line("No server at all in the list");
    run.log.log_format("there is %d Servers", static_cast<int>(run.server_list.size()));
    return true;
}
