#include "flow/html/QVHTMLState.h"

#include "flow/QVFlowFileWriter.h"
#include "platform/NumberFormat.h"

#include <cmath>
#include <optional>

namespace {

void appendBytes(std::string& key, const void* p, size_t n) {
    key.append(static_cast<const char*>(p), n);
}

void appendFloat(std::string& key, float f) {
    if (f == 0)
        f = 0; // -0 equals 0
    appendBytes(key, &f, sizeof f);
}

void appendColorAndFont(std::string& key, const QVHTML_CSS_Color& c, const QVHTML_CSS_Font& f) {
    for (int16_t v : {c.red, c.green, c.blue, c.alpha})
        appendBytes(key, &v, sizeof v);
    appendFloat(key, f.fontSize);
    key += f.fontName;
    key += '\0'; // names never hold one: the two cannot run together
    key += f.generic;
}

/// The fields isCSSSpan compares, as one key; none when one is not a number.
std::optional<std::string> spanKey(const QVHTML_CSS_Span& s) {
    if (std::isnan(s.font.fontSize))
        return std::nullopt;
    std::string key;
    appendBytes(key, &s.textDecoration, sizeof s.textDecoration);
    appendColorAndFont(key, s.color, s.font);
    return key;
}

std::optional<std::string> paragraphKey(const QVHTML_CSS_Paragraph& p) {
    std::string key;
    for (float v : {p.textIndent, p.margin.top, p.margin.right, p.margin.bottom, p.margin.left,
                    p.font.fontSize}) {
        if (std::isnan(v))
            return std::nullopt;
        appendFloat(key, v);
    }
    appendColorAndFont(key, p.color, p.font);
    key += p.keepsSpaces ? '\1' : '\0';
    return key;
}

} // namespace

QVHTMLState& QVHTMLState::sharedInstance() {
    static QVHTMLState state;
    return state;
}

void QVHTMLState::resetToDefault() {
    _registeredCSSParagraph.clear();
    _registeredCSSSpan.clear();
    paragraphIndex_.clear();
    spanIndex_.clear();
    isParagraphWrited_ = false;
    isSpanWrited_ = false;
    cssParagraphUsed_ = {};
    cssSpanUsed_ = {};
}

int64_t QVHTMLState::_indexOfCSSParagraph(const QVHTMLCSSParagraph* style) {
    if (!style)
        return -1;
    const std::optional<std::string> key = paragraphKey(style->cssPProperty());
    if (!key)
        for (size_t i = 0; i < _registeredCSSParagraph.size(); ++i)
            if (_registeredCSSParagraph[i].isEqualToEntry(style))
                return int64_t(i);
    if (key)
        if (auto it = paragraphIndex_.find(*key); it != paragraphIndex_.end())
            return it->second;
    _registeredCSSParagraph.push_back(*style);
    const int64_t index = int64_t(_registeredCSSParagraph.size() - 1);
    if (key)
        paragraphIndex_.emplace(*key, index);
    return index;
}

int64_t QVHTMLState::_indexOfCSSSpan(const QVHTMLCSSSpan* style) {
    if (!style)
        return -1;
    const std::optional<std::string> key = spanKey(style->cssSpanProperty());
    if (!key)
        for (size_t i = 0; i < _registeredCSSSpan.size(); ++i)
            if (_registeredCSSSpan[i].isEqualToEntry(style))
                return int64_t(i);
    if (key)
        if (auto it = spanIndex_.find(*key); it != spanIndex_.end())
            return it->second;
    _registeredCSSSpan.push_back(*style);
    const int64_t index = int64_t(_registeredCSSSpan.size() - 1);
    if (key)
        spanIndex_.emplace(*key, index);
    return index;
}

void QVHTMLState::_writeCSSSpanEnd(QVFlowFileWriter& writer) {
    if (!isSpanWrited_)
        return;
    if (cssSpanUsed_.fontStyle != 0)
        writer.write("</i>");
    if (cssSpanUsed_.fontWeight != 0)
        writer.write("</b>");
    writer.write("</span>");
    isSpanWrited_ = false;
}

void QVHTMLState::endWriteSpanTagsIfNeed(QVFlowFileWriter& writer) {
    _writeCSSSpanEnd(writer);
}

void QVHTMLState::endWriteParagraphTagsIfNeed(QVFlowFileWriter& writer) {
    _writeCSSSpanEnd(writer);
    writeCSSParagraphEnd(writer);
}

void QVHTMLState::writeCSSParagraphBegain(const QVHTMLCSSParagraph& style,
                                          QVFlowFileWriter& writer) {
    endWriteParagraphTagsIfNeed(writer);
    const int64_t index = _indexOfCSSParagraph(&style);
    writer.write("\n<p class=\"p" + platform::formatInteger(index) + "\">");
    isParagraphWrited_ = true;
    cssParagraphUsed_ = style.cssPProperty();
}

void QVHTMLState::writeCSSParagraphEnd(QVFlowFileWriter& writer) {
    if (!isParagraphWrited_)
        return;
    writer.write("</p>");
    isParagraphWrited_ = false;
}

void QVHTMLState::writeCSSCSSSpanBegain(const QVHTMLCSSSpan& style, QVFlowFileWriter& writer) {
    const QVHTML_CSS_Span& next = style.cssSpanProperty();
    if (isSpanWrited_ && QVHTMLUtilities::isCSSSpan(cssSpanUsed_, next)) {
        if (cssSpanUsed_.fontWeight == next.fontWeight) {
            if (cssSpanUsed_.fontStyle != next.fontStyle) {
                if (cssSpanUsed_.fontStyle != 0)
                    writer.write("</i>");
                if (next.fontStyle != 0)
                    writer.write("<i>");
            }
        } else {
            // Bold stays outside italic: close both, reopen what the new run needs.
            if (cssSpanUsed_.fontStyle != 0)
                writer.write("</i>");
            if (cssSpanUsed_.fontWeight != 0)
                writer.write("</b>");
            if (next.fontWeight != 0)
                writer.write("<b>");
            if (next.fontStyle != 0)
                writer.write("<i>");
        }
        cssSpanUsed_ = next;
        return;
    }
    _writeCSSSpanEnd(writer);
    const int64_t index = _indexOfCSSSpan(&style);
    writer.write("<span class=\"s" + platform::formatInteger(index) + "\">");
    if (next.fontWeight != 0)
        writer.write("<b>");
    if (next.fontStyle != 0)
        writer.write("<i>");
    isSpanWrited_ = true;
    cssSpanUsed_ = next;
}

void QVHTMLState::writeRegistedCSSParagraph(QVFlowFileWriter& writer) const {
    for (size_t i = 0; i < _registeredCSSParagraph.size(); ++i)
        writer.write("    p.p" + platform::formatInteger(int64_t(i)) + " " +
                     _registeredCSSParagraph[i].cssStringFormat() + "\n");
}

void QVHTMLState::writeRegistedCSSSpan(QVFlowFileWriter& writer) const {
    for (size_t i = 0; i < _registeredCSSSpan.size(); ++i)
        writer.write("    span.s" + platform::formatInteger(int64_t(i)) + " " +
                     _registeredCSSSpan[i].cssStringFormat() + "\n");
}
