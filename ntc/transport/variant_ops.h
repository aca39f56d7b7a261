// What COLEVariant and _variant_t do alike: report failed OLE calls, hand a
// value over, and compare. Both hold exactly one VARIANT.
#ifndef QUILLNTC_VARIANT_OPS_H
#define QUILLNTC_VARIANT_OPS_H

#include "quill/platform/oleauto.h"

namespace ntc {

// A failed OLE call is reported to TRACE, never raised: "Memory Exception"
// for an out-of-memory result, "OLE Exception" otherwise, with the source
// name and line.
void variant_check(HRESULT result, const char* source, int line);

// Takes over source's 16 bytes into target (whose own value the caller has
// released); source is left empty. Nothing happens when both are the same.
void variant_take(VARIANT& target, VARIANT& source);

// Hands the value to the caller, who must release it; v is left empty.
VARIANT variant_give(VARIANT& v);

// Same type and equal value; arrays only when they are the same array.
bool variants_equal(const VARIANT& a, const VARIANT& b);

} // namespace ntc

#endif
