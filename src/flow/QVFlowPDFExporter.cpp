#include "flow/QVFlowPDFExporter.h"

#include "converter/QVOverprint.h"
#include "docx/QVDocxDrawCounters.h"
#include "docx/QVDocxUtilities.h"
#include "flow/html/QVHTMLRunText.h"
#include "flow/rtf/QVRTFRunText.h"
#include "flow/text/QVTextRunText.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/QVPDFTextCharacters.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "pdf/font/QVPDFFontUtilities.h"
#include "pdf/font/ReaderFontNames.h"
#include "platform/pdf/PdfBudgetExceeded.h"

#include <algorithm>
#include <cmath>

namespace {

// Vertical text lies within this of 90 or 270 degrees (open bounds).
constexpr float kVerticalTolerance = 5.0f;
// A text box's next line farther across than this is another block (points).
constexpr double kTextBoxLineGap = 96.0;
// Spaces put in front of a string for a gap on a text box's line, at most: as
// many as a join of the page's lines writes, so an absurd gap (a degenerate
// matrix, a space width near 0) cannot build an absurd string.
constexpr int32_t kMaxTextBoxSpaces = 64;

QVDocx_PPr textBoxLineProperty(double line, double indLeft) {
    QVDocx_PPr p = QVDocxUtilities::defaultPProperty();
    p.spacing.before = 0;
    p.spacing.after = 0;
    p.spacing.line = static_cast<float>(line);
    p.spacing.lineRule = "exact";
    p.ind.firstLine = 0;
    p.ind.left = static_cast<float>(indLeft);
    p.jc = "left";
    return p;
}

double fontAscent(const QVPDFRenderState& s) {
    return s.font() ? s.font()->ascent() : 0;
}
double fontDescent(const QVPDFRenderState& s) {
    return s.font() ? s.font()->descent() : 0;
}

bool isBlankUnit(const std::u16string& text) {
    return text.size() == 1 && text[0] <= 0x20;
}

bool isHorizontal(float r) {
    const float tol = QVFlowPDFExporter::kHorizontalTolerance;
    return r < tol || r > 360.0f - tol;
}

// 90 or 270 for vertical rotations, else the rotation as it is.
float snappedRotation(float r) {
    if (isHorizontal(r))
        return 0;
    if (r > 90.0f - kVerticalTolerance && r < 90.0f + kVerticalTolerance)
        return 90;
    if (r > 270.0f - kVerticalTolerance && r < 270.0f + kVerticalTolerance)
        return 270;
    return r;
}

bool isBlankText(const std::u16string& text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0x20; });
}

bool hasVisibleText(const std::u16string& text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0x20; });
}

} // namespace

QVFlowPDFExporter::~QVFlowPDFExporter() = default;

void QVFlowPDFExporter::begainConvertPDF(const std::string& outputPath) {
    pdfConverter_.reset();
    isShouldCancel_ = false;
    pdfConverter_ = QVFlowPDFConverter::initWithPath(family_, outputPath, numberOfPagesToConvert());
    pdfConverter_->begainWriteDocument();
}

bool QVFlowPDFExporter::endConvertPDF(platform::PdfDocument&) {
    if (!pdfConverter_)
        return false;
    pdfConverter_->endWriteDocument();
    pdfConverter_->packetDocxFile();
    return true;
}

void QVFlowPDFExporter::cleanConvertPDF() {
    pdfConverter_.reset();
}

std::optional<std::string> QVFlowPDFExporter::droppedPageTextReason() const {
    if (pageMainRuns_ > 0 || pageDroppedStrings_ == 0)
        return std::nullopt;
    return "its text is all vertical, slanted or mirrored, which this format leaves out";
}

void QVFlowPDFExporter::resetPageState() {
    nextCharFontSize_ = mainTextFontSize_ = 1.0;
    nextCharTransform_ = mainTextTransform_ = platform::AffineTransform::identity();
    isNotScanTextYet_ = true;
    pageVisibleStrings_ = pageMainRuns_ = pageDroppedStrings_ = pageTextBoxRuns_ = 0;
    overprints_.clear();
    tentativeRun_.reset();
    lastRunIsLooseBlank_ = false;
}

