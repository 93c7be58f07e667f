// The floating text of QVDocxPDFExporter: text at 90 or 270 degrees gathers
// into text boxes, slanted or mirrored text into text paths. At most one of
// the two is open at a time; whatever ends one hands its string back to the
// main-text capture, which may open the next.
#include "docx/QVDocxPDFExporter.h"

#include "docx/QVDocxDrawCounters.h"
#include "docx/QVDocxPage.h"
#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxRunTextBox.h"
#include "pdf/content/QVPDFTextCharacters.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/font/QVPDFFont.h"

#include <algorithm>
#include <cmath>

namespace {

// Vertical text lies within this of 90 or 270 degrees (open bounds).
constexpr float kVerticalTolerance = 5.0f;
// A text box's next line farther across than this is another block (points).
constexpr double kTextBoxLineGap = 96.0;
// The frame of a closed text box reaches this far past its text (points).
constexpr double kTextBoxPadding = 36.0;
// The space estimate of a gap is at least this share of the font height: a
// font reporting a tiny space width would otherwise ask for thousands.
constexpr double kMinimumSpaceShare = 0.2;
// No gap gets more spaces than this.
constexpr size_t kMaximumSpaces = 200;
// A line of a box may start this much before the box's first line (points).
constexpr double kIndentSlack = 1.0;

float snappedRotation(float r) {
    if (r < QVDocxPDFExporter::kHorizontalTolerance ||
        r > 360.0f - QVDocxPDFExporter::kHorizontalTolerance)
        return 0;
    if (r > 90.0f - kVerticalTolerance && r < 90.0f + kVerticalTolerance)
        return 90;
    if (r > 270.0f - kVerticalTolerance && r < 270.0f + kVerticalTolerance)
        return 270;
    return r;
}

bool isDroppedUnit(const std::u16string& text) {
    return text.size() == 1 && (text[0] <= 0x20);
}

double fontAscentOf(const QVPDFRenderState& s) {
    return s.font() ? s.font()->ascent() : 0;
}
double fontDescentOf(const QVPDFRenderState& s) {
    return s.font() ? s.font()->descent() : 0;
}

// The display point of a text-space point (0, k em) at the current text
// position: k = ascent gives the top of the text's start, the middle of
// ascent and descent its centre line.
platform::Point emPoint(const QVPDFRenderState& s, const platform::AffineTransform& t, double k) {
    return t.apply({0, k * s.fontSize()});
}

QVDocx_PPr boxParagraphProperty(double line, double left) {
    QVDocx_PPr p;
    p.spacing.before = 0;
    p.spacing.after = 0;
    p.spacing.line = static_cast<float>(line);
    p.spacing.lineRule = "exact";
    p.ind.firstLine = 0;
    p.ind.left = static_cast<float>(left);
    p.jc = "left";
    p.widowControl = 0;
    return p;
}

} // namespace

QVPDF_CTMInfo QVDocxPDFExporter::currentCTMInfo() const {
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    return QVPDF_CTMInfoMake(s->fontSize(), fontAscentOf(*s), fontDescentOf(*s),
                             currentDisplayTextTransform());
}

void QVDocxPDFExporter::advancePrediction(platform::Size textOffset) {
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    nextCharTransform_ = nextDisplayTextTransform(textOffset);
    nextCharFontSize_ = s->fontSize();
    nextCharCTMInfo_ = QVPDF_CTMInfoMake(nextCharFontSize_, fontAscentOf(*s), fontDescentOf(*s),
                                         nextCharTransform_);
}

void QVDocxPDFExporter::handBackToMainText(const std::u16string& text, platform::Size textOffset) {
    nextCharFontSize_ = mainTextFontSize_;
    nextCharTransform_ = mainTextTransform_;
    nextCharCTMInfo_ = mainTextCTMInfo_;
    usingDocxMainText(text, textOffset);
}

