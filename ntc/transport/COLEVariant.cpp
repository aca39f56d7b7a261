#include "transport/COLEVariant.h"

#include <stdint.h>
#include <string.h>

#include "transport/COLEDateTime.h"
#include "transport/Trace.h"
#include "transport/VariantT.h"
#include "transport/variant_ops.h"

namespace {

// The source name under which failures are reported.
const char kSourceName[] = "OLEVariant";

bool bstr_equal(BSTR a, BSTR b) {
    const unsigned int length = SysStringByteLen(a);
    return length == SysStringByteLen(b) && (length == 0 || memcmp(a, b, length) == 0);
}

bool decimal_equal(const DECIMAL& a, const DECIMAL& b) {
    return a.scale == b.scale && a.sign == b.sign && a.Hi32 == b.Hi32 && a.Lo64 == b.Lo64;
}

bool plain_equal(VARTYPE type, const VARIANT& a, const VARIANT& b);

// Two elements of an array of the given type, each cb bytes.
bool elements_equal(VARTYPE type, const void* a, const void* b, size_t cb) {
    switch (type) {
    case VT_VARIANT:
        return ntc::variants_equal(*static_cast<const VARIANT*>(a),
                                   *static_cast<const VARIANT*>(b));
    case VT_BSTR:
        return bstr_equal(*static_cast<const BSTR*>(a), *static_cast<const BSTR*>(b));
    case VT_DECIMAL:
        return decimal_equal(*static_cast<const DECIMAL*>(a), *static_cast<const DECIMAL*>(b));
    default:
        break;
    }
    if (cb > sizeof(int64_t))
        return memcmp(a, b, cb) == 0;
    // Compared as values, so that 0.0 equals -0.0 as it does outside arrays.
    VARIANT x, y;
    memset(&x, 0, sizeof x);
    memset(&y, 0, sizeof y);
    memcpy(&x.llVal, a, cb);
    memcpy(&y.llVal, b, cb);
    return plain_equal(type, x, y);
}

// Arrays are equal when they have the same dimensions with the same bounds
// and equal elements, element by element.
bool arrays_equal(VARTYPE element, const SAFEARRAY* a, const SAFEARRAY* b) {
    if (a == b)
        return true;
    if (!a || !b || a->cDims != b->cDims || a->cbElements != b->cbElements)
        return false;
    size_t count = 1;
    for (unsigned i = 0; i < a->cDims; ++i) {
        if (a->rgsabound[i].cElements != b->rgsabound[i].cElements ||
            a->rgsabound[i].lLbound != b->rgsabound[i].lLbound)
            return false;
        count *= a->rgsabound[i].cElements;
    }
    if (count == 0)
        return true;
    if (!a->pvData || !b->pvData)
        return false;
    const char* x = static_cast<const char*>(a->pvData);
    const char* y = static_cast<const char*>(b->pvData);
    for (size_t i = 0; i < count; ++i, x += a->cbElements, y += a->cbElements)
        if (!elements_equal(element, x, y, a->cbElements))
            return false;
    return true;
}

// Compares the values of two plain variants of the same type.
bool plain_equal(VARTYPE type, const VARIANT& a, const VARIANT& b) {
    switch (type) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_R4:
        return a.fltVal == b.fltVal;
    case VT_R8:
        return a.dblVal == b.dblVal;
    case VT_DATE:
        return a.date == b.date;
    case VT_BSTR:
        return bstr_equal(a.bstrVal, b.bstrVal);
    case VT_DECIMAL:
        return decimal_equal(a.decVal, b.decVal);
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return a.byref == b.byref;
    default:
        break;
    }
    if (type & VT_ARRAY)
        return arrays_equal(static_cast<VARTYPE>(type & VT_TYPEMASK), a.parray, b.parray);
    const size_t size = qp::variant_value_size(type);
    return size != 0 && memcmp(&a.llVal, &b.llVal, size) == 0;
}

