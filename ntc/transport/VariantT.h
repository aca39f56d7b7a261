// _variant_t: the network library's own owned VARIANT, the value type of
// named properties and of variant fields on the wire. Nothing is raised:
// failed OLE calls go to TRACE, and a failed extraction gives zero or "".
#ifndef QUILLNTC_VARIANTT_H
#define QUILLNTC_VARIANTT_H

#include <string>

#include "NTCExport.h"
#include "quill/platform/oleauto.h"

class QUILLNTC_API _variant_t : public tagVARIANT {
public:
    _variant_t();
    _variant_t(const VARIANT& source);
    _variant_t(const VARIANT* source);
    _variant_t(const _variant_t& source);
    // Copies source, or takes it over (source is left empty) when copy is
    // false.
    _variant_t(VARIANT& source, bool copy);
    // VT_I2, or VT_BOOL (0 or -1).
    _variant_t(short value, VARTYPE type = VT_I2);
    // VT_I4, VT_ERROR or VT_BOOL (0 or -1); only the low 32 bits of a wider
    // long are kept.
    _variant_t(long value, VARTYPE type = VT_I4);
    // VT_R4.
    _variant_t(float value);
    // VT_R8, or VT_DATE.
    _variant_t(double value, VARTYPE type = VT_R8);
    // VT_BSTR holding a copy; a null text gives a null BSTR.
    _variant_t(const WCHAR* text);
    // VT_BSTR holding the narrow text converted to UTF-16.
    _variant_t(const char* text);
    // VT_BOOL.
    _variant_t(bool value);
    // VT_DECIMAL.
    _variant_t(const DECIMAL& value);
    // VT_UI1.
    _variant_t(BYTE value);
    // VT_I1.
    _variant_t(char value);
    // VT_UI2.
    _variant_t(unsigned short value);
    // VT_UI4; only the low 32 bits of a wider long are kept.
    _variant_t(unsigned long value);
    // VT_INT.
    _variant_t(int value);
    // VT_UINT.
    _variant_t(unsigned int value);
    // VT_I8 and VT_UI8.
    _variant_t(long long value);
    _variant_t(unsigned long long value);
    ~_variant_t();

    // A by-reference variant (type | VT_BYREF) that points at the caller's
    // value, which must outlive it and is never released by it. An empty
    // variant, and a TRACE line, when type cannot be referred to or the
    // pointer is null.
    static _variant_t ByRef(VARTYPE type, void* value);
    static _variant_t ByRef(BYTE* value) { return ByRef(VT_UI1, value); }
    static _variant_t ByRef(short* value) { return ByRef(VT_I2, value); }
    static _variant_t ByRef(unsigned short* value) { return ByRef(VT_UI2, value); }
    static _variant_t ByRef(float* value) { return ByRef(VT_R4, value); }
    static _variant_t ByRef(double* value) { return ByRef(VT_R8, value); }
    static _variant_t ByRef(BSTR* value) { return ByRef(VT_BSTR, value); }
    static _variant_t ByRef(DECIMAL* value) { return ByRef(VT_DECIMAL, value); }
    static _variant_t ByRef(VARIANT* value) { return ByRef(VT_VARIANT, value); }

    _variant_t& operator=(const VARIANT& source);
    _variant_t& operator=(const VARIANT* source);
    _variant_t& operator=(const _variant_t& source);
    // Keeps VT_I2 or VT_BOOL; otherwise becomes VT_I2.
    _variant_t& operator=(short value);
    // Keeps VT_I4, VT_ERROR or VT_BOOL; otherwise becomes VT_I4.
    _variant_t& operator=(long value);
    _variant_t& operator=(float value);
    // Keeps VT_R8 or VT_DATE; otherwise becomes VT_R8.
    _variant_t& operator=(double value);
    _variant_t& operator=(const WCHAR* text);
    _variant_t& operator=(const char* text);
    _variant_t& operator=(bool value);
    _variant_t& operator=(const DECIMAL& value);
    _variant_t& operator=(BYTE value);
    _variant_t& operator=(char value);
    _variant_t& operator=(unsigned short value);
    _variant_t& operator=(unsigned long value);
    _variant_t& operator=(int value);
    _variant_t& operator=(unsigned int value);
    _variant_t& operator=(long long value);
    _variant_t& operator=(unsigned long long value);

    // Same type and same value (references by what they point at).
    bool operator==(const VARIANT& other) const;
    bool operator!=(const VARIANT& other) const { return !(*this == other); }

    // The value converted with VariantChangeType; 0 (false) when it cannot
    // be converted.
    operator short() const;
    operator long() const;
    operator float() const;
    operator double() const;
    operator bool() const;
    operator BYTE() const;
    // The value as text in the narrow code page; "" when it cannot be
    // converted.
    std::string GetNarrowString() const;

    void Clear();
    // Converts source (this variant when null) to type in place; on
    // failure the variant keeps its value.
    void ChangeType(VARTYPE type, const _variant_t* source = nullptr);
    // Takes over source's value; source is left empty.
    void Attach(VARIANT& source);
    // Hands the value to the caller, who must release it; this variant is
    // left empty.
    VARIANT Detach();
    // Replaces the value by the narrow text as a BSTR.
    void SetString(const char* text);

private:
    // Makes this variant the given string, releasing the old value only
    // after the new string exists (the text may be this variant's own).
    void TakeString(BSTR text);
    // Clears unless the variant already has type; then sets type.
    void Retype(VARTYPE type);
};

#endif