size_t QVDocxPDFExporter::gapSpaces(double gap, double spaceWidth, double fontHeight) {
    const double s = std::max(spaceWidth, kMinimumSpaceShare * std::fabs(fontHeight));
    if (!(s > 0) || !(gap >= s))
        return 0;
    const double q = std::floor(static_cast<float>(gap / s));
    if (!std::isfinite(q))
        return 0;
    return static_cast<size_t>(std::min<double>(q, kMaximumSpaces));
}

// ---------------------------------------------------------------------------
// Text boxes

void QVDocxPDFExporter::newDocxTextBox(const std::u16string& text, platform::Size textOffset) {
    if (isDroppedUnit(text))
        return;
    QVDocxPage* page = pdfConverter_->currentPage();
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    const QVPDF_CTMInfo g = currentCTMInfo();
    if (!isPlausible(g, 0))
        return;
    QVDocxTextBoxInfo info;
    // The anchor is the top of the first line at its start: the box's
    // right edge at 90 degrees, its left edge at 270.
    const platform::Point anchor = emPoint(*s, currentDisplayTextTransform(), fontAscentOf(*s));
    info.displayX = anchor.x;
    info.displayY = anchor.y;
    info.displayWidth = std::fabs(page->sectProperty().pgSz.w - info.displayX - 10.0);
    info.displayHeight = std::fabs(page->sectProperty().pgSz.h - info.displayY - 10.0);
    info.strokeweight = 1.0;
    info.strokeDashPattern = s->lineDashPattern();
    info.strokeDashPhase = s->lineDashPhase();
    info.strokecolor = s->currentStrokeRGBColor();
    info.fillcolor = s->currentFillRGBColor();
    info.rotation = snappedRotation(g.rotation);
    page->setIsUsingTextBox(true);
    page->cachedTextBoxInfo() = info;
    page->cachedTextBoxParagraphs().clear();
    page->newTextBoxParagraph().setPProperty(boxParagraphProperty(g.fontSize.height, 0));
    appendDocxTextBox(text, textOffset);
}

void QVDocxPDFExporter::usingDocxTextBox(const std::u16string& text, platform::Size textOffset) {
    QVDocxPage* page = pdfConverter_->currentPage();
    const QVDocxTextBoxInfo& box = page->cachedTextBoxInfo();
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    const QVPDF_CTMInfo g = currentCTMInfo();
    const QVPDF_CTMInfo& p = nextCharCTMInfo_;
    const double r = g.flip ? -1.0 : static_cast<double>(snappedRotation(g.rotation));
    if (r != box.rotation) {
        endTextBoxWritingIfNeed();
        if (r == 90 || r == 270)
            newDocxTextBox(text, textOffset);
        else
            handBackToMainText(text, textOffset);
        return;
    }
    const double space =
        convertToDisplaySpaceWidth(s->font() ? s->font()->widthOfSpace() * s->fontSize() : 0)
            .height;
    // Along the line and across it, toward the next line: at 90 degrees the
    // glyphs' tops face right, so lines follow each other to the left; at
    // 270 degrees to the right.
    const bool down = box.rotation == 90;
    const double along = down ? g.bottomLeft.y - p.bottomLeft.y : p.bottomLeft.y - g.bottomLeft.y;
    const double across = down ? p.bottomLeft.x - g.bottomLeft.x : g.bottomLeft.x - p.bottomLeft.x;
    // A line's indent is measured along the lines, from the box's anchor.
    const platform::Point start = emPoint(*s, currentDisplayTextTransform(), fontAscentOf(*s));
    const double indent = down ? start.y - box.displayY : box.displayY - start.y;
    const double h = g.fontSize.height;

    enum { End, SameLine, NewParagraph } outcome = End;
    if (across >= h)
        outcome = indent < -kIndentSlack || across >= kTextBoxLineGap ? End : NewParagraph;
    else if (across > -h)
        outcome = along > -space ? SameLine : End;
    if (outcome == End) {
        endTextBoxWritingIfNeed();
        handBackToMainText(text, textOffset);
        return;
    }
    if (outcome == NewParagraph) {
        // The lines keep the spacing and indent they were given: without
        // glyph geometry, resolving would squeeze them to the font size.
        QVDocxParagraph* last = page->lastTextBoxParagraph();
        const QVDocx_PPr kept = last ? last->pProperty() : QVDocx_PPr{};
        page->newTextBoxParagraph();
        if (last)
            last->setPProperty(kept);
        page->lastTextBoxParagraph()->setPProperty(
            boxParagraphProperty(across, std::max(indent, 0.0)));
        appendDocxTextBox(text, textOffset);
        return;
    }
    const size_t n = gapSpaces(along, space, h);
    appendDocxTextBox(n ? std::u16string(n, u' ') + text : text, textOffset);
    // Spaces for a gap do not count in the width the text advanced.
}

