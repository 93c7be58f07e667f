#pragma once
// A descendant CIDFontType0 (CFF-based) font; CIDs index its glyphs directly.

#include "pdf/font/QVPDFCIDTypeFont.h"

class QVPDFCIDType0Font : public QVPDFCIDTypeFont {
public:
    QVPDFCIDType0Font(const platform::PdfObject& dict, const std::string& objectKey);
};
