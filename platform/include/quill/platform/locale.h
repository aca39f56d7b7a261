// The system's rules for narrow text: where a character ends, letter case,
// collation, the OEM code page and message formatting. Narrow text is code
// page 949 on the Korean Windows the package targets (one byte for ASCII, two
// for a Korean character, whose second byte may be an ASCII letter) and UTF-8
// elsewhere (where no ASCII byte ever occurs inside a longer character).
#ifndef QUILL_PLATFORM_LOCALE_H
#define QUILL_PLATFORM_LOCALE_H

#include <stdarg.h>
#include <stddef.h>

#include <string>

namespace qp {

// True when byte starts a character of more than one byte: a lead byte of the
// ANSI code page on Windows (the system's own test), the first byte of a
// UTF-8 sequence of two to four bytes elsewhere. Never fails.
bool is_lead_byte(unsigned char byte);

// The number of bytes (1 to 4) of the character that starts at text, of which
// at most `available` bytes (at least 1) may be read. A lead byte whose
// sequence is cut short by `available` or by a zero byte, and any byte that
// starts no valid sequence, counts as a character of its own (1). No byte past
// the first zero byte is read, so text ending in a zero byte may be passed
// with any `available`. Walking a text with it never splits a character and
// never leaves the text.
size_t char_length(const char* text, size_t available);

// Changes the letters of text[0, length) to upper (resp. lower) case in place,
// character by character: the single-byte letters a-z (A-Z), as the C
// run-time does in the "C" locale. A character of more than one byte is left
// whole, so a trail byte that happens to be an ASCII letter is never changed.
// The byte count never changes.
void upper_case(char* text, size_t length);
void lower_case(char* text, size_t length);

// Compares two zero-terminated texts by the rules of the user's language:
// negative, 0 or positive as a sorts before, equal to or after b. Windows:
// CompareStringA with the user's default locale (NORM_IGNORECASE for the
// no-case form); when the system refuses, the byte order of strcmp (letters
// a-z folded to lower case for the no-case form). Elsewhere: strcoll under the
// process's LC_COLLATE (plain byte order in the "C" locale); the no-case form
// first folds the letters A-Z of both texts to lower case.
int collate(const char* a, const char* b);
int collate_no_case(const char* a, const char* b);

// Converts text[0, length) in place from the ANSI code page to the OEM code
// page (resp. back). Windows: CharToOemBuffA / OemToCharBuffA, which keep the
// byte count; on the Korean system both code pages are 949 and the text stays
// as it is. Elsewhere the two code pages are the same and nothing changes.
void ansi_to_oem(char* text, size_t length);
void oem_to_ansi(char* text, size_t length);

// Formats a message as FormatMessage does with a message text of its own.
// An insert sequence %<number> (1 to 99) takes the argument of that number
// from *args: the arguments are read once each, in the order of their
// numbers, whatever order the inserts come in. Returns true with the text in
// *out; false, with *out empty, when the format cannot be used.
//
// Windows: FormatMessageA with FORMAT_MESSAGE_FROM_STRING and
// FORMAT_MESSAGE_ALLOCATE_BUFFER. Every form the system knows works; %n and
// the line breaks of the text come out as CR LF.
//
// Elsewhere the same rules are followed by hand, for these forms:
//   %<number>          the argument as a zero-terminated text (const char*;
//                      a null pointer gives "(null)"), as %<number>!s!
//   %<number>!<fmt>!   the argument through printf's "%<fmt>": flags (-+ #0),
//                      a width, a precision (.digits), a size (h, hh, l, ll,
//                      I32, I64) and one of d i u o x X c s p; the argument
//                      is read as an int, a long (l), a long long (ll, I64),
//                      a const char* (s) or a void* (p)
//   %%  %!  %.  %<blank>  a percent sign, an exclamation mark, a period, a blank
//   %n  %r  %t         a line feed (the line break of the system), a carriage
//                      return, a tab
//   %0                 the end of the message: nothing after it is written
//   %<other>           that character
// Other text, line breaks included, is copied as it stands. An argument
// whose number no insert uses, below the highest one used, is read as a
// pointer-sized integer and dropped. Refused: a width or precision given as *
// or above 32767, floating-point and wide-text conversions, any other
// conversion, an insert whose !<fmt>! has no closing !, a % at the very end,
// and an argument number used with two different argument types.
bool format_message(const char* format, va_list* args, std::string* out);

} // namespace qp

#endif