void QVDocxPDFExporter::appendDocxTextBox(const std::u16string& text, platform::Size textOffset) {
    QVDocxPage* page = pdfConverter_->currentPage();
    QVDocxParagraph* last = page->lastTextBoxParagraph();
    if (!last)
        return;
    const QVPDF_CTMInfo g = currentCTMInfo();
    const QVDocx_RPr rPr = currentRProperty();
    QVDocxRunText* run = last->lastRunText();
    if (run && QVDocx_RPrIsEqual(run->rProperty(), rPr)) {
        run->runText() += QVPDF_ExpandLigatures(text);
    } else {
        auto made = std::make_shared<QVDocxRunText>();
        made->setDrawIndex(QVDocx_NextDrawIndex++);
        made->setRProperty(rPr);
        made->setRunText(QVPDF_ExpandLigatures(text));
        run = made.get();
        last->runArray().push_back(std::move(made));
    }
    advancePrediction(textOffset);
    const double advanced = std::fabs(nextCharCTMInfo_.topLeft.y - g.topLeft.y);
    if (std::isfinite(advanced))
        run->setTextWidth(run->textWidth() + advanced);
}

void QVDocxPDFExporter::endTextBoxWritingIfNeed() {
    QVDocxPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    if (!page || !page->isUsingTextBox())
        return;
    QVDocxTextBoxInfo info = page->cachedTextBoxInfo();
    const double w = page->maxTextBoxWidth(), t = page->totalTextBoxHeight();
    // The text runs up or down the page: the frame is turned.
    info.displayHeight = w + kTextBoxPadding;
    info.displayWidth = t + kTextBoxPadding;
    auto run = std::make_shared<QVDocxRunTextBox>();
    run->setDrawIndex(QVDocx_NextDrawIndex++);
    run->setPictZIndex(QVDocx_NextTextBoxZIndex++);
    run->setPictInfo(info);
    run->setParagraphArray(std::move(page->cachedTextBoxParagraphs()));
    page->runTextBoxArray().push_back(std::move(run));
    page->setIsUsingTextBox(false);
    page->cachedTextBoxInfo() = {};
    page->cachedTextBoxParagraphs().clear();
}

// ---------------------------------------------------------------------------
// Text paths

void QVDocxPDFExporter::newDocxTextPath(const std::u16string& text, platform::Size textOffset) {
    QVDocxPage* page = pdfConverter_->currentPage();
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    const QVPDF_CTMInfo g = currentCTMInfo();
    if (!isPlausible(g, 0))
        return;
    QVDocxTextPathInfo info;
    info.displayX = g.topLeft.x;
    info.displayY = g.topLeft.y;
    info.displayWidth = g.fontSize.width;
    info.displayHeight = g.fontSize.height;
    info.filled = true;
    info.stroked = false;
    info.strokeweight = 1.0;
    info.strokecolor = s->currentStrokeRGBColor();
    info.fillcolor = s->currentFillRGBColor();
    info.rotation = g.rotation;
    info.flipY = g.flip != 0;
    info.trim = true;
    info.fitpath = false;
    info.rProperty = currentRProperty();
    textPathStartCentre_ =
        emPoint(*s, currentDisplayTextTransform(), (fontAscentOf(*s) + fontDescentOf(*s)) / 2);
    page->setIsUsingTextPath(true);
    page->cachedTextPathInfo() = info;
    page->cachedTextPathString().clear();
    appendDocxTextPath(text, textOffset);
}

