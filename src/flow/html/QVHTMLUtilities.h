#pragma once
// Style records of the HTML output and their keyword tables, defaults,
// limits and comparisons. Sizes and margins are CSS pixels.

#include "pdf/font/ReaderFontNames.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct QVHTML_CSS_Font {
    float fontSize = 0;
    std::string fontName; ///< a CSS-safe family name once stored in a style object
    /// The generic family written after it for a browser without it
    /// ("serif", "sans-serif", "monospace"); none when empty.
    std::string generic;
};

struct QVHTML_CSS_Color {
    int16_t red = 0;
    int16_t green = 0;
    int16_t blue = 0;
    int16_t alpha = 0; ///< compared, never written
};

struct QVHTML_CSS_Margin {
    float top = 0;
    float right = 0;
    float bottom = 0;
    float left = 0;
};

struct QVHTML_CSS_Span {
    int32_t textDecoration = 0; ///< index into the text-decoration keywords
    int32_t fontWeight = 0;     ///< 0 normal, 1 bold
    int32_t fontStyle = 0;      ///< 0 normal, 1 italic
    QVHTML_CSS_Font font;
    QVHTML_CSS_Color color;
};

struct QVHTML_CSS_Paragraph {
    float textIndent = 0;
    QVHTML_CSS_Margin margin;
    QVHTML_CSS_Font font;
    QVHTML_CSS_Color color;
    /// The paragraph's text holds runs of spaces that align its parts (a
    /// fixed-pitch transcript): written with "white-space: pre-wrap", which
    /// keeps them where HTML would fold them into one.
    bool keepsSpaces = false;
};

class QVHTMLUtilities {
public:
    QVHTMLUtilities() = delete;

    /// Keywords by index; an index outside its table gives the table's first.
    static std::string cssFontWeight(int32_t index);
    static std::string cssFontStyle(int32_t index);
    static std::string cssTextDecoration(int32_t index);

    /// 12 px Times New Roman, black (alpha 1), no indent, no margins.
    static QVHTML_CSS_Paragraph defaultCssParagraphProperty();
    static QVHTML_CSS_Span defaultCssSpanProperty();

    /// Each component limited to 0..255.
    static QVHTML_CSS_Color fixedCssColor(QVHTML_CSS_Color color);
    /// Size limited to 8..288 (not a number gives 288); the name made safe
    /// for a quoted CSS string (cssFontName), and Times New Roman when that
    /// leaves nothing; a generic family other than the three keywords dropped.
    static QVHTML_CSS_Font fixedCssFont(QVHTML_CSS_Font font);
    /// A font name from a PDF as a CSS family name inside single quotes: the
    /// bytes read as UTF-8 (bad sequences become U+FFFD); quotes, backslash,
    /// `<`, `>`, `;`, braces and control characters dropped. Nothing in it
    /// can end the string, the rule or the style element.
    static std::string cssFontName(std::string_view name);
    /// The generic family of a kind of font; empty for an unknown kind.
    static std::string cssGenericFamily(ReaderFontKind kind);
    /// The metric-compatible clones of a core family that Linux systems
    /// carry under their own names (Nimbus Roman for Times New Roman, ...):
    /// Chromium takes no clone of another name for the family asked for, and
    /// would set the text in the generic family instead. Empty for others.
    static const std::vector<std::string_view>& cssStandIns(std::string_view family);

    static bool isCSSMargin(const QVHTML_CSS_Margin& a, const QVHTML_CSS_Margin& b);
    static bool isCSSColor(const QVHTML_CSS_Color& a, const QVHTML_CSS_Color& b);
    static bool isCSSFont(const QVHTML_CSS_Font& a, const QVHTML_CSS_Font& b);
    static bool isCSSParagraph(const QVHTML_CSS_Paragraph& a, const QVHTML_CSS_Paragraph& b);
    /// Weight and style are not compared: they are tags inside the span.
    static bool isCSSSpan(const QVHTML_CSS_Span& a, const QVHTML_CSS_Span& b);

    /// Text for HTML character data or a double-quoted attribute value.
    static std::string escapeHTML(std::string_view utf8);
};
