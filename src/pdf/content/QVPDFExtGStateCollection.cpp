#include "pdf/content/QVPDFExtGStateCollection.h"

QVPDFExtGStateCollection::QVPDFExtGStateCollection(
    const std::optional<platform::PdfObject>& dictionary) {
    if (!dictionary || !dictionary->isDictionary())
        return;
    dictionary->forEachEntry([this](const std::string& key, const platform::PdfObject& value) {
        if (value.isDictionary())
            collectObjects_[key] = std::make_shared<const QVPDFExtGState>(value, key);
    });
}

void QVPDFExtGStateCollection::addFromDictionary(const Map& entries) {
    for (const auto& [name, state] : entries)
        collectObjects_[name] = state;
}

std::shared_ptr<const QVPDFExtGState>
QVPDFExtGStateCollection::objectNamed(const std::string& name) const {
    auto it = collectObjects_.find(name);
    return it == collectObjects_.end() ? nullptr : it->second;
}
