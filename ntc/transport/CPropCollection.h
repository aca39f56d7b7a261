// CPropCollection: named properties, an ordered map from a name to a
// variant. Names compare without regard to the case of A-Z; a name keeps the
// letter case it was first stored with.
#ifndef QUILLNTC_CPROPCOLLECTION_H
#define QUILLNTC_CPROPCOLLECTION_H

#include <map>
#include <vector>

#include "NTCExport.h"
#include "transport/CString.h"
#include "transport/VariantT.h"

class CNTPacket;

class QUILLNTC_API CPropCollection {
public:
    CPropCollection();
    CPropCollection(const CPropCollection& other);
    CPropCollection& operator=(const CPropCollection& other);
    ~CPropCollection();

    // A variant carries no collection: taking one leaves the collection
    // empty, and converting to one gives an empty variant.
    explicit CPropCollection(const _variant_t& value);
    CPropCollection& operator=(const _variant_t& value);
    void CopyFrom(const _variant_t& value);
    operator _variant_t() const;

    // The collection's byte image (its wire form from offset 0 of a packet
    // without header), and back.
    operator std::vector<unsigned char>() const;
    void CopyFrom(const std::vector<unsigned char>& image);
    CPropCollection& operator=(const std::vector<unsigned char>& image);

    // A copy of the value under name, or an empty variant.
    _variant_t GetProperty(const char* name) const;
    void SetProperty(const char* name, const _variant_t& value);
    void EraseProperty(const char* name);

    // The order of the C run-time's case-insensitive comparison: A-Z folded
    // to lower case, then bytes compared unsigned.
    struct NoCaseLess {
        bool operator()(const CString& left, const CString& right) const;
    };
    typedef std::map<CString, _variant_t, NoCaseLess> PropertyMap;

    const PropertyMap& GetProperties() const { return m_Properties; }

private:
    friend QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const CPropCollection& collection);
    friend QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, CPropCollection& collection);

    PropertyMap m_Properties;
};

QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const CPropCollection& collection);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, CPropCollection& collection);

#endif
