#pragma once
// A shading of the page resources. Shadings are collected and named so that
// `sh` can find them, but no output paints them; the kinds that read their
// dictionary derive from this class.

#include "platform/pdf/PdfObject.h"

#include <memory>
#include <string>

class QVPDFResourceCache;

class QVPDFShading {
public:
    explicit QVPDFShading(int shadingType) : shadingType_(shadingType) {}
    virtual ~QVPDFShading();

    /// A shading of the kind /ShadingType names (1 to 7), or none for any
    /// other or a missing type.
    static std::shared_ptr<const QVPDFShading>
    ShadingWithDictionary(const platform::PdfObject& dictionary);
    /// The same, sharing the shading of an indirect dictionary through the
    /// document's cache.
    static std::shared_ptr<const QVPDFShading>
    ShadingWithDictionary(const platform::PdfObject& dictionary, QVPDFResourceCache& cache);
    int shadingType() const { return shadingType_; }

private:
    int shadingType_;
};
