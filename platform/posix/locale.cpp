// The narrow code page here is UTF-8, and the OEM code page is the same one.
// Character rules are done by hand so that they do not depend on the process
// locale; only collation follows it, as collation is meant to.
#include "quill/platform/locale.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace qp {
namespace {

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

std::string folded_to_lower(const char* text) {
    std::string folded(text);
    lower_case(&folded[0], folded.size());
    return folded;
}

// --- format_message ---------------------------------------------------------

enum class ArgKind { None, Int, Long, LongLong, Text, Pointer };

// The largest width or precision accepted in an insert: enough for any
// message, and no insert can ask for an allocation out of bounds.
const long kMaxFieldWidth = 32767;

// One insert of a message: the argument's number and type, and the printf
// conversion that formats it.
struct Insert {
    int number;
    ArgKind kind;
    std::string conversion;
};

// Reads the insert that starts at *p (just after its number) in the form
// !<fmt>!, or nothing for the plain text form. Moves *p past it. False when
// the form is not supported.
bool parse_insert_format(const char** p, Insert* insert) {
    const char* s = *p;
    if (*s != '!') {
        insert->kind = ArgKind::Text;
        insert->conversion = "%s";
        return true;
    }
    ++s;
    const char* end = strchr(s, '!');
    if (!end)
        return false;
    std::string conversion = "%";
    while (*s == '-' || *s == '+' || *s == ' ' || *s == '#' || *s == '0')
        conversion += *s++;
    for (int part = 0; part < 2; ++part) { // width, then .precision
        if (part == 1) {
            if (*s != '.')
                break;
            conversion += *s++;
        }
        long value = 0;
        while (*s >= '0' && *s <= '9') {
            value = value * 10 + (*s - '0');
            if (value > kMaxFieldWidth)
                return false;
            conversion += *s++;
        }
    }
    // The size: h and hh change nothing in what is read (the argument arrives
    // as an int); I32 is the plain int.
    std::string size;
    ArgKind integer = ArgKind::Int;
    if (strncmp(s, "I64", 3) == 0) {
        s += 3, size = "ll", integer = ArgKind::LongLong;
    } else if (strncmp(s, "I32", 3) == 0) {
        s += 3;
    } else if (strncmp(s, "ll", 2) == 0) {
        s += 2, size = "ll", integer = ArgKind::LongLong;
    } else if (*s == 'l') {
        s += 1, size = "l", integer = ArgKind::Long;
    } else if (strncmp(s, "hh", 2) == 0) {
        s += 2, size = "hh";
    } else if (*s == 'h') {
        s += 1, size = "h";
    }
    const char type = *s++;
    if (s != end)
        return false;
    switch (type) {
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X':
        insert->kind = integer;
        break;
    case 'c':
        if (integer != ArgKind::Int) // a wide character
            return false;
        insert->kind = ArgKind::Int;
        size.clear();
        break;
    case 's':
        // %hs is a narrow text, as with Microsoft's printf; %ls a wide one.
        if (integer != ArgKind::Int || size == "hh")
            return false;
        insert->kind = ArgKind::Text;
        size.clear();
        break;
    case 'p':
        if (!size.empty())
            return false;
        insert->kind = ArgKind::Pointer;
        break;
    default:
        return false;
    }
    conversion += size;
    conversion += type;
    insert->conversion = conversion;
    *p = end + 1;
    return true;
}

// Walks a message once. Literal text goes to out (when out is not null), and
// every insert to on_insert. False when the format is refused.
template <typename OnInsert>
bool walk_message(const char* format, std::string* out, OnInsert on_insert) {
    const char* p = format;
    while (*p) {
        const char* literal = p;
        while (*p && *p != '%')
            ++p;
        if (out)
            out->append(literal, p - literal);
        if (!*p)
            break;
        ++p; // the '%'
        const char c = *p;
        if (c == '\0') // a lone % at the end, which the system refuses too
            return false;
        if (c == '0')
            break;
        if (c >= '1' && c <= '9') {
            Insert insert;
            insert.number = c - '0';
            ++p;
            if (*p >= '0' && *p <= '9')
                insert.number = insert.number * 10 + (*p++ - '0');
            if (!parse_insert_format(&p, &insert))
                return false;
            if (!on_insert(insert))
                return false;
            continue;
        }
        ++p;
        if (!out)
            continue;
        switch (c) {
        case 'n':
            out->push_back('\n');
            break;
        case 'r':
            out->push_back('\r');
            break;
        case 't':
            out->push_back('\t');
            break;
        default: // %%, %!, %., %<blank> and any other character: itself
            out->push_back(c);
            break;
        }
    }
    return true;
}

union ArgValue {
    long long integer;
    const char* text;
    void* pointer;
};

// printf of one insert into buffer (size bytes); the count as snprintf gives it.
int print_insert(char* buffer, size_t size, const Insert& insert, const ArgValue& value) {
    const char* format = insert.conversion.c_str();
    switch (insert.kind) {
    case ArgKind::Text:
        return snprintf(buffer, size, format, value.text);
    case ArgKind::Pointer:
        return snprintf(buffer, size, format, value.pointer);
    case ArgKind::LongLong:
        return snprintf(buffer, size, format, value.integer);
    case ArgKind::Long:
        return snprintf(buffer, size, format, static_cast<long>(value.integer));
    default:
        return snprintf(buffer, size, format, static_cast<int>(value.integer));
    }
}

bool append_insert(const Insert& insert, const ArgValue& value, std::string* out) {
    const int needed = print_insert(nullptr, 0, insert, value);
    if (needed < 0)
        return false;
    const size_t start = out->size();
    out->resize(start + static_cast<size_t>(needed) + 1);
    print_insert(&(*out)[start], static_cast<size_t>(needed) + 1, insert, value);
    out->resize(start + static_cast<size_t>(needed));
    return true;
}

} // namespace

