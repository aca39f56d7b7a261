#include "transport/VariantT.h"

#include <stdint.h>
#include <string.h>

#include "quill/platform/text.h"
#include "transport/Trace.h"
#include "transport/variant_ops.h"

namespace {

const char kSourceName[] = "VariantT";

void check(HRESULT result, int line) {
    ntc::variant_check(result, kSourceName, line);
}

// A null text stays a null BSTR; a copy that cannot be made is reported and
// also leaves a null BSTR.
BSTR copy_text(const WCHAR* text, int line) {
    if (!text)
        return nullptr;
    BSTR result = SysAllocString(text);
    if (!result)
        check(E_OUTOFMEMORY, line);
    return result;
}

BSTR narrow_to_bstr(const char* text, int line) {
    if (!text)
        return nullptr;
    const qp::WideString wide = qp::narrow_to_wide(text);
    BSTR result = SysAllocStringLen(wide.data(), static_cast<unsigned int>(wide.size()));
    if (!result)
        check(E_OUTOFMEMORY, line);
    return result;
}

bool can_refer_to(VARTYPE type) {
    switch (type) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_BOOL:
    case VT_ERROR:
    case VT_CY:
    case VT_BSTR:
    case VT_DECIMAL:
    case VT_VARIANT:
        return true;
    default:
        return false;
    }
}

// The value converted to type, in a variant the caller must clear; false
// (and a TRACE line) when the conversion fails.
bool converted(const VARIANT& source, VARTYPE type, VARIANT* out) {
    VariantInit(out);
    const HRESULT result = VariantChangeType(out, const_cast<VARIANT*>(&source), 0, type);
    check(result, __LINE__);
    return SUCCEEDED(result);
}

// The plain value converted to type, as Stored, the type it is held in; 0
// when it cannot be converted. Plain values need no release.
template <typename Stored> Stored converted_value(const VARIANT& source, VARTYPE type) {
    VARIANT v;
    if (!converted(source, type, &v))
        return 0;
    Stored value;
    memcpy(&value, &v.llVal, sizeof value);
    return value;
}

} // namespace

QUILL_NTC_VARIANT_COMMON_MEMBERS(_variant_t)

_variant_t::_variant_t(const VARIANT* source) : _variant_t() {
    if (source)
        ntc::variant_copy(*this, *source, kSourceName, __LINE__);
}

_variant_t::_variant_t(VARIANT& source, bool copy) : _variant_t() {
    if (copy)
        ntc::variant_copy(*this, source, kSourceName, __LINE__);
    else
        Attach(source);
}

_variant_t::_variant_t(short value, VARTYPE type) : _variant_t() {
    if (type == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = ntc::variant_bool(value);
    } else {
        vt = VT_I2;
        iVal = value;
    }
}

_variant_t::_variant_t(long value, VARTYPE type) : _variant_t() {
    if (type == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = ntc::variant_bool(value);
    } else if (type == VT_ERROR) {
        vt = VT_ERROR;
        scode = static_cast<SCODE>(value);
    } else {
        vt = VT_I4;
        lVal = static_cast<int32_t>(value);
    }
}

_variant_t::_variant_t(double value, VARTYPE type) : _variant_t() {
    if (type == VT_DATE) {
        vt = VT_DATE;
        date = value;
    } else {
        vt = VT_R8;
        dblVal = value;
    }
}

_variant_t::_variant_t(const WCHAR* text) : _variant_t() {
    TakeString(copy_text(text, __LINE__));
}

_variant_t::_variant_t(const char* text) : _variant_t() {
    TakeString(narrow_to_bstr(text, __LINE__));
}

_variant_t::_variant_t(bool value) : _variant_t() {
    vt = VT_BOOL;
    boolVal = ntc::variant_bool(value);
}

_variant_t::_variant_t(const DECIMAL& value) : _variant_t() {
    decVal = value;
    vt = VT_DECIMAL;
}

// The plain numbers: their C++ type, their variant type and the type their
// value is stored as (only the low 32 bits of a wider unsigned long). Each
// is built, and assigned with its type kept or taken, alike.
#define QUILL_NTC_PLAIN_NUMBERS(X)                                                                 \
    X(float, VT_R4, float)                                                                         \
    X(BYTE, VT_UI1, BYTE)                                                                          \
    X(char, VT_I1, char)                                                                           \
    X(unsigned short, VT_UI2, uint16_t)                                                            \
    X(unsigned long, VT_UI4, uint32_t)                                                             \
    X(int, VT_INT, int)                                                                            \
    X(unsigned int, VT_UINT, unsigned int)                                                         \
    X(long long, VT_I8, int64_t)                                                                   \
    X(unsigned long long, VT_UI8, uint64_t)

