#include "pdf/xobject/QVPDFXObjectCollection.h"

QVPDFXObjectCollection::QVPDFXObjectCollection(
    const std::optional<platform::PdfObject>& dictionary) {
    if (!dictionary || !dictionary->isDictionary())
        return;
    dictionary->forEachEntry([this](const std::string& key, const platform::PdfObject& value) {
        if (auto x = QVPDFXObject::xObjectWithObject(value, key))
            xObjects_[key] = std::move(x);
    });
}

void QVPDFXObjectCollection::addFromDictionary(const Map& entries) {
    for (const auto& [name, x] : entries)
        xObjects_[name] = x;
}

std::shared_ptr<QVPDFXObject>
QVPDFXObjectCollection::xObjectWithNamed(const std::string& name) const {
    auto it = xObjects_.find(name);
    return it == xObjects_.end() ? nullptr : it->second;
}
