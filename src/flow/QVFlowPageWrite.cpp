// Writing a page's paragraphs: which paragraphs open a new output line and
// which join the line before, and how many blank ones are kept.
#include "flow/QVFlowFileWriter.h"
#include "flow/html/QVHTMLPage.h"
#include "flow/html/QVHTMLState.h"
#include "flow/rtf/QVRTFPage.h"
#include "flow/text/QVTextPage.h"

#include <cmath>

namespace {

/// Paragraphs whose last runs' bottoms lie within 2 pt continue one line.
bool onSameLine(const QVFlowRunText* last, const QVFlowRunText* previous) {
    return last && previous &&
           std::fabs(last->ctmInfo().bottomLeft.y - previous->ctmInfo().bottomLeft.y) <= 2.0;
}

} // namespace

void QVFlowPage::_writeParagraphsWithTextMargin(QVFlowFileWriter& writer) {
    if (paragraphArray_.empty())
        return;
    int64_t emptyLines = 0;
    QVFlowParagraph& first = *paragraphArray_.front();
    first.setTextMargin(textMargin_);
    first.writeNewLineWithXMLWriter(writer);
    first.writeWithXMLWriter(writer);
    const QVFlowRunText* previous = first.lastRunText();

    for (size_t i = 1; i < paragraphArray_.size(); ++i) {
        QVFlowParagraph& p = *paragraphArray_[i];
        if (!p.haveText()) {
            if (++emptyLines > 2)
                continue;
        } else {
            emptyLines = 0;
        }
        p.setTextMargin(textMargin_);
        const QVFlowRunText* last = p.lastRunText();
        if (!onSameLine(last, previous)) {
            ++emptyLines;
            p.writeNewLineWithXMLWriter(writer);
        } else {
            emptyLines = 0;
            const QVFlowRunText* firstText = p.firstRunText();
            const double gap = firstText->ctmInfo().bottomLeft.x -
                               (previous->ctmInfo().bottomLeft.x + previous->textWidth());
            if (gap > 0) {
                // One blank per space width of the joined text, at most 64:
                // a crafted gap cannot write megabytes of blanks.
                const float quotient = float(gap / last->spaceWidth());
                if (last->spaceWidth() > 0 && std::isfinite(quotient) && quotient < 2147483647.0f) {
                    const int32_t k =
                        std::min<int32_t>(int32_t(std::ceil(quotient)), kMaxGapSpaces);
                    for (int32_t s = 0; s < k; ++s)
                        writer.writeContent(u" ");
                }
            } else {
                writer.writeIndentation();
            }
        }
        if (last)
            previous = last;
        p.writeWithXMLWriter(writer);
    }
}

void QVHTMLPage::_writeParagraphs(QVFlowFileWriter& writer) {
    if (paragraphArray().empty())
        return;
    _writeParagraphsWithTextMargin(writer);
    QVHTMLState::sharedInstance().endWriteParagraphTagsIfNeed(writer);
}

void QVRTFPage::_writeParagraphs(QVFlowFileWriter& writer) {
    _writeParagraphsWithTextMargin(writer);
}

void QVTextPage::_writeParagraphs(QVFlowFileWriter& writer) {
    ParagraphArray& paragraphs = paragraphArray();
    if (paragraphs.empty())
        return;
    writer.writeLinebreak();
    paragraphs.front()->writeWithXMLWriter(writer);
    const QVFlowRunText* previous = paragraphs.front()->lastRunText();
    for (size_t i = 1; i < paragraphs.size(); ++i) {
        QVFlowParagraph& p = *paragraphs[i];
        const QVFlowRunText* last = p.lastRunText();
        if (onSameLine(last, previous))
            writer.writeIndentation();
        else
            writer.writeLinebreak();
        if (last)
            previous = last;
        p.writeWithXMLWriter(writer);
    }
}
