#include "flow/QVHTMLState.h"

#include "flow/QVFlowFileWriter.h"
#include "platform/NumberFormat.h"

QVHTMLState& QVHTMLState::sharedInstance() {
    static QVHTMLState state;
    return state;
}

void QVHTMLState::resetToDefault() {
    _registeredCSSParagraph.clear();
    _registeredCSSSpan.clear();
    isParagraphWrited_ = false;
    isSpanWrited_ = false;
    cssParagraphUsed_ = {};
    cssSpanUsed_ = {};
}

int64_t QVHTMLState::_indexOfCSSParagraph(const QVHTMLCSSParagraph* style) {
    if (!style)
        return -1;
    for (size_t i = 0; i < _registeredCSSParagraph.size(); ++i)
        if (_registeredCSSParagraph[i].isEqualToEntry(style))
            return int64_t(i);
    _registeredCSSParagraph.push_back(*style);
    return int64_t(_registeredCSSParagraph.size() - 1);
}

int64_t QVHTMLState::_indexOfCSSSpan(const QVHTMLCSSSpan* style) {
    if (!style)
        return -1;
    for (size_t i = 0; i < _registeredCSSSpan.size(); ++i)
        if (_registeredCSSSpan[i].isEqualToEntry(style))
            return int64_t(i);
    _registeredCSSSpan.push_back(*style);
    return int64_t(_registeredCSSSpan.size() - 1);
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

void QVHTMLState::endWriteSpanTagsIfNeed(QVFlowFileWriter& writer) { _writeCSSSpanEnd(writer); }

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
