#include "pdf/shading/QVPDFPattern.h"

QVPDFPattern::QVPDFPattern(const platform::PdfObject&, std::string objectKey)
    : objectKey_(std::move(objectKey)) {}

QVPDFPattern::~QVPDFPattern() = default;
