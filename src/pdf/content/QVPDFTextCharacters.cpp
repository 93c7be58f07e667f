#include "pdf/content/QVPDFTextCharacters.h"

#include "pdf/font/BuiltinFontWidths.h"
#include "pdf/font/QVPDFFontData.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

size_t QVPDF_UTF8FromCodePoint(uint32_t cp, char* buffer, size_t size) {
    size_t n = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : cp < 0x110000 ? 4 : 0;
    if (n == 0 || size < n)
        return 0;
    auto byte = [](uint32_t v) { return static_cast<char>(static_cast<unsigned char>(v)); };
    switch (n) {
    case 1:
        buffer[0] = byte(cp);
        break;
    case 2:
        buffer[0] = byte(0xC0 | (cp >> 6));
        buffer[1] = byte(0x80 | (cp & 0x3F));
        break;
    case 3:
        buffer[0] = byte(0xE0 | (cp >> 12));
        buffer[1] = byte(0x80 | ((cp >> 6) & 0x3F));
        buffer[2] = byte(0x80 | (cp & 0x3F));
        break;
    default:
        buffer[0] = byte(0xF0 | (cp >> 18));
        buffer[1] = byte(0x80 | ((cp >> 12) & 0x3F));
        buffer[2] = byte(0x80 | ((cp >> 6) & 0x3F));
        buffer[3] = byte(0x80 | (cp & 0x3F));
        break;
    }
    return n;
}

bool QVPDF_IsWhitespaceCharacter(char16_t c) {
    switch (c) {
    case 0x0009:
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0020:
    case 0x0085:
    case 0x00A0:
    case 0x1680:
    case 0x180E:
    case 0x2000:
    case 0x2001:
    case 0x2002:
    case 0x2003:
    case 0x2004:
    case 0x2009:
    case 0x200A:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return false;
    }
}

void QVPDF_FixUnicodeSequence(uint32_t* u, int* count) {
    if (*count == 3 && u[0] == 0x2D && u[1] == 0xAD && u[2] == 0x2010) {
        u[0] = 0x2010;
        *count = 1;
    } else if (*count == 4 && u[0] == 0x09 && u[1] == 0x0D && u[2] == 0x20 && u[3] == 0xA0) {
        u[0] = 0x20;
        *count = 1;
    }
}

std::u16string QVPDF_ExpandLigatures(const std::u16string& text) {
    static constexpr const char16_t* kLetters[] = {u"ff",  u"fi", u"fl", u"ffi",
                                                   u"ffl", u"st", u"st"};
    auto isLigature = [](char16_t c) { return c >= 0xFB00 && c <= 0xFB06; };
    bool any = false;
    for (char16_t c : text)
        any = any || isLigature(c);
    if (!any)
        return text;
    std::u16string out;
    out.reserve(text.size() + 4);
    for (char16_t c : text) {
        if (isLigature(c))
            out += kLetters[c - 0xFB00];
        else
            out += c;
    }
    return out;
}

