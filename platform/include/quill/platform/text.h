// Conversions between the system's narrow code page (code page 949 on the
// Korean Windows the package targets, UTF-8 elsewhere) and UTF-16.
#ifndef QUILL_PLATFORM_TEXT_H
#define QUILL_PLATFORM_TEXT_H

#include <string>

#include "quill/platform/types.h"

namespace qp {

typedef std::basic_string<WCHAR> WideString;

// UTF-16 text (length units, or up to its zero when length is -1) in the
// narrow code page. Characters the code page lacks become '?'. Never fails.
std::string wide_to_narrow(const WCHAR* text, int length = -1);
// Narrow text (length bytes, or up to its zero when length is -1) as UTF-16.
// Bytes that form no character of the code page become U+FFFD on systems
// without a code page table of their own, and what the system makes of them
// on Windows. Never fails.
WideString narrow_to_wide(const char* text, int length = -1);

} // namespace qp

#endif
