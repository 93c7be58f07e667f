#include "pdf/cmap/QVPDFCodeToCIDMapCache.h"

#include "pdf/cmap/QVPDFMapTool.h"

QVPDFCodeToCIDMapCache& QVPDFCodeToCIDMapCache::sharedCache() {
    static QVPDFCodeToCIDMapCache cache;
    return cache;
}

std::shared_ptr<const QVPDFCodeToCIDMap>
QVPDFCodeToCIDMapCache::getCMap(const std::string& collection, const std::string& cMapName,
                                std::set<std::string>& inProgress, int depth) {
    {
        std::lock_guard<std::mutex> lock(mapsMutex_);
        if (auto it = maps_.find(cMapName); it != maps_.end())
            return it->second;
        if (missing_.count(cMapName))
            return nullptr;
    }
    // A chain that comes back to a map being parsed, or runs too deep, stops.
    if (cMapName.empty() || inProgress.count(cMapName) || depth > kMaxUseCMapDepth)
        return nullptr;

    std::lock_guard<std::recursive_mutex> parsing(parseMutex_);
    {
        std::lock_guard<std::mutex> lock(mapsMutex_);
        if (auto it = maps_.find(cMapName); it != maps_.end())
            return it->second; // another thread parsed it meanwhile
    }
    // A shared map records no caller's collection, only what its file names.
    std::shared_ptr<const QVPDFCodeToCIDMap> map;
    auto text = QVPDFMapTool::FindCMapFile(collection, cMapName);
    if (text && !text->empty()) {
        inProgress.insert(cMapName);
        map = QVPDFCodeToCIDMap::parseText(*text, std::nullopt, cMapName, inProgress, depth);
        inProgress.erase(cMapName);
    } else if (cMapName == "Identity" || cMapName == "Identity-H") {
        map = std::make_shared<const QVPDFCodeToCIDMap>(std::nullopt, cMapName, 0);
    } else if (cMapName == "Identity-V") {
        map = std::make_shared<const QVPDFCodeToCIDMap>(std::nullopt, cMapName, 1);
    }
    std::lock_guard<std::mutex> lock(mapsMutex_);
    if (map)
        maps_.emplace(cMapName, map);
    else if (missing_.size() < kMaxMissingNames)
        missing_.insert(cMapName);
    return map;
}
