// Safe arrays with the Windows layout: the element type in front of the
// descriptor, the elements in one block.
#include "oleauto_parts.h"

#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

using namespace qp_oleauto;

namespace {

// The element type travels in front of the descriptor, as on Windows.
struct ArrayBlock {
    VARTYPE vt;
    SAFEARRAY array; // followed by the rest of its bounds
};

ArrayBlock* block_of(SAFEARRAY* array) {
    return reinterpret_cast<ArrayBlock*>(reinterpret_cast<char*>(array) -
                                         offsetof(ArrayBlock, array));
}

size_t element_count(const SAFEARRAY* array) {
    size_t count = 1;
    for (unsigned i = 0; i < array->cDims; ++i)
        count *= array->rgsabound[i].cElements;
    return count;
}

void release_elements(VARTYPE vt, SAFEARRAY* array) {
    const size_t count = element_count(array);
    for (size_t i = 0; i < count; ++i) {
        if (vt == VT_BSTR)
            SysFreeString(static_cast<BSTR*>(array->pvData)[i]);
        else if (vt == VT_VARIANT)
            VariantClear(&static_cast<VARIANT*>(array->pvData)[i]);
    }
}

} // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, unsigned int dims, SAFEARRAYBOUND* bounds) {
    const size_t size = element_size(vt);
    if (size == 0 || dims == 0 || dims > 0xFFFF || !bounds)
        return nullptr;
    size_t count = 1;
    for (unsigned i = 0; i < dims; ++i) {
        const size_t n = bounds[i].cElements;
        if (n != 0 && count > SIZE_MAX / size / n)
            return nullptr;
        count *= n;
    }
    const size_t descriptor = offsetof(ArrayBlock, array) + offsetof(SAFEARRAY, rgsabound) +
                              dims * sizeof(SAFEARRAYBOUND);
    ArrayBlock* block = static_cast<ArrayBlock*>(calloc(1, descriptor));
    void* data = count ? calloc(count, size) : nullptr;
    if (!block || (count && !data)) {
        free(block);
        free(data);
        return nullptr;
    }
    block->vt = vt;
    SAFEARRAY* array = &block->array;
    array->cDims = static_cast<uint16_t>(dims);
    array->cbElements = static_cast<uint32_t>(size);
    array->pvData = data;
    for (unsigned i = 0; i < dims; ++i)
        array->rgsabound[dims - 1 - i] = bounds[i];
    return array;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
    if (!array)
        return S_OK;
    ArrayBlock* block = block_of(array);
    release_elements(block->vt, array);
    free(array->pvData);
    free(block);
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy) {
    if (!copy)
        return E_INVALIDARG;
    *copy = nullptr;
    if (!array)
        return S_OK;
    const VARTYPE vt = block_of(array)->vt;
    std::vector<SAFEARRAYBOUND> bounds(array->rgsabound, array->rgsabound + array->cDims);
    std::reverse(bounds.begin(), bounds.end());
    SAFEARRAY* made = SafeArrayCreate(vt, array->cDims, bounds.data());
    if (!made)
        return E_OUTOFMEMORY;
    const size_t count = element_count(array);
    for (size_t i = 0; i < count; ++i) {
        if (vt == VT_BSTR) {
            BSTR text = static_cast<BSTR*>(array->pvData)[i];
            BSTR& into = static_cast<BSTR*>(made->pvData)[i];
            into = copy_bstr(text);
            if (text && !into) {
                SafeArrayDestroy(made);
                return E_OUTOFMEMORY;
            }
        } else if (vt == VT_VARIANT) {
            const HRESULT hr = VariantCopy(&static_cast<VARIANT*>(made->pvData)[i],
                                           &static_cast<VARIANT*>(array->pvData)[i]);
            if (FAILED(hr)) {
                SafeArrayDestroy(made);
                return hr;
            }
        }
    }
    if (vt != VT_BSTR && vt != VT_VARIANT && count)
        memcpy(made->pvData, array->pvData, count * array->cbElements);
    *copy = made;
    return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
    if (!array || !vt)
        return E_INVALIDARG;
    *vt = block_of(array)->vt;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
    if (!array || !data)
        return E_INVALIDARG;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
    return array ? S_OK : E_INVALIDARG;
}
