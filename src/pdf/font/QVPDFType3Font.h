#pragma once
// Type 3 fonts, whose widths are in the glyph space of their /FontMatrix.

#include "pdf/font/QVPDFSimple8BitFont.h"

class QVPDFType3Font : public QVPDFSimple8BitFont {
public:
    QVPDFType3Font(const platform::PdfObject& dict, const std::string& objectKey)
        : QVPDFSimple8BitFont(dict, objectKey, Kind::Type3) {}
};
