#pragma once
// The fonts of one document by object id: a font dictionary referenced from
// many pages or forms is parsed once and shared. One cache per open document
// (object ids are only unique within a document); safe to use from several
// threads.

#include "pdf/font/QVPDFFont.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

class QVPDFFontCache {
public:
    /// The font of the dictionary: for an indirect object, the one parsed on its
    /// first request (also when that gave none); a direct dictionary is parsed
    /// every time.
    std::shared_ptr<const QVPDFFont> fontWithDictionary(const platform::PdfObject& dict,
                                                        const std::string& objectKey);
    /// How many dictionaries have been parsed through the cache.
    size_t parseCount() const;

private:
    mutable std::mutex mutex_;
    std::unordered_map<uint64_t, std::shared_ptr<const QVPDFFont>> fonts_;
    size_t parseCount_ = 0;
};
