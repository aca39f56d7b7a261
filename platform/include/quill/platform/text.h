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

// Names of files and folders as listings, mirrors and the FTP wire carry
// them: code page 949 bytes on every system, the form the Windows product
// has always written. A name passes between that form and the narrow code
// page of this system (code page 949 itself on the Korean Windows, UTF-8
// elsewhere) only whole: false, leaving *out as it was, when a character has
// no place in the other form or the bytes form no character of their code
// page. Names of ASCII characters only are the same in both forms.
bool name_to_cp949(const std::string& name, std::string* out);
bool name_from_cp949(const std::string& bytes, std::string* out);

} // namespace qp

#endif