void QVFlowPDFExporter::beginWriterPage(platform::Size pageSize) {
    if (pdfConverter_)
        pdfConverter_->begainWritePage(pageSize);
}

void QVFlowPDFExporter::restartWriterPage(platform::Size pageSize) {
    QVFlowPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    if (!page)
        return;
    closeOpenObjects();
    page->allRunTextArray().clear();
    QVDocx_SectPr sect = page->sectProperty();
    sect.pgSz = {float(pageSize.width), float(pageSize.height)};
    page->setSectProperty(std::move(sect));
    // The page's runs are numbered from 0 again, as on any page.
    QVDocx_ResetCountersForPage();
}

void QVFlowPDFExporter::closeOpenObjects() {
    endTextBoxWritingIfNeed();
    endTextPathWritingIfNeed();
}

void QVFlowPDFExporter::endWriterPage() {
    if (!pdfConverter_)
        return;
    // A page left by an exception may still be in a box or path.
    closeOpenObjects();
    pdfConverter_->endWritePage();
}

// ---------------------------------------------------------------------------
// Geometry of the current text position

QVPDF_CTMInfo QVFlowPDFExporter::currentCTMInfo() const {
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    return QVPDF_CTMInfoMake(s->fontSize(), fontAscent(*s), fontDescent(*s),
                             currentDisplayTextTransform());
}

QVDocx_RPr QVFlowPDFExporter::currentRProperty() const {
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s || !s->font())
        return r;
    const QVPDFFont& font = *s->font();

    // The face a reader has: a well-known PostScript name as its family
    // (ArialMT as Arial, CMBX10 as bold Times New Roman), a family readers
    // lack (Melior, AdvPS405B6) as the core family its flags call for;
    // under its own name the reader sets the text in its default font.
    const ReaderFontFace face = readerFontFor(font);
    const bool bold = face.bold, italic = face.italic;
    r.rFonts = {face.family, face.family, face.family, face.family};
    r.fontKind = face.kind;
    r.b = bold ? 1 : 0;
    r.i = italic ? 1 : 0;
    r.u = 0;
    r.scrpit = 0;
    r.spacing = 0;
    r.w = 100;
    r.noProof = 1;
    const QVPDFRGB c = s->currentFillRGBColor();
    r.color = {std::clamp(c.r, 0, 255), std::clamp(c.g, 0, 255), std::clamp(c.b, 0, 255), 255};

    // The em along the baseline as the page shows it, in whole points, at
    // least 8; a degenerate matrix gives the floor.
    const platform::AffineTransform t = currentDisplayTextTransform();
    double size = std::nearbyint(s->fontSize() * std::hypot(t.a, t.b));
    if (!std::isfinite(size))
        size = 8;
    r.sz = std::clamp(static_cast<float>(size), 8.0f, kMaxFontSize);
    r.szCs = r.sz;
    return r;
}

bool QVFlowPDFExporter::isPlausible(const QVPDF_CTMInfo& g, double textWidth) const {
    const platform::Size page = currentPageMediaBox().size;
    auto within = [](double v, double extent) {
        return std::isfinite(v) && v >= -kFarOffPage && v <= extent + kFarOffPage;
    };
    return within(g.xLeft, page.width) && within(g.xRight, page.width) &&
           within(g.topLeft.x, page.width) && within(g.bottomLeft.x, page.width) &&
           within(g.yTop, page.height) && within(g.yAscent, page.height) &&
           within(g.yBase, page.height) && within(g.yDescent, page.height) &&
           within(g.yBottom, page.height) && within(g.topLeft.y, page.height) &&
           within(g.bottomLeft.y, page.height) && std::isfinite(textWidth) &&
           textWidth <= kFarOffPage;
}

std::shared_ptr<QVFlowRunText> QVFlowPDFExporter::newRunText() const {
    switch (family_) {
    case QVFlowFamily::HTML:
        return std::make_shared<QVHTMLRunText>();
    case QVFlowFamily::RTF:
        return std::make_shared<QVRTFRunText>();
    case QVFlowFamily::Text:
        break;
    }
    return std::make_shared<QVTextRunText>();
}

