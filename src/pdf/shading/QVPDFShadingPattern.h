#pragma once
// A shading under its resource name.

#include "pdf/shading/QVPDFShading.h"

#include <memory>
#include <string>

class QVPDFShadingPattern {
public:
    QVPDFShadingPattern(const platform::PdfObject& dictionary, std::string objectKey);
    /// The same, the shading made through the document's cache.
    QVPDFShadingPattern(const platform::PdfObject& dictionary, std::string objectKey,
                        QVPDFResourceCache& cache);
    const std::string& objectKey() const { return objectKey_; }
    /// None when the dictionary names no known shading type.
    const std::shared_ptr<const QVPDFShading>& shading() const { return shading_; }

private:
    std::string objectKey_;
    std::shared_ptr<const QVPDFShading> shading_;
};
