#pragma once
// Type 1 fonts with a compact (CFF) program; the factory makes them as Type1.

#include "pdf/font/QVPDFSimple8BitFont.h"

class QVPDFType1CFont : public QVPDFSimple8BitFont {
public:
    QVPDFType1CFont(const platform::PdfObject& dict, const std::string& objectKey)
        : QVPDFSimple8BitFont(dict, objectKey, Kind::Type1C) {}
};
