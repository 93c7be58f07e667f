#pragma once
// The named colour spaces of one /ColorSpace resource dictionary, keyed by the
// raw bytes of their resource names.

#include "pdf/colour/QVPDFColorSpace.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

class QVPDFColorSpaceCollection {
public:
    QVPDFColorSpaceCollection() = default;
    /// Every entry the factory turns into a colour space; others are skipped.
    /// None gives an empty collection.
    explicit QVPDFColorSpaceCollection(const std::optional<platform::PdfObject>& dictionary);
    /// The same, sharing the spaces of indirect definitions through the
    /// document's cache.
    QVPDFColorSpaceCollection(const std::optional<platform::PdfObject>& dictionary,
                              QVPDFResourceCache& cache);

    using Map = std::map<std::string, std::shared_ptr<const QVPDFColorSpace>>;
    /// Adds the entries, replacing those of the same name.
    void addFromDictionary(const Map& entries);
    std::shared_ptr<const QVPDFColorSpace> colorSpaceNamed(const std::string& name) const;
    const Map& colorSpaces() const { return colorSpaces_; }

private:
    Map colorSpaces_;
};