bool is_lead_byte(unsigned char byte) {
    return byte >= 0xC2 && byte <= 0xF4;
}

size_t char_length(const char* text, size_t available) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = s[0];
    size_t n;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    else
        return 1;
    if (available < n)
        return 1;
    // The second byte's range also rules out overlong forms, surrogates and
    // values above U+10FFFF. Checking byte by byte stops at a zero byte.
    const unsigned char second = s[1];
    unsigned char low = 0x80, high = 0xBF;
    if (lead == 0xE0)
        low = 0xA0;
    else if (lead == 0xED)
        high = 0x9F;
    else if (lead == 0xF0)
        low = 0x90;
    else if (lead == 0xF4)
        high = 0x8F;
    if (second < low || second > high)
        return 1;
    for (size_t i = 2; i < n; ++i)
        if (!is_continuation(s[i]))
            return 1;
    return n;
}

// No byte of a longer UTF-8 character is an ASCII letter, so every byte can
// be looked at alone.
void upper_case(char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (text[i] >= 'a' && text[i] <= 'z')
            text[i] = static_cast<char>(text[i] - 'a' + 'A');
}

void lower_case(char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (text[i] >= 'A' && text[i] <= 'Z')
            text[i] = static_cast<char>(text[i] - 'A' + 'a');
}

int collate(const char* a, const char* b) {
    return strcoll(a, b);
}

int collate_no_case(const char* a, const char* b) {
    return strcoll(folded_to_lower(a).c_str(), folded_to_lower(b).c_str());
}

void ansi_to_oem(char*, size_t) {}

void oem_to_ansi(char*, size_t) {}

bool format_message(const char* format, va_list* args, std::string* out) {
    out->clear();
    if (!format)
        return false;

    // First the type of every argument, so that each is read from the list
    // with its own type and in the order of the numbers.
    std::vector<ArgKind> kinds(100, ArgKind::None);
    int highest = 0;
    const bool usable = walk_message(format, nullptr, [&](const Insert& insert) {
        ArgKind& kind = kinds[static_cast<size_t>(insert.number)];
        if (kind != ArgKind::None && kind != insert.kind)
            return false;
        kind = insert.kind;
        if (insert.number > highest)
            highest = insert.number;
        return true;
    });
    if (!usable)
        return false;

    std::vector<ArgValue> values(static_cast<size_t>(highest) + 1);
    for (int number = 1; number <= highest; ++number) {
        ArgValue& value = values[static_cast<size_t>(number)];
        switch (kinds[static_cast<size_t>(number)]) {
        case ArgKind::Int:
            value.integer = va_arg(*args, int);
            break;
        case ArgKind::Long:
            value.integer = va_arg(*args, long);
            break;
        case ArgKind::LongLong:
            value.integer = va_arg(*args, long long);
            break;
        case ArgKind::Text:
            value.text = va_arg(*args, const char*);
            if (!value.text)
                value.text = "(null)";
            break;
        case ArgKind::Pointer:
            value.pointer = va_arg(*args, void*);
            break;
        case ArgKind::None:
            value.integer = va_arg(*args, intptr_t);
            break;
        }
    }

    const bool done = walk_message(format, out, [&](const Insert& insert) {
        return append_insert(insert, values[static_cast<size_t>(insert.number)], out);
    });
    if (!done)
        out->clear();
    return done;
}

} // namespace qp
