#pragma once
// The shadings of one /Shading resource dictionary, by resource name (raw
// bytes). Entries that are not dictionaries (mesh shadings are streams) are
// left out.

#include "pdf/shading/QVPDFShadingPattern.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

class QVPDFShadingPatternCollection {
public:
    QVPDFShadingPatternCollection() = default;
    explicit QVPDFShadingPatternCollection(const std::optional<platform::PdfObject>& dictionary);
    /// The same, sharing the shadings of indirect dictionaries through the
    /// document's cache.
    QVPDFShadingPatternCollection(const std::optional<platform::PdfObject>& dictionary,
                                  QVPDFResourceCache& cache);

    using Map = std::map<std::string, std::shared_ptr<const QVPDFShadingPattern>>;
    void addFromDictionary(const Map& entries);
    std::shared_ptr<const QVPDFShadingPattern> objectNamed(const std::string& name) const;
    const Map& collectObjects() const { return collectObjects_; }

private:
    Map collectObjects_;
};
