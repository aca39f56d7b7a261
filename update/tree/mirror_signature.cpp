#include "tree/mirror_signature.h"

#include <stdio.h>
#include <stdlib.h>

#include <vector>

const char* const mirror_signature_file_name = "ls.sig";

namespace {

const char kHeader[] = "QUILL MIRROR SIGNATURE 1";
const char kPrivateHeader[] = "QUILL ECDSA P-256 PRIVATE KEY";
const char kPublicHeader[] = "QUILL ECDSA P-256 PUBLIC KEY";

bool breaks_line(const std::string& field) {
    return field.find_first_of("\r\n") != std::string::npos;
}

std::vector<std::string> lines_of(const std::string& text, bool* ends_in_line_feed) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            *ends_in_line_feed = false;
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    *ends_in_line_feed = true;
    return lines;
}

// "word rest": the rest when the line starts with the word and a blank.
bool field(const std::string& line, const char* word, std::string* rest) {
    const std::string prefix = std::string(word) + " ";
    if (line.compare(0, prefix.size(), prefix) != 0)
        return false;
    *rest = line.substr(prefix.size());
    return true;
}

bool decimal(const std::string& text, uint64_t* value) {
    if (text.empty() || text.size() > 19)
        return false;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + static_cast<uint64_t>(c - '0');
    }
    *value = result;
    return true;
}

template <size_t N> std::string hex(const std::array<uint8_t, N>& bytes) {
    return hex_of(bytes.data(), N);
}

} // namespace

std::string hex_of(const uint8_t* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

bool bytes_of_hex(const std::string& hex, uint8_t* bytes, size_t size) {
    if (hex.size() != size * 2)
        return false;
    for (size_t i = 0; i < size; ++i) {
        int value = 0;
        for (int k = 0; k < 2; ++k) {
            const char c = hex[2 * i + k];
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return false;
            value = value * 16 + digit;
        }
        bytes[i] = static_cast<uint8_t>(value);
    }
    return true;
}

bool sign_mirror_signature(const mirror_signature_C& content, const qp::PrivateKey& private_key,
                           const qp::PublicKey& public_key, std::string* text) {
    if (breaks_line(content.version))
        return false;
    std::string signed_part = std::string(kHeader) + "\n";
    signed_part += "publication " + std::to_string(content.publication) + "\n";
    signed_part += "version " + content.version + "\n";
    signed_part += "listing " + hex(content.listing) + "\n";
    for (const auto& file : content.files) {
        if (file.first.empty() || breaks_line(file.first))
            return false;
        signed_part += "file " + hex(file.second) + " " + file.first + "\n";
    }
    qp::Signature signature;
    if (!qp::sign_data(private_key, public_key, signed_part.data(), signed_part.size(),
                       &signature))
        return false;
    *text = signed_part + "signature " + hex(signature) + "\n";
    return true;
}

bool read_mirror_signature(const std::string& text, const qp::PublicKey& public_key,
                           mirror_signature_C* content, std::string* why) {
    bool complete = false;
    const std::vector<std::string> lines = lines_of(text, &complete);
    if (!complete || lines.size() < 5 || lines[0] != kHeader) {
        *why = "NOT A SIGNATURE FILE";
        return false;
    }
    // Every byte before the last line is signed, and nothing else counts.
    const size_t signed_size = text.size() - lines.back().size() - 1;
    std::string rest;
    qp::Signature signature;
    if (!field(lines.back(), "signature", &rest) ||
        !bytes_of_hex(rest, signature.data(), signature.size())) {
        *why = "NO SIGNATURE LINE";
        return false;
    }
    if (!qp::verify_data(public_key, text.data(), signed_size, signature)) {
        *why = "BAD SIGNATURE";
        return false;
    }
    mirror_signature_C read;
    if (!field(lines[1], "publication", &rest) || !decimal(rest, &read.publication) ||
        !field(lines[2], "version", &read.version) || !field(lines[3], "listing", &rest) ||
        !bytes_of_hex(rest, read.listing.data(), read.listing.size())) {
        *why = "BAD SIGNATURE FILE FORMAT";
        return false;
    }
    for (size_t i = 4; i + 1 < lines.size(); ++i) {
        qp::Sha256Digest digest;
        if (!field(lines[i], "file", &rest) || rest.size() < 66 || rest[64] != ' ' ||
            !bytes_of_hex(rest.substr(0, 64), digest.data(), digest.size()) ||
            !read.files.emplace(rest.substr(65), digest).second) {
            *why = "BAD SIGNATURE FILE FORMAT";
            return false;
        }
    }
    *content = std::move(read);
    return true;
}

uint64_t publication_of(const std::string& text) {
    bool complete = false;
    const std::vector<std::string> lines = lines_of(text, &complete);
    std::string rest;
    uint64_t value = 0;
    if (lines.size() > 1 && lines[0] == kHeader && field(lines[1], "publication", &rest) &&
        decimal(rest, &value))
        return value;
    return 0;
}

std::string private_key_text(const qp::PrivateKey& private_key, const qp::PublicKey& public_key) {
    return std::string(kPrivateHeader) + "\n" + hex(private_key) + "\n" + hex(public_key) + "\n";
}

std::string public_key_text(const qp::PublicKey& public_key) {
    return std::string(kPublicHeader) + "\n" + hex(public_key) + "\n";
}

namespace {

// A key file's lines, with the carriage returns an editor may have added.
std::vector<std::string> key_lines(const std::string& text) {
    bool complete = false;
    std::vector<std::string> lines = lines_of(text, &complete);
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
}

} // namespace

bool read_private_key(const std::string& text, qp::PrivateKey* private_key,
                      qp::PublicKey* public_key) {
    const std::vector<std::string> lines = key_lines(text);
    return lines.size() == 3 && lines[0] == kPrivateHeader &&
           bytes_of_hex(lines[1], private_key->data(), private_key->size()) &&
           bytes_of_hex(lines[2], public_key->data(), public_key->size());
}

bool read_public_key(const std::string& text, qp::PublicKey* public_key) {
    const std::vector<std::string> lines = key_lines(text);
    if (lines.size() == 1)
        return bytes_of_hex(lines[0], public_key->data(), public_key->size());
    return lines.size() == 2 && lines[0] == kPublicHeader &&
           bytes_of_hex(lines[1], public_key->data(), public_key->size());
}
