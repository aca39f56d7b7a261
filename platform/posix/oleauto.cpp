// The OLE Automation values without Windows, following the Windows results
// for the same inputs: the variants' types, their release and copies. The
// BSTRs, the conversions and the safe arrays have files of their own.
#include "oleauto_parts.h"

#include <string.h>

namespace qp_oleauto {

// Types whose value lives entirely in the 8 bytes of the variant (or, for
// DECIMAL, in the 16 bytes) and which need no release.
bool is_plain_type(VARTYPE base) {
    switch (base) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_ERROR:
    case VT_BOOL:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
        return true;
    default:
        return false;
    }
}

// Types that a by-reference variant may point at here.
bool is_referable_type(VARTYPE base) {
    return base != VT_EMPTY && base != VT_NULL &&
           (is_plain_type(base) || base == VT_BSTR || base == VT_VARIANT);
}

// Whether the variant's type is one this implementation can hold at all.
bool is_known_type(VARTYPE vt) {
    if ((vt & VT_ARRAY) && !(vt & VT_BYREF))
        return element_size(static_cast<VARTYPE>(vt & VT_TYPEMASK)) != 0;
    if (vt & VT_BYREF)
        return is_referable_type(static_cast<VARTYPE>(vt & ~VT_BYREF));
    return is_plain_type(vt) || vt == VT_BSTR;
}

// Bytes of one element of a safe array of vt; 0 for types no array holds.
size_t element_size(VARTYPE vt) {
    if (vt == VT_BSTR)
        return sizeof(BSTR);
    if (vt == VT_VARIANT)
        return sizeof(VARIANT);
    if (vt == VT_DECIMAL)
        return sizeof(DECIMAL);
    if (vt == VT_EMPTY || vt == VT_NULL || !is_plain_type(vt))
        return 0;
    return qp::variant_value_size(vt);
}

} // namespace qp_oleauto

using namespace qp_oleauto;

void VariantInit(VARIANTARG* variant) {
    variant->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* variant) {
    if (!variant)
        return E_INVALIDARG;
    if (!is_known_type(variant->vt))
        return DISP_E_BADVARTYPE;
    if (variant->vt == VT_BSTR)
        SysFreeString(variant->bstrVal);
    if ((variant->vt & VT_ARRAY) && !(variant->vt & VT_BYREF))
        SafeArrayDestroy(variant->parray);
    variant->vt = VT_EMPTY;
    variant->wReserved1 = variant->wReserved2 = variant->wReserved3 = 0;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source) {
    if (!destination || !source)
        return E_INVALIDARG;
    if (destination == source)
        return S_OK;
    if (!is_known_type(source->vt))
        return DISP_E_BADVARTYPE;
    // Copy the string before the destination is released: the source may
    // be a by-reference variant that points into the destination's owner.
    VARIANT copy = *source;
    if (source->vt == VT_BSTR && source->bstrVal) {
        copy.bstrVal = copy_bstr(source->bstrVal);
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    }
    const bool array = (source->vt & VT_ARRAY) && !(source->vt & VT_BYREF);
    if (array) {
        const HRESULT copied = SafeArrayCopy(source->parray, &copy.parray);
        if (FAILED(copied))
            return copied;
    }
    const HRESULT hr = VariantClear(destination);
    if (FAILED(hr)) {
        if (array)
            SafeArrayDestroy(copy.parray);
        if (copy.vt == VT_BSTR)
            SysFreeString(copy.bstrVal);
        return hr;
    }
    *destination = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source) {
    if (!destination || !source)
        return E_INVALIDARG;
    if (!(source->vt & VT_BYREF))
        return VariantCopy(destination, source);
    if (!is_known_type(source->vt))
        return DISP_E_BADVARTYPE;
    if (!source->byref)
        return E_INVALIDARG;
    const VARTYPE base = source->vt & ~VT_BYREF;
    VARIANT copy;
    memset(&copy, 0, sizeof copy);
    if (base == VT_VARIANT) {
        const VARIANT& inner = *source->pvarVal;
        // A variant that points at another reference leads nowhere plain.
        if (inner.vt & VT_BYREF)
            return E_INVALIDARG;
        VariantInit(&copy);
        const HRESULT hr = VariantCopy(&copy, &inner);
        if (FAILED(hr))
            return hr;
    } else if (base == VT_BSTR) {
        copy.vt = VT_BSTR;
        if (*source->pbstrVal) {
            copy.bstrVal = copy_bstr(*source->pbstrVal);
            if (!copy.bstrVal)
                return E_OUTOFMEMORY;
        }
    } else if (base == VT_DECIMAL) {
        copy.decVal = *source->pdecVal;
        copy.vt = VT_DECIMAL;
    } else {
        memcpy(&copy.llVal, source->byref, qp::variant_value_size(base));
        copy.vt = base;
    }
    // A by-reference variant owns nothing, so it needs no release when it
    // is its own destination.
    if (destination != source) {
        const HRESULT hr = VariantClear(destination);
        if (FAILED(hr)) {
            VariantClear(&copy);
            return hr;
        }
    }
    *destination = copy;
    return S_OK;
}
