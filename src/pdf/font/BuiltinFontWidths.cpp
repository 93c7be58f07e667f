#include "pdf/font/BuiltinFontWidths.h"

#include <algorithm>
#include <cstring>

namespace {

template <class Row> const Row* findByName(const Row* rows, size_t count, std::string_view name) {
    const Row* end = rows + count;
    const Row* it = std::lower_bound(rows, end, name, [](const Row& row, std::string_view n) {
        return std::string_view(row.name) < n;
    });
    return it != end && std::string_view(it->name) == name ? it : nullptr;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<uint32_t> readHex(std::string_view digits) {
    uint32_t v = 0;
    for (char c : digits) {
        int h = hexValue(c);
        if (h < 0)
            return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(h);
    }
    return v;
}

bool isSurrogate(uint32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void appendCodePoint(std::u16string& out, uint32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

std::u16string componentText(std::string_view name, bool dingbats) {
    if (name.empty())
        return {};
    if (dingbats)
        if (auto* row =
                findByName(fontdata::kDingbatsGlyphList, fontdata::kDingbatsGlyphListCount, name))
            return row->text;
    if (auto* row = findByName(fontdata::kGlyphList, fontdata::kGlyphListCount, name))
        return row->text;
    if (name.size() > 3 && name.substr(0, 3) == "uni" && (name.size() - 3) % 4 == 0) {
        std::u16string out;
        for (size_t i = 3; i < name.size(); i += 4) {
            auto v = readHex(name.substr(i, 4));
            if (!v || isSurrogate(*v))
                return {};
            out += static_cast<char16_t>(*v);
        }
        return out;
    }
    if (name.size() >= 5 && name.size() <= 7 && name[0] == 'u') {
        auto v = readHex(name.substr(1));
        if (!v || isSurrogate(*v) || *v > 0x10FFFF)
            return {};
        std::u16string out;
        appendCodePoint(out, *v);
        return out;
    }
    return {};
}

} // namespace

std::optional<uint16_t> BuiltinFontWidths::getString(std::string_view glyphName) const {
    if (auto* row = findByName(widthsTab_, widthsCount_, glyphName))
        return row->width;
    return std::nullopt;
}

BuiltinFontWidths::BuiltinFontWidths(const fontdata::GlyphWidth* rows, size_t count)
    : widthsTab_(rows), widthsCount_(count) {
    for (size_t u = 0; u < kLatin1Count; ++u) {
        const std::optional<uint16_t> w = getString(unicodeIDToName(static_cast<uint32_t>(u)));
        latin1Widths_[u] = w ? int32_t(*w) : kNoWidth;
    }
}

std::optional<uint16_t> BuiltinFontWidths::getCharacter(uint16_t unicode) const {
    if (unicode < kLatin1Count) {
        const int32_t w = latin1Widths_[unicode];
        if (w == kNoWidth)
            return std::nullopt;
        return static_cast<uint16_t>(w);
    }
    return getString(unicodeIDToName(unicode));
}

uint16_t BuiltinFontWidths::nameToUnicodeID(std::string_view glyphName) {
    std::u16string text = unicodeForGlyphName(glyphName);
    return text.size() == 1 ? static_cast<uint16_t>(text[0]) : 0;
}

std::string BuiltinFontWidths::unicodeIDToName(uint32_t unicode) {
    const auto* rows = fontdata::kUnicodeGlyphs;
    const auto* end = rows + fontdata::kUnicodeGlyphsCount;
    const auto* it =
        std::lower_bound(rows, end, unicode, [](const fontdata::UnicodeGlyph& row, uint32_t u) {
            return row.unicode < u;
        });
    if (it != end && it->unicode == unicode)
        return it->name;
    // "uni%04x" for the BMP; "u" and five or six digits beyond it.
    static const char lower[] = "0123456789abcdef";
    static const char upper[] = "0123456789ABCDEF";
    bool bmp = unicode <= 0xFFFF;
    std::string name = bmp ? "uni" : "u";
    int width = bmp ? 4 : unicode > 0xFFFFF ? 6 : 5;
    const char* digits = bmp ? lower : upper;
    std::string hex(static_cast<size_t>(width), '0');
    uint32_t v = unicode;
    for (size_t i = hex.size(); i-- > 0; v >>= 4)
        hex[i] = digits[v & 0xF];
    return name + hex;
}

std::u16string BuiltinFontWidths::unicodeForGlyphName(std::string_view glyphName, bool dingbats) {
    std::string_view base = glyphName.substr(0, glyphName.find('.'));
    std::u16string out;
    size_t start = 0;
    while (start <= base.size()) {
        size_t end = base.find('_', start);
        if (end == std::string_view::npos)
            end = base.size();
        out += componentText(base.substr(start, end - start), dingbats);
        start = end + 1;
    }
    return out;
}
