// The rules of the system's ANSI code page (949 on the Korean systems the
// package targets), taken from the system itself.
#include "quill/platform/locale.h"

#include <string.h>

#include "quill/platform/types.h"

namespace qp {
namespace {

// The ANSI code page cannot change while a process runs, so the system's
// lead-byte test is asked once per byte value and kept.
struct LeadByteTable {
    bool lead[256];
    LeadByteTable() {
        for (int b = 0; b < 256; ++b)
            lead[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
    }
};

const LeadByteTable& lead_bytes() {
    static const LeadByteTable table;
    return table;
}

template <typename Fold> void fold_letters(char* text, size_t length, Fold fold) {
    size_t i = 0;
    while (i < length) {
        const size_t n = char_length(text + i, length - i);
        if (n == 1)
            text[i] = fold(text[i]);
        i += n;
    }
}

int byte_order_no_case(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a);
        unsigned char y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y || x == 0)
            return x < y ? -1 : (x > y ? 1 : 0);
    }
}

} // namespace

bool is_lead_byte(unsigned char byte) {
    return lead_bytes().lead[byte];
}

size_t char_length(const char* text, size_t available) {
    // A lead byte followed by the terminating zero (or by nothing) is a broken
    // character: counting it alone keeps the walk inside the text.
    if (available >= 2 && lead_bytes().lead[static_cast<unsigned char>(text[0])] && text[1] != '\0')
        return 2;
    return 1;
}

void upper_case(char* text, size_t length) {
    fold_letters(text, length,
                 [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
}

void lower_case(char* text, size_t length) {
    fold_letters(text, length,
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
}

int collate(const char* a, const char* b) {
    const int result = CompareStringA(LOCALE_USER_DEFAULT, 0, a, -1, b, -1);
    if (result == 0)
        return strcmp(a, b);
    return result - CSTR_EQUAL;
}

int collate_no_case(const char* a, const char* b) {
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1);
    if (result == 0)
        return byte_order_no_case(a, b);
    return result - CSTR_EQUAL;
}

void ansi_to_oem(char* text, size_t length) {
    if (length > 0)
        CharToOemBuffA(text, text, static_cast<DWORD>(length));
}

void oem_to_ansi(char* text, size_t length) {
    if (length > 0)
        OemToCharBuffA(text, text, static_cast<DWORD>(length));
}

bool format_message(const char* format, va_list* args, std::string* out) {
    out->clear();
    if (!format)
        return false;
    char* buffer = nullptr;
    SetLastError(ERROR_SUCCESS);
    const DWORD size = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                      format, 0, 0, reinterpret_cast<char*>(&buffer), 0, args);
    // An empty message also yields 0, but without an error code.
    const bool ok = size > 0 || GetLastError() == ERROR_SUCCESS;
    if (buffer) {
        out->assign(buffer, size);
        LocalFree(buffer);
    }
    return ok;
}

} // namespace qp
