#include "pdf/shading/QVPDFShadingPatternCollection.h"

#include "pdf/QVPDFResourceCache.h"

QVPDFShadingPatternCollection::QVPDFShadingPatternCollection(
    const std::optional<platform::PdfObject>& dictionary) {
    QVPDFResourceCache cache;
    *this = QVPDFShadingPatternCollection(dictionary, cache);
}

QVPDFShadingPatternCollection::QVPDFShadingPatternCollection(
    const std::optional<platform::PdfObject>& dictionary, QVPDFResourceCache& cache) {
    if (!dictionary || !dictionary->isDictionary())
        return;
    dictionary->forEachEntry([&](const std::string& key, const platform::PdfObject& value) {
        if (value.isDictionary())
            collectObjects_[key] = std::make_shared<const QVPDFShadingPattern>(value, key, cache);
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
