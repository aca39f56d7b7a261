// Values for the tests of the variant types: system strings and a decimal.
#ifndef QUILL_TESTS_VARIANT_VALUES_H
#define QUILL_TESTS_VARIANT_VALUES_H

#include <string.h>

#include <string>

#include "quill/platform/oleauto.h"
#include "quill/platform/text.h"

namespace quill_test {

// A system string of the narrow text; the caller frees it.
inline BSTR make_bstr(const char* text) {
    const qp::WideString wide = qp::narrow_to_wide(text);
    return SysAllocStringLen(wide.data(), static_cast<unsigned int>(wide.size()));
}

// The narrow text of a system string.
inline std::string text_of(BSTR text) {
    return qp::wide_to_narrow(text, static_cast<int>(SysStringLen(text)));
}

// -(2^64 + 12345) / 100: a decimal with a scale, a sign and a high part.
inline DECIMAL sample_decimal() {
    DECIMAL d;
    memset(&d, 0, sizeof d);
    d.scale = 2;
    d.sign = DECIMAL_NEG;
    d.Hi32 = 1;
    d.Lo64 = 12345;
    return d;
}

} // namespace quill_test

#endif
