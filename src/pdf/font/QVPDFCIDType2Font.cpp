#include "pdf/font/QVPDFCIDType2Font.h"

#include <algorithm>

QVPDFCIDType2Font::QVPDFCIDType2Font(const platform::PdfObject& dict, const std::string& objectKey)
    : QVPDFCIDTypeFont(dict, objectKey) {
    setCIDToGIDMapWithDictionary(dict);
}

void QVPDFCIDType2Font::setCIDToGIDMapWithDictionary(const platform::PdfObject& dict) {
    auto stream = dict.getStream("CIDToGIDMap");
    if (!stream)
        return; // /Identity or absent
    auto data = stream->streamData();
    if (!data)
        return;
    // CIDs are at most 65535, so a table longer than 128 KiB holds nothing more.
    size_t n = std::min<size_t>(data->size() / 2, 0x10000);
    cidToGID_.resize(n);
    for (size_t i = 0; i < n; ++i)
        cidToGID_[i] = static_cast<uint16_t>((static_cast<unsigned char>((*data)[2 * i]) << 8) |
                                             static_cast<unsigned char>((*data)[2 * i + 1]));
    identity_ = false;
}

std::optional<uint32_t> QVPDFCIDType2Font::glyphIndexForCID(uint32_t cid) const {
    if (identity_)
        return cid;
    if (cid >= cidToGID_.size())
        return std::nullopt;
    return cidToGID_[cid];
}
