#include "platform/image/ImageFileCache.h"

#include "platform/Files.h"
#include "platform/Uuid.h"
#include "platform/pdf/QpdfAccess.h"

namespace platform {

ImageFileCache::ImageFileCache(std::string parentFolder) : parent_(std::move(parentFolder)) {}

ImageFileCache::~ImageFileCache() {
    if (folder_)
        removeAll(*folder_);
}

std::shared_ptr<ImageFileCache>
ImageFileCache::forDocument(const std::shared_ptr<PdfDocumentImpl>& document) {
    if (!document)
        return nullptr;
    if (!document->imageFileCache)
        document->imageFileCache = std::make_shared<ImageFileCache>();
    return document->imageFileCache;
}

std::optional<std::string> ImageFileCache::folder() {
    if (folder_)
        return folder_;
    std::string parent = parent_.empty() ? scratchFolder() : parent_;
    if (!createDirectories(parent))
        return std::nullopt;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::string candidate = appendPathComponent(parent, "Temp-" + newUUIDString());
        if (createFolderExclusively(candidate)) {
            folder_ = candidate;
            return folder_;
        }
    }
    return std::nullopt;
}

const std::optional<std::string>* ImageFileCache::find(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

void ImageFileCache::store(const std::string& key, std::optional<std::string> path) {
    entries_[key] = std::move(path);
    ++stored_;
}

} // namespace platform
