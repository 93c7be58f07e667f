#pragma once
// The advance widths of one standard font by glyph name, and the glyph-name
// <-> Unicode rules of the Adobe Glyph List that the simple fonts use.

#include "pdf/font/QVPDFFontData.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class BuiltinFontWidths {
public:
    BuiltinFontWidths(const fontdata::GlyphWidth* rows, size_t count);

    /// Width in glyph units of the glyph named for the Unicode value, when it has a row.
    std::optional<uint16_t> getCharacter(uint16_t unicode) const;
    /// Width in glyph units of the named glyph, when it has a row.
    std::optional<uint16_t> getString(std::string_view glyphName) const;
    std::optional<uint16_t> widthOfSpace() const { return getString("space"); }
    size_t widthsCount() const { return widthsCount_; }

    /// The single UTF-16 unit a glyph name stands for; 0 when it stands for
    /// none or for more than one unit.
    static uint16_t nameToUnicodeID(std::string_view glyphName);
    /// The glyph name of a Unicode value: the list's preferred name, else "uniXXXX".
    static std::string unicodeIDToName(uint32_t unicode);
    /// The text of a glyph name by the Adobe Glyph List rules: the part before
    /// the first "." counts; "_" joins ligature components; each component is a
    /// listed name, "uni" with groups of four hex digits, or "u" with four to six
    /// hex digits; anything else adds nothing (synthetic names such as g7,
    /// glyph12 or cid00123 give no text). `dingbats` admits the ZapfDingbats
    /// names (a1 ... a191).
    static std::u16string unicodeForGlyphName(std::string_view glyphName, bool dingbats = false);

private:
    const fontdata::GlyphWidth* widthsTab_;
    size_t widthsCount_;
    // The widths of U+0000-U+00FF, looked up once (kNoWidth: no row): text
    // is measured character by character, and going through the glyph name
    // takes two searches and a string.
    static constexpr int32_t kNoWidth = -1;
    static constexpr size_t kLatin1Count = 256;
    std::array<int32_t, kLatin1Count> latin1Widths_{};
};