void QVFlowPDFExporter::advancePrediction(platform::Size textOffset) {
    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    nextCharTransform_ = nextDisplayTextTransform(textOffset);
    nextCharFontSize_ = s->fontSize();
    nextCharCTMInfo_ =
        QVPDF_CTMInfoMake(nextCharFontSize_, fontAscent(*s), fontDescent(*s), nextCharTransform_);
}

void QVFlowPDFExporter::handBackToMainText(const std::u16string& text, platform::Size textOffset) {
    nextCharFontSize_ = mainTextFontSize_;
    nextCharTransform_ = mainTextTransform_;
    nextCharCTMInfo_ = mainTextCTMInfo_;
    usingDocxMainText(text, textOffset);
}

// ---------------------------------------------------------------------------
// Routing and main text

void QVFlowPDFExporter::didScanText(QVPDFConentParser&, const std::u16string& text,
                                    platform::Size textOffset) {
    if (isShouldCancel_ || !pdfConverter_ || !pdfConverter_->currentPage() ||
        !renderingStateStack() || !renderingStateStack()->topRenderingState() || text.empty())
        return;
    if (hasVisibleText(text)) {
        ++pageVisibleStrings_;
        notePageTextGeometry(text, currentCTMInfo());
    }
    QVFlowPage* page = pdfConverter_->currentPage();
    if (page->isUsingTextBox())
        usingDocxTextBox(text, textOffset);
    else if (page->isUsingTextPath())
        usingDocxTextPath(text, textOffset);
    else
        usingDocxMainText(text, textOffset);
}

void QVFlowPDFExporter::usingDocxMainText(const std::u16string& text, platform::Size textOffset) {
    QVFlowPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || text.empty())
        return;
    // One blank or control character before the page's first text is noise.
    if (isNotScanTextYet_ && isBlankUnit(text))
        return;

    const double size = s->fontSize(), ascent = fontAscent(*s), descent = fontDescent(*s);
    QVPDF_CTMInfo cur = QVPDF_CTMInfoMake(size, ascent, descent, currentDisplayTextTransform());
    if (cur.flip) {
        newDocxTextPath(text, textOffset);
        return;
    }
    const float snapped = snappedRotation(cur.rotation);
    if (snapped == 90 || snapped == 270) {
        newDocxTextBox(text, textOffset);
        return;
    }
    if (snapped != 0) {
        newDocxTextPath(text, textOffset);
        return;
    }
    cur.rotation = 0;

    const platform::AffineTransform next = nextDisplayTextTransform(textOffset);
    const QVPDF_CTMInfo nextInfo = QVPDF_CTMInfoMake(size, ascent, descent, next);
    const double textWidth = std::fabs(nextInfo.topLeft.x - cur.topLeft.x);
    // A degenerate matrix gives NaN or absurd coordinates, which would make
    // the layout's orderings meaningless.
    if (!isPlausible(cur, textWidth))
        return;

    isNotScanTextYet_ = false;
    double space = 0;
    if (s->font())
        space =
            convertToDisplaySpaceWidth(s->font()->widthOfSpace() * size * s->horizontalScaling())
                .width;
    if (!std::isfinite(space))
        space = 0;
    nextCharTransform_ = mainTextTransform_ = next;
    nextCharFontSize_ = mainTextFontSize_ = size;
    nextCharCTMInfo_ = mainTextCTMInfo_ = nextInfo;

    auto& runs = page->allRunTextArray();
    const QVDocx_RPr rPr = currentRProperty();
    std::u16string runText = QVPDF_ExpandLigatures(text);
    const double start = cur.bottomLeft.x, end = start + textWidth;
    // A word drawn again over itself (fake bold) is read once.
    const QVOverprintOutcome overprint = judgeDrawnString(
        overprints_, runs, tentativeRun_, {runText, start, end, end, cur.yBase},
        QVOverprintIndex::lookOf(rPr.sz, rPr.color.red, rPr.color.green, rPr.color.blue));
    if (overprint.tookBack)
        --pageMainRuns_;
    if (overprint.drop)
        return;
    const bool blank = isBlankText(runText);
    if (!blank && lastRunIsLooseBlank_ && !runs.empty()) {
        // A blank that continues no text, drawn over by the glyph that
        // follows it (a blank put at the start of each line), is no space.
        const QVFlowRunText& b = *runs.back();
        const double bStart = b.ctmInfo().bottomLeft.x, bEnd = bStart + b.textWidth();
        if (std::fabs(b.ctmInfo().yBase - cur.yBase) < QVOverprint::kTolerance &&
            start > bStart - QVOverprint::kTolerance && start < bEnd - QVOverprint::kTolerance) {
            runs.pop_back();
            --pageMainRuns_;
        }
    }
    bool looseBlank = false;
    if (blank) {
        // Blanks continue the run they touch the end of; others are loose.
        looseBlank = true;
        if (!runs.empty()) {
            const QVFlowRunText& last = *runs.back();
            const double lastEnd = last.ctmInfo().bottomLeft.x + last.textWidth();
            looseBlank = !(std::fabs(last.ctmInfo().yBase - cur.yBase) < QVOverprint::kTolerance &&
                           std::fabs(start - lastEnd) < QVOverprint::kTolerance);
        }
    }
    lastRunIsLooseBlank_ = looseBlank;

    if (runs.size() >= kMaxRunsPerPage)
        throw platform::PdfBudgetExceeded("The page has more than " +
                                          std::to_string(kMaxRunsPerPage) + " text runs.");
    auto run = newRunText();
    run->setDrawIndex(QVDocx_NextDrawIndex++);
    run->setCtmInfo(cur);
    run->setRProperty(rPr);
    run->setRunText(std::move(runText));
    run->setSpaceWidth(space);
    run->setTextWidth(textWidth);
    if (overprint.tentative)
        tentativeRun_ = run->drawIndex();
    runs.push_back(std::move(run));
    ++pageMainRuns_;
}