#define QUILL_NTC_PLAIN_NUMBER(TYPE, VARIANT_TYPE, STORED)                                         \
    _variant_t::_variant_t(TYPE value) : _variant_t() {                                            \
        vt = VARIANT_TYPE;                                                                         \
        ntc::variant_put(*this, static_cast<STORED>(value));                                       \
    }                                                                                              \
                                                                                                   \
    _variant_t& _variant_t::operator=(TYPE value) {                                                \
        return ntc::variant_assign(*this, VARIANT_TYPE, static_cast<STORED>(value));               \
    }

QUILL_NTC_PLAIN_NUMBERS(QUILL_NTC_PLAIN_NUMBER)

#undef QUILL_NTC_PLAIN_NUMBER
#undef QUILL_NTC_PLAIN_NUMBERS

_variant_t _variant_t::ByRef(VARTYPE type, void* value) {
    _variant_t result;
    if (!value || !can_refer_to(type)) {
        TRACE("_variant_t::ByRef() doesn't support for type %x\n", type);
        return result;
    }
    result.vt = static_cast<VARTYPE>(type | VT_BYREF);
    result.byref = value;
    return result;
}

_variant_t& _variant_t::operator=(const VARIANT* source) {
    if (!source)
        Clear();
    else
        *this = *source;
    return *this;
}

// The header declares this member of the exported class, so it stays
// defined; the assignments retype through variant_retype, which COLEVariant
// uses too.
void _variant_t::Retype(VARTYPE type) {
    ntc::variant_retype(*this, type);
}

_variant_t& _variant_t::operator=(short value) {
    return ntc::variant_assign_short(*this, value);
}

_variant_t& _variant_t::operator=(long value) {
    return ntc::variant_assign_long(*this, value);
}

// A date stays a date.
_variant_t& _variant_t::operator=(double value) {
    return ntc::variant_assign(*this, vt == VT_DATE ? VT_DATE : VT_R8, value);
}

_variant_t& _variant_t::operator=(const WCHAR* text) {
    TakeString(copy_text(text, __LINE__));
    return *this;
}

_variant_t& _variant_t::operator=(const char* text) {
    TakeString(narrow_to_bstr(text, __LINE__));
    return *this;
}

_variant_t& _variant_t::operator=(bool value) {
    return ntc::variant_assign(*this, VT_BOOL, ntc::variant_bool(value));
}

_variant_t& _variant_t::operator=(const DECIMAL& value) {
    // The value may be this variant's own decVal, whose first word is the
    // type: copy it out before clearing.
    const DECIMAL copy = value;
    Clear();
    decVal = copy;
    vt = VT_DECIMAL;
    return *this;
}

// The extractors: the C++ type, the variant type converted to and the type
// the converted value is stored as.
#define QUILL_NTC_EXTRACTORS(X)                                                                    \
    X(short, VT_I2, int16_t)                                                                       \
    X(long, VT_I4, int32_t)                                                                        \
    X(float, VT_R4, float)                                                                         \
    X(double, VT_R8, double)                                                                       \
    X(BYTE, VT_UI1, BYTE)

#define QUILL_NTC_EXTRACTOR(TYPE, VARIANT_TYPE, STORED)                                            \
    _variant_t::operator TYPE() const {                                                            \
        return converted_value<STORED>(*this, VARIANT_TYPE);                                       \
    }

QUILL_NTC_EXTRACTORS(QUILL_NTC_EXTRACTOR)

#undef QUILL_NTC_EXTRACTOR
#undef QUILL_NTC_EXTRACTORS

_variant_t::operator bool() const {
    return converted_value<VARIANT_BOOL>(*this, VT_BOOL) != VARIANT_FALSE;
}

std::string _variant_t::GetNarrowString() const {
    VARIANT v;
    if (!converted(*this, VT_BSTR, &v))
        return std::string();
    std::string text;
    if (v.bstrVal)
        text = qp::wide_to_narrow(v.bstrVal, static_cast<int>(SysStringLen(v.bstrVal)));
    VariantClear(&v);
    return text;
}

void _variant_t::ChangeType(VARTYPE type, const _variant_t* source) {
    ntc::variant_change_type(*this, type, source, kSourceName, __LINE__);
}

void _variant_t::SetString(const char* text) {
    TakeString(narrow_to_bstr(text, __LINE__));
}

void _variant_t::TakeString(BSTR text) {
    Clear();
    vt = VT_BSTR;
    bstrVal = text;
}