// Compares what two by-reference variants of the same base type point at.
bool referenced_equal(VARTYPE base, const VARIANT& a, const VARIANT& b) {
    if (a.byref == b.byref)
        return true;
    if (!a.byref || !b.byref)
        return false;
    switch (base) {
    case VT_BSTR:
        return bstr_equal(*a.pbstrVal, *b.pbstrVal);
    case VT_DECIMAL:
        return decimal_equal(*a.pdecVal, *b.pdecVal);
    case VT_VARIANT:
        // A variant may not point at another reference, and following one
        // could loop forever.
        if ((a.pvarVal->vt & VT_BYREF) || (b.pvarVal->vt & VT_BYREF))
            return false;
        return ntc::variants_equal(*a.pvarVal, *b.pvarVal);
    case VT_R4:
        return *a.pfltVal == *b.pfltVal;
    case VT_R8:
        return *a.pdblVal == *b.pdblVal;
    case VT_DATE:
        return *a.pdate == *b.pdate;
    default:
        break;
    }
    if (base & VT_ARRAY)
        return arrays_equal(static_cast<VARTYPE>(base & VT_TYPEMASK), *a.pparray, *b.pparray);
    const size_t size = qp::variant_value_size(base);
    return size != 0 && memcmp(a.byref, b.byref, size) == 0;
}

// The values COLEVariant holds alike with _variant_t are built by _variant_t
// and taken over byte for byte into the empty target.
void adopt(COLEVariant& target, _variant_t built) {
    VARIANT value = built.Detach();
    ntc::variant_take(target, value);
}

} // namespace

void ntc::variant_check(HRESULT result, const char* source, int line) {
    if (SUCCEEDED(result))
        return;
    if (result == E_OUTOFMEMORY)
        TRACE("Memory Exception at %s : %d\n", source, line);
    else
        TRACE("OLE Exception at %s : %d\n", source, line);
}

void ntc::variant_copy(VARIANT& target, const VARIANT& source, const char* name, int line) {
    if (&source != &target)
        variant_check(VariantCopy(&target, const_cast<VARIANT*>(&source)), name, line);
}

void ntc::variant_change_type(VARIANT& v, VARTYPE type, const VARIANT* source, const char* name,
                              int line) {
    if (!source)
        source = &v;
    if (source != &v || type != v.vt)
        variant_check(VariantChangeType(&v, const_cast<VARIANT*>(source), 0, type), name, line);
}

void ntc::variant_take(VARIANT& target, VARIANT& source) {
    if (&target == &source)
        return;
    memcpy(&target, &source, sizeof(VARIANT));
    source.vt = VT_EMPTY;
}

VARIANT ntc::variant_give(VARIANT& v) {
    VARIANT result;
    memcpy(&result, &v, sizeof(VARIANT));
    v.vt = VT_EMPTY;
    return result;
}

bool ntc::variants_equal(const VARIANT& a, const VARIANT& b) {
    if (&a == &b)
        return true;
    if (a.vt != b.vt)
        return false;
    if (a.vt & VT_BYREF)
        return referenced_equal(static_cast<VARTYPE>(a.vt & ~VT_BYREF), a, b);
    return plain_equal(a.vt, a, b);
}

QUILL_NTC_VARIANT_COMMON_MEMBERS(COLEVariant)

COLEVariant::COLEVariant(BYTE value) : COLEVariant() {
    adopt(*this, _variant_t(value));
}

COLEVariant::COLEVariant(float value) : COLEVariant() {
    adopt(*this, _variant_t(value));
}

COLEVariant::COLEVariant(double value) : COLEVariant() {
    adopt(*this, _variant_t(value));
}

COLEVariant::COLEVariant(const COLEDateTime& value) : COLEVariant() {
    adopt(*this, _variant_t(static_cast<double>(value), VT_DATE));
}

COLEVariant::COLEVariant(short value, VARTYPE type) : COLEVariant() {
    adopt(*this, _variant_t(value, type));
}

COLEVariant::COLEVariant(long value, VARTYPE type) : COLEVariant() {
    adopt(*this, _variant_t(value, type));
}

COLEVariant& COLEVariant::operator=(BYTE value) {
    return ntc::variant_assign(*this, VT_UI1, value);
}

COLEVariant& COLEVariant::operator=(float value) {
    return ntc::variant_assign(*this, VT_R4, value);
}

// Unlike _variant_t, a date does not stay a date for a plain double.
COLEVariant& COLEVariant::operator=(double value) {
    return ntc::variant_assign(*this, VT_R8, value);
}

COLEVariant& COLEVariant::operator=(const COLEDateTime& value) {
    return ntc::variant_assign(*this, VT_DATE, static_cast<double>(value));
}

COLEVariant& COLEVariant::operator=(short value) {
    return ntc::variant_assign_short(*this, value);
}

COLEVariant& COLEVariant::operator=(long value) {
    return ntc::variant_assign_long(*this, value);
}

void COLEVariant::ChangeType(VARTYPE type, const VARIANT* source) {
    ntc::variant_change_type(*this, type, source, kSourceName, __LINE__);
}
