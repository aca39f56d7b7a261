// The wire form of a variant: a 16-bit type tag (the by-reference flag
// removed) and the value in the width of its type, one chunk each. Types
// without a wire form travel as the bare tag and arrive empty.
#include <string.h>

#include "quill/platform/oleauto.h"
#include "quill/platform/text.h"
#include "transport/CNTPacket.h"
#include "transport/Trace.h"
#include "transport/VariantT.h"

namespace {

// Writes the value at source, or zeros of the same width when a by-reference
// variant points nowhere, so the reader still finds the next field.
void put(CNTPacket& packet, const void* source, unsigned short width) {
    static const unsigned char zeros[16] = {};
    packet.Write(source ? source : zeros, width);
}

// The wire width of a tag whose value is a plain number; 0 for the others.
// Every value of a variant starts at the same place, the start of its value
// union, so one width serves integers, floats and dates alike.
unsigned short plain_width(unsigned short tag) {
    switch (tag) {
    case VT_I1:
    case VT_UI1:
        return 1;
    case VT_I2:
    case VT_UI2:
        return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
        return 4;
    case VT_R8:
    case VT_DATE:
        return 8;
    default:
        return 0;
    }
}

} // namespace

CNTPacket& operator<<(CNTPacket& packet, const _variant_t& value) {
    const VARIANT& v = value;
    const bool by_reference = (v.vt & VT_BYREF) != 0;
    const unsigned short tag = static_cast<unsigned short>(v.vt & ~VT_BYREF);
    packet << tag;
    // A by-reference variant travels as the value it points to.
    const void* ref = by_reference ? v.byref : nullptr;
    if (const unsigned short width = plain_width(tag)) {
        put(packet, by_reference ? ref : static_cast<const void*>(&v.bVal), width);
        return packet;
    }
    switch (tag) {
    case VT_NULL:
        break;
    case VT_BOOL: {
        const VARIANT_BOOL* flag =
            by_reference ? static_cast<const VARIANT_BOOL*>(ref) : &v.boolVal;
        const unsigned char byte = (flag && *flag) ? 1 : 0;
        packet.Write(&byte, 1);
        break;
    }
    case VT_DECIMAL:
        // The whole 16-byte record; for a plain variant its first two bytes
        // are the variant's own type field.
        put(packet, by_reference ? ref : static_cast<const void*>(&v), 16);
        break;
    case VT_BSTR: {
        BSTR text = v.bstrVal;
        if (by_reference)
            text = ref ? *static_cast<const BSTR*>(ref) : nullptr;
        const std::string narrow =
            qp::wide_to_narrow(text, text ? static_cast<int>(SysStringLen(text)) : 0);
        packet.WriteString(narrow.c_str());
        break;
    }
    default:
        TRACE("CNTPacket::operator<<() doesn't support for type %x", tag);
        break;
    }
    return packet;
}

CNTPacket& operator>>(CNTPacket& packet, _variant_t& value) {
    value.Clear();
    VARIANT& v = value;
    unsigned short tag = VT_EMPTY;
    packet >> tag;
    if (const unsigned short width = plain_width(tag)) {
        memset(&v.bVal, 0, 8);
        packet.Read(&v.bVal, width);
        v.vt = tag;
        return packet;
    }
    switch (tag) {
    case VT_NULL:
        v.vt = VT_NULL;
        break;
    case VT_BOOL: {
        unsigned char byte = 0;
        packet.Read(&byte, 1);
        v.boolVal = byte ? VARIANT_TRUE : VARIANT_FALSE;
        v.vt = VT_BOOL;
        break;
    }
    case VT_DECIMAL: {
        unsigned char record[16] = {};
        packet.Read(record, 16);
        memcpy(static_cast<void*>(&v), record, 16);
        v.vt = VT_DECIMAL;
        break;
    }
    case VT_BSTR:
    case VT_BSTR | VT_BYREF: {
        std::string narrow;
        packet >> narrow;
        const qp::WideString wide =
            qp::narrow_to_wide(narrow.c_str(), static_cast<int>(narrow.size()));
        v.bstrVal = SysAllocStringLen(wide.c_str(), static_cast<unsigned int>(wide.size()));
        v.vt = v.bstrVal ? VT_BSTR : VT_EMPTY;
        break;
    }
    default:
        TRACE("CNTPacket::operator>>() doesn't support for type %x", tag);
        break;
    }
    return packet;
}
