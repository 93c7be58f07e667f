#include "pdf/QVPDFShadingPatternCollection.h"

QVPDFShadingPatternCollection::QVPDFShadingPatternCollection(
    const std::optional<platform::PdfObject>& dictionary) {
    if (!dictionary || !dictionary->isDictionary())
        return;
    dictionary->forEachEntry([this](const std::string& key, const platform::PdfObject& value) {
        if (value.isDictionary())
            collectObjects_[key] = std::make_shared<const QVPDFShadingPattern>(value, key);
    });
}

void QVPDFShadingPatternCollection::addFromDictionary(const Map& entries) {
    for (const auto& [name, pattern] : entries)
        collectObjects_[name] = pattern;
}

std::shared_ptr<const QVPDFShadingPattern>
QVPDFShadingPatternCollection::objectNamed(const std::string& name) const {
    auto it = collectObjects_.find(name);
    return it == collectObjects_.end() ? nullptr : it->second;
}
