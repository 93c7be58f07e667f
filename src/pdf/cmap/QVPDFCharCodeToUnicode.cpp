#include "pdf/cmap/QVPDFCharCodeToUnicode.h"

#include "pdf/cmap/QVPDFCMapTokenizer.h"
#include "pdf/cmap/QVPDFMapTool.h"
#include "pdf/cmap/QVPDFMemory.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

namespace {

// Bounds against hostile maps: one bfrange covers at most 65536 codes, and the
// hashed tables stop growing at a million entries (real maps hold far fewer).
constexpr uint32_t kMaxRangeLength = 0x10000;
constexpr size_t kMaxHashedEntries = 1u << 20;
constexpr int kMaxUseCMapDepth = 8;
constexpr size_t kMaxUnits = 8;

std::optional<uint32_t> hexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    uint32_t v = 0;
    for (char c : digits) {
        int h;
        if (c >= '0' && c <= '9')
            h = c - '0';
        else if (c >= 'A' && c <= 'F')
            h = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            h = c - 'a' + 10;
        else
            return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(h);
    }
    return v;
}

bool isHexToken(const std::string& t) {
    return t.size() >= 2 && t.front() == '<' && t.back() == '>';
}

/// A source code: "<" one to four bytes of hex digits ">"; its value and byte count.
std::optional<std::pair<uint32_t, int>> sourceCode(const std::string& t) {
    if (!isHexToken(t))
        return std::nullopt;
    std::string_view digits(t.data() + 1, t.size() - 2);
    if (digits.empty() || digits.size() > 8 || digits.size() % 2 != 0)
        return std::nullopt;
    auto v = hexNumber(digits);
    if (!v)
        return std::nullopt;
    return std::make_pair(*v, static_cast<int>(digits.size() / 2));
}

std::string_view innerDigits(const std::string& t) {
    return std::string_view(t.data() + 1, t.size() - 2);
}

} // namespace

QVPDFCharCodeToUnicode::QVPDFCharCodeToUnicode(std::string tag)
    : tag_(std::move(tag)), map_(256, 0) {}

std::shared_ptr<const QVPDFCharCodeToUnicode>
QVPDFCharCodeToUnicode::parseCMap(std::string_view text, int nBits) {
    auto map = std::make_shared<QVPDFCharCodeToUnicode>("ToUnicode");
    map->parseCMap1(text, nBits);
    return map;
}

std::shared_ptr<const QVPDFCharCodeToUnicode>
QVPDFCharCodeToUnicode::collectionMap(const std::string& region) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const QVPDFCharCodeToUnicode>> maps;
    std::lock_guard<std::mutex> lock(mutex);
    if (auto it = maps.find(region); it != maps.end())
        return it->second;
    // Only the four collections have a file; other names are not remembered.
    auto text = QVPDFMapTool::FindToUnicodeFile(region);
    if (!text)
        return nullptr;
    std::shared_ptr<const QVPDFCharCodeToUnicode> map;
    if (!text->empty())
        map = parseCMap(*text, 16);
    maps.emplace(region, map);
    return map;
}

void QVPDFCharCodeToUnicode::erase(uint32_t code) {
    silentCodes_.erase(code);
    if (code < map_.size())
        map_[code] = 0;
    bigMap_.erase(code);
    sMap_.erase(code);
}

void QVPDFCharCodeToUnicode::setSingle(uint32_t code, uint32_t unit) {
    erase(code);
    if (code < 0x10000) {
        if (code >= map_.size()) {
            size_t newSize = (static_cast<size_t>(code) + 256) & ~size_t(255);
            QVPDF_CheckedAllocationSize(static_cast<long long>(newSize), sizeof(uint16_t));
            map_.resize(newSize, 0);
        }
        map_[code] = static_cast<uint16_t>(unit);
    } else if (bigMap_.size() < kMaxHashedEntries) {
        bigMap_[code] = static_cast<uint16_t>(unit);
    }
}

void QVPDFCharCodeToUnicode::setString(uint32_t code, std::u16string text) {
    erase(code);
    if (sMap_.size() < kMaxHashedEntries)
        sMap_[code] = std::move(text);
}

void QVPDFCharCodeToUnicode::addMapping(uint32_t code, std::string_view hexDigits,
                                        uint32_t offset) {
    if (hexDigits.empty()) {
        // "<>": the code is drawn for no text of its own (a glyph of a shaped
        // cluster whose text another glyph carries), so nothing may stand in.
        erase(code);
        if (silentCodes_.size() < kMaxHashedEntries)
            silentCodes_.insert(code);
        return;
    }
    if (hexDigits.size() <= 4) {
        auto v = hexNumber(hexDigits);
        if (!v)
            return;
        uint32_t unit = (*v + offset) & 0xFFFF;
        if (unit == 0)
            erase(code);
        else
            setSingle(code, unit);
        return;
    }
    std::u16string units;
    size_t n = std::min(hexDigits.size() / 4, kMaxUnits);
    for (size_t i = 0; i < n; ++i) {
        auto v = hexNumber(hexDigits.substr(i * 4, 4));
        // A group that is not hex (malformed input) stands for U+FFFD.
        units += static_cast<char16_t>(v ? *v : 0xFFFD);
    }
    units.back() = static_cast<char16_t>(units.back() + offset);
    if (units.size() == 1)
        setSingle(code, units[0]);
    else
        setString(code, std::move(units));
}

