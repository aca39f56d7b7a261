// OLE Automation values: VARIANT, BSTR, DECIMAL and the functions that create,
// copy, convert and release them. On Windows they are the system's own. On
// other systems this header declares them with the Windows layout and our
// platform library implements the part the network library uses, with the
// Windows behaviour, so the value classes and their wire forms are written once.
#ifndef QUILL_PLATFORM_OLEAUTO_H
#define QUILL_PLATFORM_OLEAUTO_H

#include <stddef.h>
#include <stdint.h>

#include "quill/platform/types.h"

#ifdef _WIN32
#include <oleauto.h>

#else
// The network library links this code in statically and hands variants to its
// host, which may call these functions itself: they stay visible in the
// shared library.
#define QUILL_OLEAUTO_API __attribute__((visibility("default")))

typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
// A BSTR points at the text; the 32-bit byte length lies in the four bytes
// before it and a zero character follows the text, which may hold zeros.
typedef OLECHAR* BSTR;

typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef uint16_t VARTYPE;
typedef int16_t VARIANT_BOOL;
// Days since 30 December 1899; the fraction is the time of day.
typedef double DATE;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_POINTER ((HRESULT)0x80004003)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000A)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_PTR = 26,
    VT_SAFEARRAY = 27,
    VT_CARRAY = 28,
    VT_USERDEFINED = 29,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_RECORD = 36,
    VT_VECTOR = 0x1000,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_RESERVED = 0x8000,
    VT_TYPEMASK = 0x0FFF
};

// Flags of VariantChangeType.
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02
#define VARIANT_NOUSEROVERRIDE 0x04
#define VARIANT_LOCALBOOL 0x10

// Currency: a 64-bit integer scaled by 10000.
typedef union tagCY {
    struct {
        uint32_t Lo;
        int32_t Hi;
    };
    int64_t int64;
} CY;

#define DECIMAL_NEG ((BYTE)0x80)

// 96-bit unsigned integer (Hi32, Lo64) divided by 10^scale, negative when
// sign is DECIMAL_NEG. Inside a VARIANT, wReserved is the type field.
typedef struct tagDEC {
    uint16_t wReserved;
    union {
        struct {
            BYTE scale;
            BYTE sign;
        };
        uint16_t signscale;
    };
    uint32_t Hi32;
    union {
        struct {
            uint32_t Lo32;
            uint32_t Mid32;
        };
        uint64_t Lo64;
    };
} DECIMAL;

// One dimension of a safe array: its element count and its lowest index.
typedef struct tagSAFEARRAYBOUND {
    uint32_t cElements;
    int32_t lLbound;
} SAFEARRAYBOUND;

