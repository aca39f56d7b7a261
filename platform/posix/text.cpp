// The narrow code page here is UTF-8: conversions are done by hand, so they
// do not depend on the process locale. Names meet code page 949 through the
// C library's converter, which knows its table.
#include "quill/platform/text.h"

#include <errno.h>
#include <iconv.h>
#include <string.h>

namespace qp {
namespace {

const char32_t kReplacement = 0xFFFD;

void put_utf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void put_utf16(char32_t c, WideString* out) {
    if (c < 0x10000) {
        out->push_back(static_cast<WCHAR>(c));
    } else {
        c -= 0x10000;
        out->push_back(static_cast<WCHAR>(0xD800 | (c >> 10)));
        out->push_back(static_cast<WCHAR>(0xDC00 | (c & 0x3FF)));
    }
}

// Decodes one UTF-8 character at text[*i] (end excluded) and moves *i past it;
// a malformed sequence yields U+FFFD for its first byte.
char32_t next_utf8(const unsigned char* text, size_t end, size_t* i) {
    const unsigned char lead = text[(*i)++];
    if (lead < 0x80)
        return lead;
    int extra;
    char32_t c;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        return kReplacement;
    }
    size_t j = *i;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= end || (text[j] & 0xC0) != 0x80)
            return kReplacement;
        c = (c << 6) | (text[j] & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return kReplacement;
    *i = j;
    return c;
}

bool is_ascii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The whole of text from one code page into the other, or false.
bool convert_whole(const char* to, const char* from, const std::string& text, std::string* out) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    // Neither code page takes more than three bytes for a character that
    // the other writes in one: UTF-8 needs 3 where code page 949 needs 2.
    std::string converted(text.size() * 3 / 2 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t in_left = text.size();
    char* put = &converted[0];
    size_t out_left = converted.size();
    size_t result = iconv(converter, &in, &in_left, &put, &out_left);
    // A sequence cut off at the end is not a character either.
    if (result != static_cast<size_t>(-1))
        result = iconv(converter, nullptr, nullptr, &put, &out_left);
    iconv_close(converter);
    // The library counts characters it replaced in the result: none may be.
    if (result != 0 || in_left != 0)
        return false;
    converted.resize(converted.size() - out_left);
    *out = std::move(converted);
    return true;
}

} // namespace

bool name_to_cp949(const std::string& name, std::string* out) {
    if (is_ascii(name)) {
        *out = name;
        return true;
    }
    return convert_whole("CP949", "UTF-8", name, out);
}

bool name_from_cp949(const std::string& bytes, std::string* out) {
    if (is_ascii(bytes)) {
        *out = bytes;
        return true;
    }
    return convert_whole("UTF-8", "CP949", bytes, out);
}

std::string wide_to_narrow(const WCHAR* text, int length) {
    std::string out;
    if (!text)
        return out;
    size_t end = 0;
    if (length < 0) {
        while (text[end])
            ++end;
    } else {
        end = static_cast<size_t>(length);
    }
    out.reserve(end);
    for (size_t i = 0; i < end; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < end && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?'; // a lone surrogate has no narrow form
        }
        put_utf8(c, &out);
    }
    return out;
}

WideString narrow_to_wide(const char* text, int length) {
    WideString out;
    if (!text)
        return out;
    const size_t end = length < 0 ? strlen(text) : static_cast<size_t>(length);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    out.reserve(end);
    size_t i = 0;
    while (i < end)
        put_utf16(next_utf8(bytes, end, &i), &out);
    return out;
}

} // namespace qp
