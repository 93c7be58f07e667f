#pragma once
// Multiple-master Type 1 fonts.

#include "pdf/font/QVPDFSimple8BitFont.h"

class QVPDFMMType1Font : public QVPDFSimple8BitFont {
public:
    QVPDFMMType1Font(const platform::PdfObject& dict, const std::string& objectKey)
        : QVPDFSimple8BitFont(dict, objectKey, Kind::MMType1) {}
};
