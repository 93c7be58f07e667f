#pragma once
// A CMap: splits the bytes of a string into codes of one to four bytes and
// maps each code to a CID. Read from a predefined CMap file of the resource
// bundle or from a CMap stream embedded in the PDF; the identity CMaps need no
// file. Stored as a 256-way byte trie; immutable once parsed, so predefined
// maps are shared process-wide (QVPDFCodeToCIDMapCache).

#include "platform/pdf/PdfObject.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class QVPDFCodeToCIDMap {
public:
    /// One lookup: the CID, the bytes the code used and the code itself (those
    /// bytes, most significant first). `complete` is false when the string
    /// ended inside a code; such a code maps to CID 0.
    struct Lookup {
        uint32_t cid = 0;
        int nUsed = 1;
        uint32_t code = 0;
        bool complete = true;
    };

    /// The predefined map of that name, parsed once per process: the file
    /// "PDFEncodings/CMap/<name>", or an identity map for Identity, Identity-H
    /// and Identity-V without a file; none otherwise.
    static std::shared_ptr<const QVPDFCodeToCIDMap> parse(const std::string& collection,
                                                          const std::string& cMapName);
    /// A map from CMap text. `inProgress` holds the names of the maps being
    /// parsed further up a usecmap chain (a usecmap naming one of them merges
    /// nothing); `depth` counts that chain.
    static std::shared_ptr<QVPDFCodeToCIDMap>
    parseText(std::string_view text, const std::optional<std::string>& collection,
              const std::optional<std::string>& cMapName, std::set<std::string>& inProgress,
              int depth = 0);
    /// A map from an embedded CMap stream: its text (usecmap reaching predefined
    /// maps), its dictionary's /UseCMap (a predefined name or another stream)
    /// and /WMode. None when the stream has no data.
    static std::shared_ptr<const QVPDFCodeToCIDMap>
    parseStream(const platform::PdfObject& stream, const std::optional<std::string>& collection,
                int depth = 0);

    /// An empty map: every one-byte code maps to CID 0; writing mode 0.
    QVPDFCodeToCIDMap(std::optional<std::string> collection, std::optional<std::string> cMapName);
    /// An identity map (two-byte codes are their own CIDs) with a writing mode.
    QVPDFCodeToCIDMap(std::optional<std::string> collection, std::optional<std::string> cMapName,
                      int wMode);

    /// The next code of `s` (len >= 1 bytes): never uses more than len bytes.
    Lookup getCID(const unsigned char* s, int len) const;
    /// The CID of a code value: the code written with as few bytes as the map
    /// takes it whole (identity maps: the value itself); none when no length does.
    std::optional<uint32_t> cidForCode(uint32_t code) const;

    /// Both equal the map's own (a map without a collection never matches).
    bool isMath(const std::optional<std::string>& collection, const std::string& cMapName) const;
    bool isIdentity() const { return levels_.empty(); }
    bool isVertical() const { return wMode_ != 0; }

    /// Registry-Ordering-Supplement of the CMap text's own /CIDSystemInfo;
    /// otherwise, for an embedded map, the collection it was made for.
    const std::optional<std::string>& cMapCollection() const { return cMapCollection_; }
    /// Registry-Ordering of the CMap text's /CIDSystemInfo; none when it names none.
    const std::optional<std::string>& cMapRegion() const { return cMapRegion_; }
    const std::optional<std::string>& cMapName() const { return cMapName_; }
    int wMode() const { return wMode_; }
    /// Trie levels held (the shared empty level included); for the data checks.
    size_t levelCount() const { return levels_.size(); }

    /// Most trie levels one map may hold (1 KiB each). Shared subtrees keep
    /// the largest predefined CMap to a few hundred; a map built to grow its
    /// trie stops here.
    static constexpr size_t kMaxLevels = 1u << 14;

private:
    using Level = std::array<uint32_t, 256>;
    /// An entry either holds a CID or, with this bit, the index of a further level.
    static constexpr uint32_t kLevelBit = 0x80000000u;
    static constexpr uint32_t kMaxCID = 0x7FFFFFFFu;
    /// Levels are shared between entries whose subtrees are equal and copied
    /// when one of them is written (copy on write, by parent count). Level 0
    /// is the empty level (every entry final with CID 0), never written;
    /// level 1 is the root.
    static constexpr uint32_t kEmptyLevel = 0;
    static constexpr uint32_t kRoot = 1;

    void parseText1(std::string_view text, std::set<std::string>& inProgress, int depth);
    /// Merges the map's trie into this one (usecmap).
    void useCMap(const QVPDFCodeToCIDMap& used);
    /// `copies` maps the source's levels copied whole into fresh entries to their copies.
    void copyVector(uint32_t dst, const QVPDFCodeToCIDMap& src, uint32_t srcLevel,
                    std::map<uint32_t, uint32_t>& copies);
    void addCodeSpace(uint32_t level, uint32_t start, uint32_t end, int nBytes);
    void addCIDs(uint32_t start, uint32_t end, int nBytes, uint32_t firstCID);
    /// The level entry `slot` of `parent` leads to, made its own (a shared
    /// level is copied first); none when it leads to none or over budget.
    std::optional<uint32_t> writableLevel(uint32_t parent, unsigned slot);
    /// Points the entry at a level (one more parent for it).
    void link(uint32_t parent, unsigned slot, uint32_t level);
    std::optional<uint32_t> newLevel(const Level& contents);

    std::optional<std::string> cMapCollection_;
    std::optional<std::string> cMapRegion_;
    std::optional<std::string> cMapName_;
    int wMode_ = 0;
    /// Empty for an identity map.
    std::vector<Level> levels_;
    /// The number of entries that lead to each level.
    std::vector<uint32_t> refs_;
};
