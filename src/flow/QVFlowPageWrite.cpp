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

/// The blanks written for the gap between a paragraph joined on a line and
/// the text before it, whose last run is `previous`: one per space width of
/// the joined text's last run, at most `most` (a crafted gap cannot write
/// megabytes of blanks).
int32_t gapSpaces(const QVFlowParagraph& p, const QVFlowRunText& previous, int32_t most) {
    const QVFlowRunText* firstText = p.firstRunText();
    const QVFlowRunText* last = p.lastRunText();
    if (!firstText || !last)
        return 0;
    const double gap = firstText->ctmInfo().bottomLeft.x -
                       (previous.ctmInfo().bottomLeft.x + previous.textWidth());
    if (!(gap > 0))
        return 0;
    const float quotient = float(gap / last->spaceWidth());
    if (last->spaceWidth() > 0 && std::isfinite(quotient) && quotient < 2147483647.0f)
        return std::min<int32_t>(int32_t(std::ceil(quotient)), most);
    return 0;
}

bool holdsSpaceRun(const QVFlowParagraph& p) {
    bool afterSpace = false;
    for (const auto& run : p.runArray()) {
        const QVFlowRunText* text = run ? run->asRunText() : nullptr;
        if (!text)
            continue;
        for (char16_t c : text->runText()) {
            const bool space = c == u' ';
            if (space && afterSpace)
                return true;
            afterSpace = space;
        }
    }
    return false;
}

} // namespace

void QVFlowPage::_noteLinesHoldingSpaceRuns() {
    QVFlowParagraph* opener = nullptr;
    const QVFlowRunText* previous = nullptr;
    for (size_t i = 0; i < paragraphArray_.size(); ++i) {
        QVFlowParagraph& p = *paragraphArray_[i];
        const QVFlowRunText* last = p.lastRunText();
        const bool joins = i > 0 && onSameLine(last, previous);
        bool spaces = holdsSpaceRun(p);
        if (joins && !spaces)
            spaces = gapSpaces(p, *previous, kMaxGapSpaces) >= 2;
        if (!joins) {
            opener = &p;
            p.setLineHoldsSpaceRun(false);
        }
        if (spaces && opener)
            opener->setLineHoldsSpaceRun(true);
        if (last)
            previous = last;
    }
}

void QVFlowPage::_writeParagraphsWithTextMargin(QVFlowFileWriter& writer) {
    if (paragraphArray_.empty())
        return;
    _noteLinesHoldingSpaceRuns();
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
                const int32_t k = gapSpaces(p, *previous, kMaxGapSpaces);
                for (int32_t s = 0; s < k; ++s)
                    writer.writeContent(u" ");
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
