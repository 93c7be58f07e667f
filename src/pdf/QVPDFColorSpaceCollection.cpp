#include "pdf/QVPDFColorSpaceCollection.h"

QVPDFColorSpaceCollection::QVPDFColorSpaceCollection(
    const std::optional<platform::PdfObject>& dictionary) {
    if (!dictionary || !dictionary->isDictionary())
        return;
    dictionary->forEachEntry([this](const std::string& key, const platform::PdfObject& value) {
        if (auto space = QVPDFColorSpace::colorSpaceWithObject(value))
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