// ---------------------------------------------------------------------------
// Text boxes: blocks of vertical text. Their strings are followed so that the
// block ends where a box's own rules end it, and then discarded: these outputs
// carry horizontal text only. Nothing of them is held.

void QVFlowPDFExporter::newDocxTextBox(const std::u16string& text, platform::Size textOffset) {
    if (isBlankUnit(text))
        return;
    QVFlowPage* page = pdfConverter_->currentPage();
    const QVPDF_CTMInfo g = currentCTMInfo();
    textBoxRotation_ = snappedRotation(g.rotation);
    textBoxDisplayX_ = g.topLeft.x;
    page->setIsUsingTextBox(true);
    page->cachedTextBoxParagraphs().clear();
    page->newTextBoxParagraph();
    page->lastTextBoxParagraph()->setPProperty(textBoxLineProperty(g.fontSize.height, 0));
    appendDocxTextBox(text, textOffset);
}

void QVFlowPDFExporter::usingDocxTextBox(const std::u16string& text, platform::Size textOffset) {
    const QVPDF_CTMInfo g = currentCTMInfo();
    const float r = g.flip ? -1.0f : snappedRotation(g.rotation);
    const QVPDF_CTMInfo& p = nextCharCTMInfo_;
    if (r != textBoxRotation_) {
        endTextBoxWritingIfNeed();
        if (r == 90 || r == 270)
            newDocxTextBox(text, textOffset);
        else
            handBackToMainText(text, textOffset);
        return;
    }
    const double along =
        textBoxRotation_ == 90 ? g.bottomLeft.y - p.bottomLeft.y : p.bottomLeft.y - g.bottomLeft.y;
    const double across = g.bottomLeft.x - p.bottomLeft.x;
    const double s = convertToDisplaySpaceWidth(
                         renderingStateStack()->topRenderingState()->font()
                             ? renderingStateStack()->topRenderingState()->font()->widthOfSpace() *
                                   renderingStateStack()->topRenderingState()->fontSize()
                             : 0)
                         .height;
    const double h = g.fontSize.height;
    bool keep = false;
    bool newLine = false;
    if (across >= h)
        keep = newLine = !(g.topLeft.x < textBoxDisplayX_ || across >= kTextBoxLineGap);
    else if (across <= -h)
        keep = false;
    else
        keep = !(along <= -s);
    if (!keep) {
        endTextBoxWritingIfNeed();
        handBackToMainText(text, textOffset);
        return;
    }
    if (newLine) {
        QVFlowPage* page = pdfConverter_->currentPage();
        page->newTextBoxParagraph();
        page->lastTextBoxParagraph()->setPProperty(
            textBoxLineProperty(across, g.topLeft.x - textBoxDisplayX_));
        appendDocxTextBox(text, textOffset);
        return;
    }
    // Spaces for the gap along the line, computed in single precision; a
    // quotient that is no number or out of range gives none.
    const float q = static_cast<float>(along) / static_cast<float>(s);
    int32_t n = 0;
    if (std::isfinite(q) && q >= 1.0f && q < 2147483648.0f)
        n = std::min(static_cast<int32_t>(std::floor(q)), kMaxTextBoxSpaces);
    appendDocxTextBox(n > 0 ? std::u16string(size_t(n), u' ') + text : text, textOffset);
}

