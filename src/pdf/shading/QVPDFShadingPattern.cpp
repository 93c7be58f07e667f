#include "pdf/shading/QVPDFShadingPattern.h"

QVPDFShadingPattern::QVPDFShadingPattern(const platform::PdfObject& dictionary,
                                         std::string objectKey)
    : objectKey_(std::move(objectKey)), shading_(QVPDFShading::ShadingWithDictionary(dictionary)) {}

QVPDFShadingPattern::QVPDFShadingPattern(const platform::PdfObject& dictionary,
                                         std::string objectKey, QVPDFResourceCache& cache)
    : objectKey_(std::move(objectKey)),
      shading_(QVPDFShading::ShadingWithDictionary(dictionary, cache)) {}
