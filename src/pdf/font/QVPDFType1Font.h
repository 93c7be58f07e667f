#pragma once
// Type 1 fonts (the standard 14 among them).

#include "pdf/font/QVPDFSimple8BitFont.h"

class QVPDFType1Font : public QVPDFSimple8BitFont {
public:
    QVPDFType1Font(const platform::PdfObject& dict, const std::string& objectKey)
        : QVPDFSimple8BitFont(dict, objectKey, Kind::Type1) {}
};
