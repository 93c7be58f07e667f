#pragma once
// The image files of one document's run: a scratch folder made on first use
// and removed with everything in it when the cache ends, and the files already
// written, by a key the image code chooses (object number and what else the
// file depends on). A document's cache lives exactly as long as the open
// document, so images shared by many pages are written once, and the files
// are gone when the run is over (package writers copy what they keep before).

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace platform {

struct PdfDocumentImpl;

class ImageFileCache {
public:
    /// `parentFolder`: where the run's folder "Temp-<UUID>" is made; empty
    /// means the process's scratch folder (platform::scratchFolder).
    explicit ImageFileCache(std::string parentFolder = {});
    ~ImageFileCache();
    ImageFileCache(const ImageFileCache&) = delete;
    ImageFileCache& operator=(const ImageFileCache&) = delete;

    /// The cache of an open document, made on its first use; none without a document.
    static std::shared_ptr<ImageFileCache>
    forDocument(const std::shared_ptr<PdfDocumentImpl>& document);

    /// The run's folder, created on the first call; none when it cannot be created.
    std::optional<std::string> folder();

    /// What was stored under the key: a path, or none for an image that could
    /// not be written; a null pointer when nothing was stored.
    const std::optional<std::string>* find(const std::string& key) const;
    void store(const std::string& key, std::optional<std::string> path);
    /// How many entries were stored (each one an extraction).
    size_t storedCount() const { return stored_; }

private:
    std::string parent_;
    std::optional<std::string> folder_;
    std::map<std::string, std::optional<std::string>> entries_;
    size_t stored_ = 0;
};

} // namespace platform