// A safe array, laid out as on Windows: dimensions, element size, locks,
// the elements (the first index varies fastest) and the bounds, which are
// stored from the last dimension to the first.
typedef struct tagSAFEARRAY {
    uint16_t cDims;
    uint16_t fFeatures;
    uint32_t cbElements;
    uint32_t cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

typedef struct tagVARIANT VARIANT;
typedef struct tagVARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;

struct tagVARIANT {
    union {
        struct {
            VARTYPE vt;
            WORD wReserved1;
            WORD wReserved2;
            WORD wReserved3;
            union {
                int64_t llVal;
                int32_t lVal;
                BYTE bVal;
                int16_t iVal;
                float fltVal;
                double dblVal;
                VARIANT_BOOL boolVal;
                SCODE scode;
                CY cyVal;
                DATE date;
                BSTR bstrVal;
                void* punkVal;
                void* pdispVal;
                SAFEARRAY* parray;
                BYTE* pbVal;
                int16_t* piVal;
                int32_t* plVal;
                int64_t* pllVal;
                float* pfltVal;
                double* pdblVal;
                VARIANT_BOOL* pboolVal;
                SCODE* pscode;
                CY* pcyVal;
                DATE* pdate;
                BSTR* pbstrVal;
                SAFEARRAY** pparray;
                VARIANT* pvarVal;
                void* byref;
                char cVal;
                uint16_t uiVal;
                uint32_t ulVal;
                uint64_t ullVal;
                int intVal;
                unsigned int uintVal;
                DECIMAL* pdecVal;
                char* pcVal;
                uint16_t* puiVal;
                uint32_t* pulVal;
                uint64_t* pullVal;
                int* pintVal;
                unsigned int* puintVal;
            };
        };
        DECIMAL decVal;
    };
};

// A new BSTR holding the zero-terminated text; null for a null text or when
// memory runs out.
QUILL_OLEAUTO_API BSTR SysAllocString(const OLECHAR* text);
// A new BSTR of length characters copied from text (zeros included), or
// left zero-filled when text is null. Null when memory runs out or the
// length does not fit the 32-bit byte count.
QUILL_OLEAUTO_API BSTR SysAllocStringLen(const OLECHAR* text, unsigned int length);
// A new BSTR of length bytes copied from bytes (zero-filled when null).
QUILL_OLEAUTO_API BSTR SysAllocStringByteLen(const char* bytes, unsigned int length);
// Releases a BSTR; a null one is ignored.
QUILL_OLEAUTO_API void SysFreeString(BSTR text);
// Length in characters (the byte length halved); 0 for null.
QUILL_OLEAUTO_API unsigned int SysStringLen(BSTR text);
// Length in bytes; 0 for null.
QUILL_OLEAUTO_API unsigned int SysStringByteLen(BSTR text);

// A zero-filled array of elements of type vt (the plain types, BSTR and
// VARIANT) with dims dimensions, bounds given from the first dimension to
// the last. Null for other types, no dimension or a size that overflows.
QUILL_OLEAUTO_API SAFEARRAY* SafeArrayCreate(VARTYPE vt, unsigned int dims,
                                             SAFEARRAYBOUND* bounds);
// Releases the array and what its elements own. A null array is S_OK.
QUILL_OLEAUTO_API HRESULT SafeArrayDestroy(SAFEARRAY* array);
// A deep copy of the array (*copy null for a null array).
QUILL_OLEAUTO_API HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy);
// The element type the array was created with.
QUILL_OLEAUTO_API HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
// The address of the elements (no locking is needed here).
QUILL_OLEAUTO_API HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
QUILL_OLEAUTO_API HRESULT SafeArrayUnaccessData(SAFEARRAY* array);

// Marks the variant empty without looking at what it held.
QUILL_OLEAUTO_API void VariantInit(VARIANTARG* variant);
// Releases what the variant owns (a BSTR or an array; never what a
// by-reference variant points at) and leaves it empty. DISP_E_BADVARTYPE, the variant untouched,
// for a type that cannot be released here (arrays, interfaces, records).
QUILL_OLEAUTO_API HRESULT VariantClear(VARIANTARG* variant);
// Clears the destination and makes it a deep copy of the source (a new
// BSTR; by-reference variants copy the pointer). Copying onto itself does
// nothing.
QUILL_OLEAUTO_API HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source);
// As VariantCopy, but a by-reference source is copied as the plain value it
// points at. Destination and source may be the same variant.
QUILL_OLEAUTO_API HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source);
// Converts source (by-reference sources through their target) to the type
// and stores the result in destination, which may be the source. On failure
// destination is left as it was: DISP_E_OVERFLOW when the value does not fit,
// DISP_E_TYPEMISMATCH for text that is no number, for null, and for pairs of
// types without a conversion, DISP_E_BADVARTYPE for types not handled here.
// Text is read and written in the "C" locale. Booleans become "-1" and "0",
// or "True" and "False" with VARIANT_ALPHABOOL; text becomes a boolean from
// "True"/"False" (any case) or from a number. Dates become
// "YYYY-MM-DD HH:MM:SS" (only the date at midnight, only the time on day 0)
// and are read back from that form.
QUILL_OLEAUTO_API HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source,
                                            uint16_t flags, VARTYPE type);

#endif

namespace qp {

// Bytes of the value for the types a variant holds whole in its value union:
// integers, reals, dates, booleans, error codes and currency. 0 for the
// others, whose value is a pointer, the 16-byte decimal, or nothing.
inline size_t variant_value_size(VARTYPE type) {
    switch (type) {
    case VT_I1:
    case VT_UI1:
        return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        return 2;
    case VT_I4:
    case VT_UI4:
    case VT_R4:
    case VT_ERROR:
    case VT_INT:
    case VT_UINT:
        return 4;
    case VT_R8:
    case VT_DATE:
    case VT_CY:
    case VT_I8:
    case VT_UI8:
        return 8;
    default:
        return 0;
    }
}

} // namespace qp

#endif
