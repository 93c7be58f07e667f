#include "flow/html/QVHTMLUtilities.h"

#include "pdf/font/QVPDFFontUtilities.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

const std::array<const char*, 14> kFontWeight = {"normal", "bold", "bolder", "lighter", "100",
                                                 "200",    "300",  "400",    "500",     "600",
                                                 "700",    "800",  "900",    "inherit"};
const std::array<const char*, 4> kFontStyle = {"normal", "italic", "oblique", "inherit"};
const std::array<const char*, 5> kTextDecoration = {"none", "underline", "line-through", "blink",
                                                    "inherit"};

template <size_t N> std::string keyword(const std::array<const char*, N>& table, int32_t index) {
    if (index < 0 || size_t(index) >= N)
        return table[0];
    return table[size_t(index)];
}

const char* const kDefaultFontName = "Times New Roman";

int16_t clampComponent(int16_t v) {
    return std::clamp<int16_t>(v, 0, 255);
}

} // namespace

std::string QVHTMLUtilities::cssFontWeight(int32_t index) {
    return keyword(kFontWeight, index);
}
std::string QVHTMLUtilities::cssFontStyle(int32_t index) {
    return keyword(kFontStyle, index);
}
std::string QVHTMLUtilities::cssTextDecoration(int32_t index) {
    return keyword(kTextDecoration, index);
}

QVHTML_CSS_Span QVHTMLUtilities::defaultCssSpanProperty() {
    QVHTML_CSS_Span s;
    s.font = {12.0f, kDefaultFontName, {}};
    s.color = {0, 0, 0, 1};
    return s;
}

QVHTML_CSS_Paragraph QVHTMLUtilities::defaultCssParagraphProperty() {
    QVHTML_CSS_Paragraph p;
    p.font = {12.0f, kDefaultFontName, {}};
    p.color = {0, 0, 0, 1};
    return p;
}

QVHTML_CSS_Color QVHTMLUtilities::fixedCssColor(QVHTML_CSS_Color color) {
    return {clampComponent(color.red), clampComponent(color.green), clampComponent(color.blue),
            clampComponent(color.alpha)};
}

QVHTML_CSS_Font QVHTMLUtilities::fixedCssFont(QVHTML_CSS_Font font) {
    const double size = font.fontSize;
    // A size that is not a number fails the comparison and gives 288.
    const double upper = size < 288.0 ? size : 288.0;
    font.fontSize = static_cast<float>(upper > 8.0 ? upper : 8.0);
    font.fontName = cssFontName(font.fontName);
    if (font.fontName.empty())
        font.fontName = kDefaultFontName;
    // Written unquoted: only a generic keyword may stand there.
    if (font.generic != "serif" && font.generic != "sans-serif" && font.generic != "monospace")
        font.generic.clear();
    return font;
}

std::string QVHTMLUtilities::cssFontName(std::string_view name) {
    std::u16string kept;
    for (char16_t c : QVPDFFontUtilities::utf8ToUtf16(std::string(name))) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            continue;
        switch (c) {
        case u'\'':
        case u'"':
        case u'\\':
        case u'<':
        case u'>':
        case u';':
        case u'{':
        case u'}':
            continue;
        default:
            kept.push_back(c);
        }
    }
    return platform::utf16ToUTF8(kept);
}

std::string QVHTMLUtilities::cssGenericFamily(ReaderFontKind kind) {
    switch (kind) {
    case ReaderFontKind::Serif:
        return "serif";
    case ReaderFontKind::Sans:
        return "sans-serif";
    case ReaderFontKind::Mono:
        return "monospace";
    case ReaderFontKind::Unknown:
        break;
    }
    return {};
}

const std::vector<std::string_view>& QVHTMLUtilities::cssStandIns(std::string_view family) {
    static const std::vector<std::pair<std::string_view, std::vector<std::string_view>>> kClones = {
        {"Arial", {"Nimbus Sans"}},
        {"Arial Narrow", {"Nimbus Sans Narrow"}},
        {"Times New Roman", {"Nimbus Roman"}},
        {"Courier New", {"Nimbus Mono PS"}},
        {"Palatino Linotype", {"P052"}},
        {"Century Schoolbook", {"C059"}},
        {"Bookman Old Style", {"URW Bookman"}},
        {"Century Gothic", {"URW Gothic"}},
    };
    static const std::vector<std::string_view> kNone;
    for (const auto& [name, clones] : kClones)
        if (name == family)
            return clones;
    return kNone;
}

bool QVHTMLUtilities::isCSSMargin(const QVHTML_CSS_Margin& a, const QVHTML_CSS_Margin& b) {
    return a.top == b.top && a.right == b.right && a.bottom == b.bottom && a.left == b.left;
}

bool QVHTMLUtilities::isCSSColor(const QVHTML_CSS_Color& a, const QVHTML_CSS_Color& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

bool QVHTMLUtilities::isCSSFont(const QVHTML_CSS_Font& a, const QVHTML_CSS_Font& b) {
    return a.fontSize == b.fontSize && a.fontName == b.fontName && a.generic == b.generic;
}

bool QVHTMLUtilities::isCSSParagraph(const QVHTML_CSS_Paragraph& a, const QVHTML_CSS_Paragraph& b) {
    return a.textIndent == b.textIndent && isCSSMargin(a.margin, b.margin) &&
           isCSSColor(a.color, b.color) && isCSSFont(a.font, b.font) &&
           a.keepsSpaces == b.keepsSpaces;
}

bool QVHTMLUtilities::isCSSSpan(const QVHTML_CSS_Span& a, const QVHTML_CSS_Span& b) {
    return a.textDecoration == b.textDecoration && isCSSColor(a.color, b.color) &&
           isCSSFont(a.font, b.font);
}

std::string QVHTMLUtilities::escapeHTML(std::string_view utf8) {
    std::u16string out;
    for (char16_t c : QVPDFFontUtilities::utf8ToUtf16(std::string(utf8))) {
        switch (c) {
        case u'&':
            out += u"&amp;";
            continue;
        case u'<':
            out += u"&lt;";
            continue;
        case u'>':
            out += u"&gt;";
            continue;
        case u'"':
            out += u"&quot;";
            continue;
        default:
            break;
        }
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            continue;
        out.push_back(c);
    }
    return platform::utf16ToUTF8(out);
}
