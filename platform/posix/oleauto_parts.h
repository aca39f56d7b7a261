// What the parts of the Linux OLE Automation share (internal to them).
#ifndef QUILL_PLATFORM_POSIX_OLEAUTO_PARTS_H
#define QUILL_PLATFORM_POSIX_OLEAUTO_PARTS_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "quill/platform/oleauto.h"

namespace qp_oleauto {

// Strings (oleauto_strings.cpp).
BSTR copy_bstr(BSTR text);
// An ASCII text as a new BSTR.
BSTR narrow_to_bstr(const std::string& text);

// Types (oleauto.cpp).
bool is_plain_type(VARTYPE base);
bool is_known_type(VARTYPE vt);
size_t element_size(VARTYPE vt);

// Conversion of a plain (not by-reference) variant (oleauto_convert.cpp).
HRESULT convert(const VARIANT& source, uint16_t flags, VARTYPE type, VARIANT* result);

} // namespace qp_oleauto

#endif
