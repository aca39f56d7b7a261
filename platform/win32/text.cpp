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

} // namespace qp
