#include "pdf/font/QVPDFCIDType0Font.h"

QVPDFCIDType0Font::QVPDFCIDType0Font(const platform::PdfObject& dict, const std::string& objectKey)
    : QVPDFCIDTypeFont(dict, objectKey) {}