namespace {

bool startsWithName(const std::string& name, std::string_view stem) {
    if (name.size() < stem.size())
        return false;
    for (size_t i = 0; i < stem.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != stem[i])
            return false;
    return true;
}

// What may follow a family's name in a font name of the same glyphs: the
// end, a style ("-Regular", ",Bold") or Monotype's "MT".
bool endsFamilyName(const std::string& name, size_t at) {
    if (at == name.size() || name[at] == '-' || name[at] == ',')
        return true;
    return name.compare(at, std::string::npos, "MT") == 0;
}

// Wingdings codes and the Unicode signs that show the same picture; the
// codes left out (the candle, the floppies, the leaves ...) have no sign of
// their own and keep their private-use character. Sorted by code.
struct SymbolSign {
    uint8_t code;
    char16_t sign;
};
constexpr SymbolSign kWingdingsSigns[] = {
    {0x20, 0x0020}, {0x21, 0x270F}, {0x22, 0x2702}, {0x23, 0x2701}, {0x28, 0x260E},
    {0x29, 0x2706}, {0x2A, 0x2709}, {0x36, 0x231B}, {0x37, 0x2328}, {0x3E, 0x2707},
    {0x3F, 0x270D}, {0x41, 0x270C}, {0x45, 0x261C}, {0x46, 0x261E}, {0x47, 0x261D},
    {0x48, 0x261F}, {0x49, 0x270B}, {0x4A, 0x263A}, {0x4C, 0x2639}, {0x4E, 0x2620},
    {0x4F, 0x2690}, {0x51, 0x2708}, {0x52, 0x263C}, {0x54, 0x2744}, {0x56, 0x271E},
    {0x58, 0x2720}, {0x59, 0x2721}, {0x5A, 0x262A}, {0x5B, 0x262F}, {0x5D, 0x2638},
    {0x5E, 0x2648}, {0x5F, 0x2649}, {0x60, 0x264A}, {0x61, 0x264B}, {0x62, 0x264C},
    {0x63, 0x264D}, {0x64, 0x264E}, {0x65, 0x264F}, {0x66, 0x2650}, {0x67, 0x2651},
    {0x68, 0x2652}, {0x69, 0x2653}, {0x6A, 0x0026}, {0x6B, 0x0026}, {0x6C, 0x25CF},
    {0x6D, 0x274D}, {0x6E, 0x25A0}, {0x6F, 0x25A1}, {0x71, 0x2751}, {0x72, 0x2752},
    {0x73, 0x2B27}, {0x74, 0x29EB}, {0x75, 0x25C6}, {0x76, 0x2756}, {0x77, 0x2B25},
    {0x78, 0x2327}, {0x79, 0x2353}, {0x7A, 0x2318}, {0x7B, 0x2740}, {0x7C, 0x273F},
    {0x7D, 0x275D}, {0x7E, 0x275E}, {0x7F, 0x25AF}, {0x80, 0x24EA}, {0x81, 0x2460},
    {0x82, 0x2461}, {0x83, 0x2462}, {0x84, 0x2463}, {0x85, 0x2464}, {0x86, 0x2465},
    {0x87, 0x2466}, {0x88, 0x2467}, {0x89, 0x2468}, {0x8A, 0x2469}, {0x8B, 0x24FF},
    {0x8C, 0x2776}, {0x8D, 0x2777}, {0x8E, 0x2778}, {0x8F, 0x2779}, {0x90, 0x277A},
    {0x91, 0x277B}, {0x92, 0x277C}, {0x93, 0x277D}, {0x94, 0x277E}, {0x95, 0x277F},
    {0x9E, 0x00B7}, {0x9F, 0x2022}, {0xA0, 0x25AA}, {0xA1, 0x25CB}, {0xA2, 0x2B55},
    {0xA4, 0x25C9}, {0xA5, 0x25CE}, {0xA7, 0x25AA}, {0xA8, 0x25FB}, {0xAA, 0x2726},
    {0xAB, 0x2605}, {0xAC, 0x2736}, {0xAD, 0x2734}, {0xAE, 0x2739}, {0xAF, 0x2735},
    {0xB1, 0x2316}, {0xB2, 0x27E1}, {0xB3, 0x2311}, {0xB5, 0x272A}, {0xB6, 0x2730},
    {0xD5, 0x232B}, {0xD6, 0x2326}, {0xD8, 0x27A2}, {0xDC, 0x27B2}, {0xE8, 0x2794},
    {0xEF, 0x21E6}, {0xF0, 0x21E8}, {0xF1, 0x21E7}, {0xF2, 0x21E9}, {0xF3, 0x2B04},
    {0xF4, 0x21F3}, {0xF5, 0x2B00}, {0xF6, 0x2B01}, {0xF7, 0x2B03}, {0xF8, 0x2B02},
    {0xF9, 0x25AD}, {0xFA, 0x25AB}, {0xFB, 0x2717}, {0xFC, 0x2713}, {0xFD, 0x2612},
    {0xFE, 0x2611},
};

} // namespace

QVPDF_SymbolSet QVPDF_SymbolSetOfFont(const std::optional<std::string>& fontName) {
    if (!fontName)
        return QVPDF_SymbolSet::None;
    const std::string& name = *fontName;
    if (startsWithName(name, "wingdings") && endsFamilyName(name, 9))
        return QVPDF_SymbolSet::Wingdings;
    if (startsWithName(name, "symbol") && endsFamilyName(name, 6))
        return QVPDF_SymbolSet::Symbol;
    return QVPDF_SymbolSet::None;
}

void QVPDF_MapSymbolPrivateUse(QVPDF_SymbolSet set, uint32_t* units, int count) {
    if (set == QVPDF_SymbolSet::None || count != 1 || units[0] < 0xF020 || units[0] > 0xF0FF)
        return;
    const auto code = static_cast<uint8_t>(units[0] - 0xF000);
    if (set == QVPDF_SymbolSet::Wingdings) {
        const auto* end = std::end(kWingdingsSigns);
        const auto* it = std::lower_bound(std::begin(kWingdingsSigns), end, code,
                                          [](const SymbolSign& s, uint8_t c) { return s.code < c; });
        if (it != end && it->code == code)
            units[0] = it->sign;
        return;
    }
    const char* glyph = fontdata::kSymbolEncoding[code];
    if (!glyph)
        return;
    const std::u16string sign = BuiltinFontWidths::unicodeForGlyphName(glyph);
    // The Symbol glyphs whose names give one character (all but the few
    // pieces of large brackets and radicals Adobe gave private-use values).
    if (sign.size() == 1 && (sign[0] < 0xE000 || sign[0] > 0xF8FF))
        units[0] = sign[0];
}
