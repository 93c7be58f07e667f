#pragma once
// A map from character codes (a byte of a simple font, a code or CID of a
// composite font) to UTF-16 text, parsed from text in the ToUnicode CMap
// syntax: a font's /ToUnicode stream or a collection's CID-to-Unicode file.
// Immutable once parsed; shared between fonts and copies.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QVPDFCharCodeToUnicode {
public:
    /// A begincodespacerange entry: codes of nBytes bytes from start to end.
    struct CodeSpaceRange {
        uint32_t start;
        uint32_t end;
        int nBytes;
    };

    /// Parses ToUnicode CMap text (read as bytes). nBits (8 for simple fonts, 16
    /// for composite ones) is the font's usual code width; source codes of one
    /// to four bytes are accepted whatever it says, so maps written with
    /// two-byte codes for a simple font still work. Never null.
    static std::shared_ptr<const QVPDFCharCodeToUnicode> parseCMap(std::string_view text,
                                                                   int nBits);

    /// The CID-to-Unicode map of a character collection ("Adobe-CNS1",
    /// "Adobe-GB1", "Adobe-Japan1", "Adobe-Korea1"; Registry-Ordering), read
    /// from its resource file once per process and shared; none for another
    /// collection or when the file is missing. Thread-safe.
    static std::shared_ptr<const QVPDFCharCodeToUnicode> collectionMap(const std::string& region);

    explicit QVPDFCharCodeToUnicode(std::string tag = "ToUnicode");

    /// Writes at most uSize units of the code's text to u; returns their number
    /// (0 when the code has no mapping).
    int mapToUnicode(uint32_t code, uint32_t* u, int uSize) const;
    /// The code's whole text; empty when unmapped.
    std::u16string textForCode(uint32_t code) const;
    bool hasMapping(uint32_t code) const;
    /// Whether the map gives the code no text on purpose (an empty
    /// destination "<>"): no other source may give it text either.
    bool mapsToNothing(uint32_t code) const;
    /// The lowest code whose text is the single unit U+0020, or 0 when none is.
    uint32_t spaceCIDCode() const;
    const std::string& tag() const { return tag_; }
    const std::vector<CodeSpaceRange>& codeSpaceRanges() const { return codeSpaceRanges_; }
    int wMode() const { return 0; }

    /// Adds the code's mapping to the UTF-16 text written as hex digits (four
    /// per unit; up to four digits make one unit). `offset` is added to the last
    /// unit (bfrange). Text that reads as 0 removes the code's mapping; no digits
    /// at all give the code no text. A later
    /// mapping of a code replaces the earlier one.
    void addMapping(uint32_t code, std::string_view hexDigits, uint32_t offset);
    /// Parses CMap text into this map; `depth` counts nested usecmap references.
    void parseCMap1(std::string_view text, int nBits, int depth = 0);

private:
    void setSingle(uint32_t code, uint32_t unit);
    void setString(uint32_t code, std::u16string text);
    void erase(uint32_t code);

    std::string tag_;
    /// Single-unit entries of codes below 0x10000 (0 = none), grown in steps of 256.
    std::vector<uint16_t> map_;
    /// Single-unit entries of larger codes.
    std::unordered_map<uint32_t, uint16_t> bigMap_;
    /// Codes that map to several units (ligatures, surrogate pairs), hashed
    /// because collection files hold thousands of them.
    std::unordered_map<uint32_t, std::u16string> sMap_;
    std::vector<CodeSpaceRange> codeSpaceRanges_;
    /// Codes mapped to the empty text.
    std::unordered_set<uint32_t> silentCodes_;
};
