// The two registered style classes share their number and colour formats.
#include "flow/html/QVHTMLCSSParagraph.h"
#include "flow/html/QVHTMLCSSSpan.h"

#include "platform/NumberFormat.h"

#include <cmath>

namespace {

// A length that is not finite (from broken geometry) is written as 0.
std::string px(float v) {
    return platform::formatFixed(std::isfinite(v) ? v : 0.0f, 0) + "px";
}

std::string hexColor(const QVHTML_CSS_Color& c) {
    static const char* const digits = "0123456789abcdef";
    std::string out = "#";
    for (int16_t v : {c.red, c.green, c.blue}) {
        out.push_back(digits[(v >> 4) & 15]);
        out.push_back(digits[v & 15]);
    }
    return out;
}

std::string fontPart(const QVHTML_CSS_Font& font) {
    std::string out = " font: " + px(font.fontSize) + " '" + font.fontName + "'";
    // The fallbacks of a family named for the reader: its clones, then its kind.
    if (!font.generic.empty()) {
        for (std::string_view clone : QVHTMLUtilities::cssStandIns(font.fontName))
            out += ", '" + std::string(clone) + "'";
        out += ", " + font.generic;
    }
    return out + ";";
}

} // namespace

void QVHTMLCSSSpan::setCssSpanProperty(QVHTML_CSS_Span v) {
    v.color = QVHTMLUtilities::fixedCssColor(v.color);
    v.font = QVHTMLUtilities::fixedCssFont(std::move(v.font));
    cssSpanProperty_ = std::move(v);
}

std::string QVHTMLCSSSpan::cssStringFormat() const {
    const QVHTML_CSS_Span& s = cssSpanProperty_;
    std::string out = "{" + fontPart(s.font);
    if (s.textDecoration != 0)
        out += " text-decoration: " + QVHTMLUtilities::cssTextDecoration(s.textDecoration) + ";";
    out += " color: " + hexColor(s.color) + "}";
    return out;
}

bool QVHTMLCSSSpan::isEqualToEntry(const QVHTMLCSSSpan* other) const {
    return QVHTMLUtilities::isCSSSpan(cssSpanProperty_,
                                      other ? other->cssSpanProperty_ : QVHTML_CSS_Span{});
}

void QVHTMLCSSParagraph::setCssPProperty(QVHTML_CSS_Paragraph v) {
    v.color = QVHTMLUtilities::fixedCssColor(v.color);
    v.font = QVHTMLUtilities::fixedCssFont(std::move(v.font));
    cssPProperty_ = std::move(v);
}

std::string QVHTMLCSSParagraph::cssStringFormat() const {
    const QVHTML_CSS_Paragraph& p = cssPProperty_;
    std::string out = "{margin: " + px(p.margin.top) + " " + px(p.margin.right) + " " +
                      px(p.margin.bottom) + " " + px(p.margin.left) + ";";
    if (p.textIndent > 0)
        out += " text-indent: " + px(p.textIndent) + ";";
    out += fontPart(p.font) + " color: " + hexColor(p.color);
    if (p.keepsSpaces)
        out += "; white-space: pre-wrap";
    out += "}";
    return out;
}

bool QVHTMLCSSParagraph::isEqualToEntry(const QVHTMLCSSParagraph* other) const {
    return QVHTMLUtilities::isCSSParagraph(cssPProperty_,
                                           other ? other->cssPProperty_ : QVHTML_CSS_Paragraph{});
}
