// Code page conversions through the system's own tables.
#include "quill/platform/text.h"

#include <string.h>

namespace qp {

std::string wide_to_narrow(const WCHAR* text, int length) {
    if (!text)
        return std::string();
    if (length < 0)
        length = static_cast<int>(wcslen(text));
    if (length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], size, nullptr, nullptr);
    return out;
}

WideString narrow_to_wide(const char* text, int length) {
    if (!text)
        return WideString();
    if (length < 0)
        length = static_cast<int>(strlen(text));
    if (length == 0)
        return WideString();
    const int size = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (size <= 0)
        return WideString();
    WideString out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, &out[0], size);
    return out;
}

namespace {

const UINT kNameCodePage = 949;

bool is_ascii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The whole of text from one code page into the other through UTF-16, or
// false when a byte forms no character or a character has no place.
bool convert_whole(UINT to, UINT from, const std::string& text, std::string* out) {
    const int length = static_cast<int>(text.size());
    const int wide_size =
        MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wide_size <= 0)
        return false;
    WideString wide(static_cast<size_t>(wide_size), L'\0');
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, &wide[0], wide_size);
    BOOL defaulted = FALSE;
    const int size = WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size,
                                         nullptr, 0, nullptr, &defaulted);
    if (size <= 0 || defaulted)
        return false;
    std::string converted(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, &converted[0], size,
                        nullptr, &defaulted);
    if (defaulted)
        return false;
    *out = std::move(converted);
    return true;
}

// On the Korean system the two forms are one: the bytes need only be
// characters of it.
bool same_or_converted(UINT to, UINT from, const std::string& text, std::string* out) {
    if (is_ascii(text)) {
        *out = text;
        return true;
    }
    if (GetACP() == kNameCodePage) {
        if (MultiByteToWideChar(kNameCodePage, MB_ERR_INVALID_CHARS, text.data(),
                                static_cast<int>(text.size()), nullptr, 0) <= 0)
            return false;
        *out = text;
        return true;
    }
    return convert_whole(to, from, text, out);
}

} // namespace

bool name_to_cp949(const std::string& name, std::string* out) {
    return same_or_converted(kNameCodePage, CP_ACP, name, out);
}

bool name_from_cp949(const std::string& bytes, std::string* out) {
    return same_or_converted(CP_ACP, kNameCodePage, bytes, out);
}

} // namespace qp
