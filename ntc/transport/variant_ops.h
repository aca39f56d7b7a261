// What COLEVariant and _variant_t do alike: report failed OLE calls, copy,
// convert, hand a value over, assign plain values, and compare. Both hold
// exactly one VARIANT.
#ifndef QUILLNTC_VARIANT_OPS_H
#define QUILLNTC_VARIANT_OPS_H

#include <stdint.h>
#include <string.h>

#include "quill/platform/oleauto.h"

namespace ntc {

// A failed OLE call is reported to TRACE, never raised: "Memory Exception"
// for an out-of-memory result, "OLE Exception" otherwise, with the source
// name and line.
void variant_check(HRESULT result, const char* source, int line);

// Makes target a copy of source (nothing happens when both are the same),
// reporting a failure under the source name and line.
void variant_copy(VARIANT& target, const VARIANT& source, const char* name, int line);

// Converts source (v itself when null) to type into v; nothing happens when
// the source is v and already of type. A failure is reported and leaves v
// as it was.
void variant_change_type(VARIANT& v, VARTYPE type, const VARIANT* source, const char* name,
                         int line);

// Takes over source's 16 bytes into target (whose own value the caller has
// released); source is left empty. Nothing happens when both are the same.
void variant_take(VARIANT& target, VARIANT& source);

// Hands the value to the caller, who must release it; v is left empty.
VARIANT variant_give(VARIANT& v);

// Same type and equal value; arrays only when they are the same array.
bool variants_equal(const VARIANT& a, const VARIANT& b);

inline VARIANT_BOOL variant_bool(long value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

// Every plain value of a variant starts where its value union starts, so one
// store serves them all. It writes the value's own bytes and leaves the rest
// of the union as it was, as assigning the member of that type would.
template <typename T> void variant_put(VARIANT& v, T value) {
    memcpy(&v.llVal, &value, sizeof value);
}

// The owner classes below are COLEVariant and _variant_t: their own Clear
// reports a failure under their own name.

// Takes over source's value after releasing the owner's own.
template <class Owner> void variant_attach(Owner& v, VARIANT& source) {
    if (&source == &v)
        return;
    v.Clear();
    variant_take(v, source);
}

// Keeps the variant's type when it already is type; otherwise the old value
// is released and the variant becomes type.
template <class Owner> void variant_retype(Owner& v, VARTYPE type) {
    if (v.vt != type) {
        v.Clear();
        v.vt = type;
    }
}

// An assignment of a plain value of type.
template <class Owner, typename T> Owner& variant_assign(Owner& v, VARTYPE type, T value) {
    variant_retype(v, type);
    variant_put(v, value);
    return v;
}

// A boolean stays a boolean (0 or -1); anything else becomes VT_I2.
template <class Owner> Owner& variant_assign_short(Owner& v, short value) {
    if (v.vt != VT_BOOL)
        return variant_assign(v, VT_I2, value);
    variant_put(v, variant_bool(value));
    return v;
}

// A boolean (0 or -1, judged by all the bits of a wider long) and an error
// code keep their type; anything else becomes VT_I4 of the low 32 bits.
template <class Owner> Owner& variant_assign_long(Owner& v, long value) {
    if (v.vt == VT_BOOL)
        variant_put(v, variant_bool(value));
    else if (v.vt == VT_ERROR)
        variant_put(v, static_cast<SCODE>(value));
    else
        variant_assign(v, VT_I4, static_cast<int32_t>(value));
    return v;
}

} // namespace ntc

// The members COLEVariant and _variant_t define alike: the empty, copied and
// released variant, copy assignment, comparison, Clear, Attach and Detach.
// Expanded in each class's own file, where kSourceName is the name its
// failures are reported under.
#define QUILL_NTC_VARIANT_COMMON_MEMBERS(T)                                                        \
    T::T() {                                                                                       \
        memset(static_cast<VARIANT*>(this), 0, sizeof(VARIANT));                                   \
    }                                                                                              \
                                                                                                   \
    T::T(const VARIANT& source) : T() {                                                            \
        ntc::variant_copy(*this, source, kSourceName, __LINE__);                                   \
    }                                                                                              \
                                                                                                   \
    T::T(const T& source) : T() {                                                                  \
        ntc::variant_copy(*this, source, kSourceName, __LINE__);                                   \
    }                                                                                              \
                                                                                                   \
    T::~T() {                                                                                      \
        ntc::variant_check(VariantClear(this), kSourceName, __LINE__);                             \
    }                                                                                              \
                                                                                                   \
    T& T::operator=(const VARIANT& source) {                                                       \
        ntc::variant_copy(*this, source, kSourceName, __LINE__);                                   \
        return *this;                                                                              \
    }                                                                                              \
                                                                                                   \
    T& T::operator=(const T& source) {                                                             \
        return *this = static_cast<const VARIANT&>(source);                                        \
    }                                                                                              \
                                                                                                   \
    bool T::operator==(const VARIANT& other) const {                                               \
        return ntc::variants_equal(*this, other);                                                  \
    }                                                                                              \
                                                                                                   \
    void T::Clear() {                                                                              \
        ntc::variant_check(VariantClear(this), kSourceName, __LINE__);                             \
    }                                                                                              \
                                                                                                   \
    void T::Attach(VARIANT& source) {                                                              \
        ntc::variant_attach(*this, source);                                                        \
    }                                                                                              \
                                                                                                   \
    VARIANT T::Detach() {                                                                          \
        return ntc::variant_give(*this);                                                           \
    }

#endif
