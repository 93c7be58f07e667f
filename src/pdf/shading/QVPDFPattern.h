#pragma once
// A pattern as the graphics state refers to it. Patterns are not painted: the
// colour operators always set the state's patterns to none.

#include "platform/pdf/PdfObject.h"

#include <string>

class QVPDFPattern {
public:
    QVPDFPattern(const platform::PdfObject& dictionary, std::string objectKey);
    virtual ~QVPDFPattern();
    const std::string& objectKey() const { return objectKey_; }

private:
    std::string objectKey_;
};
