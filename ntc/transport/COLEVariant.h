// COLEVariant: one owned OLE Automation VARIANT. Failed OLE calls are not
// raised; they are passed to TRACE and the member carries on.
#ifndef QUILLNTC_COLEVARIANT_H
#define QUILLNTC_COLEVARIANT_H

#include "NTCExport.h"
#include "quill/platform/oleauto.h"

class COLEDateTime;

class QUILLNTC_API COLEVariant : public tagVARIANT {
public:
    // Empty, with all 16 bytes zero.
    COLEVariant();
    COLEVariant(const VARIANT& source);
    COLEVariant(const COLEVariant& source);
    // VT_UI1.
    COLEVariant(BYTE value);
    // VT_R4.
    COLEVariant(float value);
    // VT_R8.
    COLEVariant(double value);
    // A date: VT_DATE with the date's day count.
    COLEVariant(const COLEDateTime& value);
    // VT_BOOL stores 0 or -1; any other type gives VT_I2.
    COLEVariant(short value, VARTYPE type = VT_I2);
    // VT_ERROR stores the code, VT_BOOL 0 or -1; any other type gives VT_I4.
    // Only the low 32 bits of a wider long are kept.
    COLEVariant(long value, VARTYPE type = VT_I4);
    ~COLEVariant();

    COLEVariant& operator=(const COLEVariant& source);
    COLEVariant& operator=(const VARIANT& source);
    // Each keeps the current type where it can hold the value (VT_UI1;
    // VT_R4; VT_R8; VT_I2 or VT_BOOL; VT_I4, VT_ERROR or VT_BOOL); otherwise
    // the variant is cleared and takes the value's own type.
    COLEVariant& operator=(BYTE value);
    COLEVariant& operator=(float value);
    COLEVariant& operator=(double value);
    COLEVariant& operator=(const COLEDateTime& value);
    COLEVariant& operator=(short value);
    COLEVariant& operator=(long value);

    // Same type and same value. Strings compare by their bytes, references
    // by what they point at, arrays only by identity.
    bool operator==(const VARIANT& other) const;
    bool operator!=(const VARIANT& other) const { return !(*this == other); }

    // Releases the value and leaves the variant empty.
    void Clear();
    // Converts source (this variant when null) to type into this variant;
    // nothing happens when the source is this variant and already of type.
    void ChangeType(VARTYPE type, const VARIANT* source = nullptr);
    // Takes over source's value; source is left empty and owns nothing.
    void Attach(VARIANT& source);
    // Hands the value to the caller, who must release it; this variant is
    // left empty.
    VARIANT Detach();
};

#endif
