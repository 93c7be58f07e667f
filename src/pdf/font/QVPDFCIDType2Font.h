#pragma once
// A descendant CIDFontType2 (TrueType-based) font with its CID-to-glyph map.

#include "pdf/font/QVPDFCIDTypeFont.h"

#include <cstdint>
#include <vector>

class QVPDFCIDType2Font : public QVPDFCIDTypeFont {
public:
    QVPDFCIDType2Font(const platform::PdfObject& dict, const std::string& objectKey);

    /// Through /CIDToGIDMap: the identity (the default, and /Identity), or the
    /// stream's table of two-byte glyph indices (CIDs beyond it have none).
    std::optional<uint32_t> glyphIndexForCID(uint32_t cid) const override;

    const std::vector<uint16_t>& cidToGID() const { return cidToGID_; }
    int cidToGIDLen() const { return static_cast<int>(cidToGID_.size()); }
    bool identity() const { return identity_; }

private:
    void setCIDToGIDMapWithDictionary(const platform::PdfObject& dict);

    std::vector<uint16_t> cidToGID_;
    bool identity_ = true;
};