void QVFlowPDFExporter::appendDocxTextBox(const std::u16string& text, platform::Size textOffset) {
    if (hasVisibleText(text))
        ++pageDroppedStrings_;
    QVFlowPage* page = pdfConverter_->currentPage();
    QVFlowParagraph* line = page->lastTextBoxParagraph();
    const QVPDF_CTMInfo g = currentCTMInfo();
    const QVDocx_RPr rPr = currentRProperty();
    QVFlowRunText* run = line ? line->lastRunText() : nullptr;
    if (run && QVDocx_RPrIsEqual(run->rProperty(), rPr)) {
        run->runText() += text;
    } else if (line) {
        // The box's runs count against the page's budget as main text does.
        if (++pageTextBoxRuns_ + page->allRunTextArray().size() > kMaxRunsPerPage)
            throw platform::PdfBudgetExceeded("The page has more than " +
                                              std::to_string(kMaxRunsPerPage) + " text runs.");
        auto made = newRunText();
        made->setDrawIndex(QVDocx_NextDrawIndex++);
        made->setRProperty(rPr);
        made->setRunText(text);
        run = made.get();
        line->runArray().push_back(std::move(made));
    }
    advancePrediction(textOffset);
    if (run) {
        const double advance = std::fabs(nextCharCTMInfo_.topLeft.y - g.topLeft.y);
        if (std::isfinite(advance))
            run->setTextWidth(run->textWidth() + advance);
    }
}

void QVFlowPDFExporter::endTextBoxWritingIfNeed() {
    // These outputs carry horizontal text only: the box's lines go with it.
    if (QVFlowPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr)
        if (page->isUsingTextBox()) {
            page->setIsUsingTextBox(false);
            page->cachedTextBoxParagraphs().clear();
        }
}

// ---------------------------------------------------------------------------
// Text paths: one slanted or mirrored line, discarded as boxes are.

void QVFlowPDFExporter::newDocxTextPath(const std::u16string& text, platform::Size textOffset) {
    QVFlowPage* page = pdfConverter_->currentPage();
    textPathOrigin_ = currentCTMInfo().topLeft;
    page->setIsUsingTextPath(true);
    page->cachedTextPathString().clear();
    appendDocxTextPath(text, textOffset);
}

void QVFlowPDFExporter::usingDocxTextPath(const std::u16string& text, platform::Size textOffset) {
    const QVPDF_CTMInfo g = currentCTMInfo();
    const QVPDF_CTMInfo& p = nextCharCTMInfo_;
    const double a =
        QVPDF_LineAngle(textPathOrigin_.x, textPathOrigin_.y, g.topLeft.x, g.topLeft.y);
    if (g.rotation == p.rotation && g.flip == p.flip && g.rotation == static_cast<float>(a)) {
        appendDocxTextPath(text, textOffset);
        return;
    }
    endTextPathWritingIfNeed();
    handBackToMainText(text, textOffset);
}

void QVFlowPDFExporter::appendDocxTextPath(const std::u16string& text, platform::Size textOffset) {
    if (hasVisibleText(text))
        ++pageDroppedStrings_;
    pdfConverter_->currentPage()->cachedTextPathString() += text;
    advancePrediction(textOffset);
}

void QVFlowPDFExporter::endTextPathWritingIfNeed() {
    if (QVFlowPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr)
        if (page->isUsingTextPath()) {
            page->setIsUsingTextPath(false);
            page->cachedTextPathString().clear();
        }
}
