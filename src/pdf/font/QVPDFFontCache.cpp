#include "pdf/font/QVPDFFontCache.h"

std::shared_ptr<const QVPDFFont> QVPDFFontCache::fontWithDictionary(const platform::PdfObject& dict,
                                                                    const std::string& objectKey) {
    platform::PdfObjectId id = dict.objectId();
    if (!id.isIndirect()) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++parseCount_;
        return QVPDFFont::fontWithDictionary(dict, objectKey);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = fonts_.find(id.key());
    if (it != fonts_.end())
        return it->second;
    ++parseCount_;
    auto font = QVPDFFont::fontWithDictionary(dict, objectKey);
    fonts_.emplace(id.key(), font);
    return font;
}

size_t QVPDFFontCache::parseCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return parseCount_;
}
