#pragma once
// TrueType fonts.

#include "pdf/font/QVPDFSimple8BitFont.h"

class QVPDFTrueTypeFont : public QVPDFSimple8BitFont {
public:
    QVPDFTrueTypeFont(const platform::PdfObject& dict, const std::string& objectKey)
        : QVPDFSimple8BitFont(dict, objectKey, Kind::TrueType) {}
};