void QVDocxPDFExporter::usingDocxTextPath(const std::u16string& text, platform::Size textOffset) {
    QVDocxPage* page = pdfConverter_->currentPage();
    const QVDocxTextPathInfo& path = page->cachedTextPathInfo();
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    const QVPDF_CTMInfo g = currentCTMInfo();
    const QVPDF_CTMInfo& p = nextCharCTMInfo_;
    const double a = QVPDF_LineAngle(path.displayX, path.displayY, g.topLeft.x, g.topLeft.y);
    if (g.rotation == p.rotation && g.flip == p.flip && static_cast<double>(g.rotation) == a) {
        // A gap along the line from where the text was expected gets spaces.
        const double radians = g.rotation * M_PI / 180.0;
        const double along = (g.topLeft.x - p.topLeft.x) * std::cos(radians) +
                             (g.topLeft.y - p.topLeft.y) * std::sin(radians);
        const platform::Size sw =
            convertToDisplaySpaceWidth(s->font() ? s->font()->widthOfSpace() * s->fontSize() : 0);
        const size_t n = gapSpaces(along, std::hypot(sw.width, sw.height), g.fontSize.height);
        appendDocxTextPath(n ? std::u16string(n, u' ') + text : text, textOffset);
        return;
    }
    endTextPathWritingIfNeed();
    handBackToMainText(text, textOffset);
}

void QVDocxPDFExporter::appendDocxTextPath(const std::u16string& text, platform::Size textOffset) {
    QVDocxPage* page = pdfConverter_->currentPage();
    page->cachedTextPathString() += QVPDF_ExpandLigatures(text);
    advancePrediction(textOffset);
}

void QVDocxPDFExporter::endTextPathWritingIfNeed() {
    QVDocxPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    if (!page || !page->isUsingTextPath())
        return;
    QVDocxTextPathInfo info = page->cachedTextPathInfo();
    // The frame runs along the text's centre line from its start to where
    // the next glyph would stand, laid level about its midpoint; the writer
    // turns it back.
    const platform::Point start = textPathStartCentre_;
    platform::Point end = start;
    if (const QVPDFRenderState* s =
            renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr)
        end = emPoint(*s, nextCharTransform_, (fontAscentOf(*s) + fontDescentOf(*s)) / 2);
    double width = std::hypot(end.x - start.x, end.y - start.y);
    if (!std::isfinite(width))
        width = 0;
    const platform::Point mid{start.x + (end.x - start.x) / 2, start.y + (end.y - start.y) / 2};
    info.displayWidth = width;
    info.displayX = mid.x - width / 2;
    info.displayY = mid.y - std::fabs(info.displayHeight) / 2;
    auto run = std::make_shared<QVDocxRunTextPath>();
    run->setDrawIndex(QVDocx_NextDrawIndex++);
    run->setPictZIndex(QVDocx_NextTextBoxZIndex++);
    run->setRunText(page->cachedTextPathString());
    run->setRProperty(info.rProperty);
    run->setPictInfo(std::move(info));
    // Text of blanks alone draws nothing.
    const std::u16string& t = run->runText();
    if (std::any_of(t.begin(), t.end(), [](char16_t c) { return c > 0x20; }))
        page->runPathArray().push_back(std::move(run));
    page->setIsUsingTextPath(false);
    page->cachedTextPathInfo() = {};
    page->cachedTextPathString().clear();
}
