#include "pdf/cmap/QVPDFCodeToCIDMap.h"

#include "pdf/cmap/QVPDFCMapTokenizer.h"
#include "pdf/cmap/QVPDFCodeToCIDMapCache.h"
#include "pdf/cmap/QVPDFMemory.h"

#include <algorithm>
#include <map>

namespace {

std::optional<uint32_t> hexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    uint32_t v = 0;
    for (char c : digits) {
        uint32_t h;
        if (c >= '0' && c <= '9')
            h = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            h = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            h = static_cast<uint32_t>(c - 'a' + 10);
        else
            return std::nullopt;
        v = v * 16 + h;
    }
    return v;
}

/// A code token: "<" an even number (2 to 8) of hex digits ">"; its value.
std::optional<uint32_t> codeOf(const std::string& t) {
    if (t.size() < 4 || t.size() % 2 != 0 || t.front() != '<' || t.back() != '>')
        return std::nullopt;
    return hexNumber(std::string_view(t).substr(1, t.size() - 2));
}

int bytesOf(const std::string& codeToken) {
    return static_cast<int>(codeToken.size() - 2) / 2;
}

/// The decimal value at the start of the token (0 without digits), held below 2^31.
uint32_t decimalPrefix(const std::string& t) {
    uint64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            break;
        v = std::min<uint64_t>(v * 10 + static_cast<uint64_t>(c - '0'), 0x7FFFFFFFu);
    }
    return static_cast<uint32_t>(v);
}

/// The text of a "(...)" string token; none for another shape.
std::optional<std::string> stringToken(const std::string& t) {
    if (t.size() < 2 || t.front() != '(' || t.back() != ')')
        return std::nullopt;
    return t.substr(1, t.size() - 2);
}

} // namespace

QVPDFCodeToCIDMap::QVPDFCodeToCIDMap(std::optional<std::string> collection,
                                     std::optional<std::string> cMapName)
    : cMapCollection_(std::move(collection)), cMapName_(std::move(cMapName)) {
    levels_.resize(2, Level{}); // the shared empty level and the root
    refs_ = {0, 1};
}

QVPDFCodeToCIDMap::QVPDFCodeToCIDMap(std::optional<std::string> collection,
                                     std::optional<std::string> cMapName, int wMode)
    : cMapCollection_(std::move(collection)), cMapName_(std::move(cMapName)), wMode_(wMode) {}

std::shared_ptr<const QVPDFCodeToCIDMap> QVPDFCodeToCIDMap::parse(const std::string& collection,
                                                                  const std::string& cMapName) {
    std::set<std::string> inProgress;
    return QVPDFCodeToCIDMapCache::sharedCache().getCMap(collection, cMapName, inProgress);
}

std::shared_ptr<QVPDFCodeToCIDMap>
QVPDFCodeToCIDMap::parseText(std::string_view text, const std::optional<std::string>& collection,
                             const std::optional<std::string>& cMapName,
                             std::set<std::string>& inProgress, int depth) {
    auto map = std::make_shared<QVPDFCodeToCIDMap>(collection, cMapName);
    map->parseText1(text, inProgress, depth);
    return map;
}

std::shared_ptr<const QVPDFCodeToCIDMap>
QVPDFCodeToCIDMap::parseStream(const platform::PdfObject& stream,
                               const std::optional<std::string>& collection, int depth) {
    if (depth > QVPDFCodeToCIDMapCache::kMaxUseCMapDepth)
        return nullptr;
    auto data = stream.streamData();
    if (!data)
        return nullptr;
    platform::PdfObject dict = stream.streamDictionary();
    std::optional<std::string> name = dict.getName("CMapName");
    std::set<std::string> inProgress;
    auto map = std::make_shared<QVPDFCodeToCIDMap>(collection, name);
    // /UseCMap in the dictionary comes before the stream's own entries.
    if (auto useName = dict.getName("UseCMap")) {
        if (auto used = QVPDFCodeToCIDMapCache::sharedCache().getCMap(collection ? *collection : "",
                                                                      *useName, inProgress, depth))
            map->useCMap(*used);
    } else if (auto useStream = dict.getStream("UseCMap")) {
        if (auto used = parseStream(*useStream, collection, depth + 1))
            map->useCMap(*used);
    }
    if (auto wMode = dict.getInteger("WMode"))
        map->wMode_ = static_cast<int>(*wMode);
    map->parseText1(*data, inProgress, depth);
    return map;
}

