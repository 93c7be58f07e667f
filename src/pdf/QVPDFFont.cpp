#include "pdf/QVPDFFont.h"

QVPDFFont::~QVPDFFont() = default;

int QVPDFFont::getNextChar(const unsigned char*, int, uint32_t*, uint32_t*, int, int*, float*,
                           float*, float*, float*) const {
    return 1;
}

std::shared_ptr<const QVPDFFont> QVPDFFont::fontWithDictionary(const platform::PdfObject& dict,
                                                                const std::string& objectKey) {
    // The concrete font classes register here as they are built.
    (void)dict;
    (void)objectKey;
    return nullptr;
}

QVPDFFontCollection::QVPDFFontCollection(const std::optional<platform::PdfObject>& dict) {
    if (!dict || !dict->isDictionary())
        return;
    for (const std::string& key : dict->keys()) {
        platform::PdfObject value = dict->get(key);
        if (!value.isDictionary())
            continue;
        if (auto font = QVPDFFont::fontWithDictionary(value, key))
            fonts_[key] = std::move(font);
    }
}

std::shared_ptr<const QVPDFFont> QVPDFFontCollection::fontNamed(const std::string& name) const {
    auto it = fonts_.find(name);
    return it == fonts_.end() ? nullptr : it->second;
}
