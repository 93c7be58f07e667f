#pragma once
// The predefined CMaps of the process, by name: each parsed once, on first
// use, and shared by every font that names it. Thread-safe: lookups of parsed
// maps only take a short lock; first parses are serialised (a usecmap chain
// parses its maps on the same thread, so they nest).

#include "pdf/cmap/QVPDFCodeToCIDMap.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

class QVPDFCodeToCIDMapCache {
public:
    static QVPDFCodeToCIDMapCache& sharedCache();

    /// The map of that name; none when there is none. The collection does not
    /// select the file (CMap names are unique across collections); the map
    /// records the collection its own file names.
    /// `inProgress` holds the usecmap chain of the caller: a name in it, or a
    /// chain deeper than kMaxUseCMapDepth, gives none.
    std::shared_ptr<const QVPDFCodeToCIDMap> getCMap(const std::string& collection,
                                                     const std::string& cMapName,
                                                     std::set<std::string>& inProgress,
                                                     int depth = 0);

    /// Longest usecmap chain followed (the shipped files nest two deep).
    static constexpr int kMaxUseCMapDepth = 8;

private:
    QVPDFCodeToCIDMapCache() = default;

    /// Names without a map are remembered up to this many, so that a document
    /// naming countless bogus CMaps cannot grow the cache without bound.
    static constexpr size_t kMaxMissingNames = 1024;

    std::mutex mapsMutex_;
    std::map<std::string, std::shared_ptr<const QVPDFCodeToCIDMap>> maps_;
    std::set<std::string> missing_;
    std::recursive_mutex parseMutex_;
};