void QVPDFCodeToCIDMap::parseText1(std::string_view text, std::set<std::string>& inProgress,
                                   int depth) {
    QVPDFCMapTokenizer tok(text);
    std::string tok1, tok2, tok3;
    std::optional<std::string> registry, ordering;
    std::optional<uint32_t> supplement;
    if (!tok.getToken(tok1))
        return;
    while (tok.getToken(tok2)) {
        if (tok2 == "usecmap") {
            if (!tok1.empty() && tok1[0] == '/') {
                auto used = QVPDFCodeToCIDMapCache::sharedCache().getCMap(
                    cMapCollection_.value_or(""), tok1.substr(1), inProgress, depth + 1);
                if (used)
                    useCMap(*used);
            }
            if (!tok.getToken(tok1))
                break;
        } else if (tok1 == "/WMode") {
            wMode_ = static_cast<int>(decimalPrefix(tok2));
            if (!tok.getToken(tok1))
                break;
        } else if (tok2 == "begincodespacerange") {
            while (tok.getToken(tok1) && tok1 != "endcodespacerange") {
                if (!tok.getToken(tok2) || tok2 == "endcodespacerange")
                    break;
                auto start = codeOf(tok1), end = codeOf(tok2);
                if (start && end && tok1.size() == tok2.size())
                    addCodeSpace(kRoot, *start, *end, bytesOf(tok1));
            }
            if (!tok.getToken(tok1))
                break;
        } else if (tok2 == "begincidchar") {
            while (tok.getToken(tok1) && tok1 != "endcidchar") {
                if (!tok.getToken(tok2) || tok2 == "endcidchar")
                    break;
                if (auto code = codeOf(tok1))
                    addCIDs(*code, *code, bytesOf(tok1), decimalPrefix(tok2));
            }
            if (!tok.getToken(tok1))
                break;
        } else if (tok2 == "begincidrange") {
            while (tok.getToken(tok1) && tok1 != "endcidrange") {
                if (!tok.getToken(tok2) || tok2 == "endcidrange")
                    break;
                if (!tok.getToken(tok3) || tok3 == "endcidrange")
                    break;
                auto start = codeOf(tok1), end = codeOf(tok2);
                if (start && end && tok1.size() == tok2.size())
                    addCIDs(*start, *end, bytesOf(tok1), decimalPrefix(tok3));
            }
            if (!tok.getToken(tok1))
                break;
        } else {
            // The CMap's own /CIDSystemInfo names the collection its CIDs belong to.
            if (tok1 == "/Registry")
                registry = stringToken(tok2);
            else if (tok1 == "/Ordering")
                ordering = stringToken(tok2);
            else if (tok1 == "/Supplement")
                supplement = decimalPrefix(tok2);
            tok1 = tok2;
        }
    }
    if (registry && ordering && !registry->empty() && !ordering->empty()) {
        cMapRegion_ = *registry + "-" + *ordering;
        cMapCollection_ = *cMapRegion_ + "-" + std::to_string(supplement.value_or(0));
    }
}

std::optional<uint32_t> QVPDFCodeToCIDMap::newLevel(const Level& contents) {
    if (levels_.size() >= kMaxLevels)
        return std::nullopt;
    QVPDF_CheckedAllocationSize(static_cast<long long>(levels_.size() + 1), sizeof(Level));
    levels_.push_back(contents);
    refs_.push_back(0);
    return static_cast<uint32_t>(levels_.size() - 1);
}

void QVPDFCodeToCIDMap::link(uint32_t parent, unsigned slot, uint32_t level) {
    levels_[parent][slot] = kLevelBit | level;
    if (level != kEmptyLevel)
        ++refs_[level];
}

std::optional<uint32_t> QVPDFCodeToCIDMap::writableLevel(uint32_t parent, unsigned slot) {
    uint32_t e = levels_[parent][slot];
    if (!(e & kLevelBit))
        return std::nullopt;
    uint32_t index = e & ~kLevelBit;
    if (index != kEmptyLevel && refs_[index] == 1)
        return index;
    // Shared (or the empty level): this entry gets a copy of its own, whose
    // further levels gain one more parent.
    Level copy = levels_[index];
    auto fresh = newLevel(copy);
    if (!fresh)
        return std::nullopt;
    for (uint32_t child : copy)
        if ((child & kLevelBit) && (child & ~kLevelBit) != kEmptyLevel)
            ++refs_[child & ~kLevelBit];
    if (index != kEmptyLevel)
        --refs_[index];
    levels_[parent][slot] = kLevelBit | *fresh;
    ++refs_[*fresh];
    return fresh;
}

void QVPDFCodeToCIDMap::addCodeSpace(uint32_t level, uint32_t start, uint32_t end, int nBytes) {
    if (nBytes < 2 || nBytes > 4)
        return;
    const int shift = 8 * (nBytes - 1);
    const uint32_t mask = (1u << shift) - 1;
    const unsigned first = (start >> shift) & 0xFF, last = (end >> shift) & 0xFF;
    // Every first byte that had no further level gets the same new subtree: it
    // is built once and shared (copied on write), so a range over all
    // four-byte codes costs a level per byte, not millions.
    std::optional<uint32_t> built;
    for (unsigned b = first; b <= last; ++b) {
        const bool fresh = !(levels_[level][b] & kLevelBit);
        if (fresh)
            levels_[level][b] = kLevelBit | kEmptyLevel; // a CID held here is lost
        if (nBytes == 2)
            continue; // the level below only holds final entries: the empty level serves
        if (fresh && built) {
            link(level, b, *built);
            continue;
        }
        auto sub = writableLevel(level, b);
        if (!sub)
            return; // over budget: the rest of the range keeps shorter codes
        addCodeSpace(*sub, start & mask, end & mask, nBytes - 1);
        if (fresh)
            built = levels_[level][b] & ~kLevelBit;
    }
}