void QVPDFCharCodeToUnicode::parseCMap1(std::string_view text, int nBits, int depth) {
    (void)nBits; // codes of every length from one to four bytes are taken
    QVPDFCMapTokenizer tok(text);
    std::string tok1, tok2, tok3;
    if (!tok.getToken(tok1))
        return;
    while (tok.getToken(tok2)) {
        if (tok2 == "usecmap") {
            if (!tok1.empty() && tok1[0] == '/' && depth < kMaxUseCMapDepth) {
                if (auto used = QVPDFMapTool::FindToUnicodeFile(tok1.substr(1));
                    used && !used->empty())
                    parseCMap1(*used, nBits, depth + 1);
            }
            if (!tok.getToken(tok1))
                return;
        } else if (tok2 == "begincodespacerange") {
            while (tok.getToken(tok1) && tok1 != "endcodespacerange") {
                if (!tok.getToken(tok2) || tok2 == "endcodespacerange")
                    break;
                auto start = sourceCode(tok1), end = sourceCode(tok2);
                if (start && end && start->second == end->second)
                    codeSpaceRanges_.push_back({start->first, end->first, start->second});
            }
            if (!tok.getToken(tok1))
                return;
        } else if (tok2 == "beginbfchar") {
            while (tok.getToken(tok1) && tok1 != "endbfchar") {
                if (!tok.getToken(tok2) || tok2 == "endbfchar")
                    break;
                auto src = sourceCode(tok1);
                if (src && isHexToken(tok2))
                    addMapping(src->first, innerDigits(tok2), 0);
            }
            if (!tok.getToken(tok1))
                return;
        } else if (tok2 == "beginbfrange") {
            while (tok.getToken(tok1) && tok1 != "endbfrange") {
                if (!tok.getToken(tok2) || tok2 == "endbfrange")
                    break;
                if (!tok.getToken(tok3) || tok3 == "endbfrange")
                    break;
                auto first = sourceCode(tok1), last = sourceCode(tok2);
                bool ok = first && last && first->first <= last->first;
                uint32_t lastCode = ok ? last->first : 0;
                if (ok && lastCode - first->first >= kMaxRangeLength)
                    lastCode = first->first + (kMaxRangeLength - 1);
                if (tok3 == "[") {
                    uint64_t code = ok ? first->first : 0;
                    while (tok.getToken(tok1) && tok1 != "]") {
                        if (ok && code <= lastCode && isHexToken(tok1))
                            addMapping(static_cast<uint32_t>(code), innerDigits(tok1), 0);
                        ++code;
                    }
                } else if (ok && isHexToken(tok3)) {
                    for (uint64_t code = first->first; code <= lastCode; ++code)
                        addMapping(static_cast<uint32_t>(code), innerDigits(tok3),
                                   static_cast<uint32_t>(code - first->first));
                }
            }
            if (!tok.getToken(tok1))
                return;
        } else {
            tok1 = tok2;
        }
    }
}

int QVPDFCharCodeToUnicode::mapToUnicode(uint32_t code, uint32_t* u, int uSize) const {
    if (uSize <= 0)
        return 0;
    if (code < map_.size()) {
        if (map_[code] != 0) {
            u[0] = map_[code];
            return 1;
        }
    } else if (auto it = bigMap_.find(code); it != bigMap_.end()) {
        u[0] = it->second;
        return 1;
    }
    auto it = sMap_.find(code);
    if (it == sMap_.end())
        return 0;
    int n = std::min(static_cast<int>(it->second.size()), uSize);
    for (int i = 0; i < n; ++i)
        u[i] = it->second[static_cast<size_t>(i)];
    return n;
}

std::u16string QVPDFCharCodeToUnicode::textForCode(uint32_t code) const {
    uint32_t u[kMaxUnits];
    int n = mapToUnicode(code, u, static_cast<int>(kMaxUnits));
    std::u16string out;
    for (int i = 0; i < n; ++i)
        out += static_cast<char16_t>(u[i]);
    return out;
}

bool QVPDFCharCodeToUnicode::mapsToNothing(uint32_t code) const {
    return silentCodes_.count(code) > 0;
}

bool QVPDFCharCodeToUnicode::hasMapping(uint32_t code) const {
    uint32_t u[1];
    return mapToUnicode(code, u, 1) > 0;
}

uint32_t QVPDFCharCodeToUnicode::spaceCIDCode() const {
    for (size_t code = 0; code < map_.size(); ++code)
        if (map_[code] == 0x20)
            return static_cast<uint32_t>(code);
    uint32_t best = 0;
    bool found = false;
    for (const auto& [code, unit] : bigMap_)
        if (unit == 0x20 && (!found || code < best)) {
            best = code;
            found = true;
        }
    return best;
}
