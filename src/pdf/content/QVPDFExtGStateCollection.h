#pragma once
// The graphics-state parameter dictionaries of one /ExtGState resource
// dictionary, by resource name (raw bytes); entries that are not dictionaries
// are left out.

#include "pdf/content/QVPDFExtGState.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

class QVPDFExtGStateCollection {
public:
    QVPDFExtGStateCollection() = default;
    explicit QVPDFExtGStateCollection(const std::optional<platform::PdfObject>& dictionary);

    using Map = std::map<std::string, std::shared_ptr<const QVPDFExtGState>>;
    void addFromDictionary(const Map& entries);
    std::shared_ptr<const QVPDFExtGState> objectNamed(const std::string& name) const;
    const Map& collectObjects() const { return collectObjects_; }

private:
    Map collectObjects_;
};