void QVPDFCodeToCIDMap::addCIDs(uint32_t start, uint32_t end, int nBytes, uint32_t firstCID) {
    if (nBytes < 1 || nBytes > 4 || isIdentity())
        return;
    // The whole path is made the code's own before its last level is written.
    uint32_t level = kRoot;
    for (int i = nBytes - 1; i >= 1; --i) {
        unsigned b = (start >> (8 * i)) & 0xFF;
        uint32_t e = levels_[level][b];
        if (!(e & kLevelBit))
            return; // the code space has no code this long here
        if (i > 1 && (e & ~kLevelBit) == kEmptyLevel)
            return; // only final entries below: no longer code reaches the last byte
        auto sub = writableLevel(level, b);
        if (!sub)
            return;
        level = *sub;
    }
    const unsigned lo = start & 0xFF, hi = end & 0xFF;
    for (unsigned b = lo; b <= hi; ++b) {
        uint32_t& e = levels_[level][b];
        if (e & kLevelBit)
            continue;
        e = static_cast<uint32_t>(
            std::min<uint64_t>(static_cast<uint64_t>(firstCID) + (b - lo), kMaxCID));
    }
}

void QVPDFCodeToCIDMap::useCMap(const QVPDFCodeToCIDMap& used) {
    if (used.isIdentity() || isIdentity())
        return;
    std::map<uint32_t, uint32_t> copies;
    copyVector(kRoot, used, kRoot, copies);
}

void QVPDFCodeToCIDMap::copyVector(uint32_t dst, const QVPDFCodeToCIDMap& src, uint32_t srcLevel,
                                   std::map<uint32_t, uint32_t>& copies) {
    for (unsigned b = 0; b < 256; ++b) {
        const uint32_t s = src.levels_[srcLevel][b];
        const uint32_t d = levels_[dst][b];
        if (!(s & kLevelBit)) {
            if (!(d & kLevelBit))
                levels_[dst][b] = s;
            continue;
        }
        const uint32_t srcSub = s & ~kLevelBit;
        if (!(d & kLevelBit)) {
            levels_[dst][b] = kLevelBit | kEmptyLevel;
            if (srcSub == kEmptyLevel)
                continue;
            // A source level met again (the source shares it) is shared here too.
            if (auto it = copies.find(srcSub); it != copies.end()) {
                link(dst, b, it->second);
                continue;
            }
            auto sub = writableLevel(dst, b);
            if (!sub)
                return;
            copyVector(*sub, src, srcSub, copies);
            copies.emplace(srcSub, *sub);
            continue;
        }
        if (srcSub == kEmptyLevel)
            continue; // nothing below to copy
        auto sub = writableLevel(dst, b);
        if (!sub)
            return;
        copyVector(*sub, src, srcSub, copies);
    }
}

QVPDFCodeToCIDMap::Lookup QVPDFCodeToCIDMap::getCID(const unsigned char* s, int len) const {
    Lookup r;
    if (len <= 0)
        return r;
    if (isIdentity()) {
        if (len < 2) {
            r.nUsed = len;
            r.code = s[0];
            r.complete = false;
            return r;
        }
        r.cid = r.code = (static_cast<uint32_t>(s[0]) << 8) | s[1];
        r.nUsed = 2;
        return r;
    }
    uint32_t level = kRoot;
    for (int i = 0; i < len; ++i) {
        r.code = (r.code << 8) | s[i];
        uint32_t e = levels_[level][s[i]];
        if (!(e & kLevelBit)) {
            r.cid = e;
            r.nUsed = i + 1;
            return r;
        }
        level = e & ~kLevelBit;
    }
    r.cid = 0;
    r.nUsed = len;
    r.complete = false;
    return r;
}

std::optional<uint32_t> QVPDFCodeToCIDMap::cidForCode(uint32_t code) const {
    if (isIdentity())
        return code <= 0xFFFF ? std::optional<uint32_t>(code) : std::nullopt;
    int minBytes = code > 0xFFFFFF ? 4 : code > 0xFFFF ? 3 : code > 0xFF ? 2 : 1;
    for (int n = minBytes; n <= 4; ++n) {
        unsigned char bytes[4];
        for (int i = 0; i < n; ++i)
            bytes[i] = static_cast<unsigned char>(code >> (8 * (n - 1 - i)));
        Lookup r = getCID(bytes, n);
        if (r.complete && r.nUsed == n)
            return r.cid;
    }
    return std::nullopt;
}

bool QVPDFCodeToCIDMap::isMath(const std::optional<std::string>& collection,
                               const std::string& cMapName) const {
    return cMapCollection_ && collection && *cMapCollection_ == *collection && cMapName_ &&
           *cMapName_ == cMapName;
}
