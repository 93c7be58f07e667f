#include "pdf/colour/QVPDFColorSpaceCollection.h"

#include "pdf/QVPDFResourceCache.h"

QVPDFColorSpaceCollection::QVPDFColorSpaceCollection(
    const std::optional<platform::PdfObject>& dictionary) {
    QVPDFResourceCache cache;
    *this = QVPDFColorSpaceCollection(dictionary, cache);
}

QVPDFColorSpaceCollection::QVPDFColorSpaceCollection(
    const std::optional<platform::PdfObject>& dictionary, QVPDFResourceCache& cache) {
    if (!dictionary || !dictionary->isDictionary())
        return;
    dictionary->forEachEntry([&](const std::string& key, const platform::PdfObject& value) {
        if (auto space = QVPDFColorSpace::colorSpaceWithObject(value, cache))
            colorSpaces_[key] = std::move(space);
    });
}

void QVPDFColorSpaceCollection::addFromDictionary(const Map& entries) {
    for (const auto& [name, space] : entries)
        colorSpaces_[name] = space;
}

std::shared_ptr<const QVPDFColorSpace>
QVPDFColorSpaceCollection::colorSpaceNamed(const std::string& name) const {
    auto it = colorSpaces_.find(name);
    return it == colorSpaces_.end() ? nullptr : it->second;
}
