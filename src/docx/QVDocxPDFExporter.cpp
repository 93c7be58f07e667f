#include "docx/QVDocxPDFExporter.h"

#include "docx/QVDocxDrawCounters.h"
#include "docx/QVDocxPage.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "pdf/font/QVPDFFontUtilities.h"
#include "pdf/font/ReaderFontNames.h"
#include "pdf/content/QVPDFTextCharacters.h"
#include "pdf/content/RenderingStateStack.h"
#include "platform/pdf/PdfBudgetExceeded.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

double fontAscent(const QVPDFRenderState& s) { return s.font() ? s.font()->ascent() : 0; }
double fontDescent(const QVPDFRenderState& s) { return s.font() ? s.font()->descent() : 0; }

} // namespace

QVDocxPDFExporter::~QVDocxPDFExporter() = default;

void QVDocxPDFExporter::begainConvertPDF(const std::string& outputPath) {
    pdfConverter_.reset();
    derivedImages_ = {};
    pdfConverter_ = std::make_unique<QVDocxWriter>(outputPath, numberOfPagesToConvert());
    pdfConverter_->begainWriteDocument();
}

bool QVDocxPDFExporter::endConvertPDF(platform::PdfDocument&) {
    if (!pdfConverter_)
        return false;
    pdfConverter_->endWriteDocument();
    if (!pdfConverter_->packetDocxFile())
        throw std::runtime_error(pdfConverter_->failureReason());
    return true;
}

void QVDocxPDFExporter::cleanConvertPDF() { pdfConverter_.reset(); }

void QVDocxPDFExporter::resetPageState() {
    nextCharFontSize_ = mainTextFontSize_ = 1.0;
    nextCharTransform_ = mainTextTransform_ = platform::AffineTransform::identity();
    isNotScanTextYet_ = true;
    overprints_.clear();
    tentativeRun_.reset();
}

void QVDocxPDFExporter::beginWriterPage(platform::Size pageSize) {
    if (pdfConverter_)
        pdfConverter_->begainWritePage(pageSize);
}

void QVDocxPDFExporter::closeOpenObjects() {
    endTextBoxWritingIfNeed();
    endTextPathWritingIfNeed();
}

void QVDocxPDFExporter::endWriterPage() {
    if (!pdfConverter_)
        return;
    // A page left by an exception may still be in a box or path.
    closeOpenObjects();
    pdfConverter_->endWritePage();
}

// ---------------------------------------------------------------------------
// Geometry of the current text position

QVDocx_RPr QVDocxPDFExporter::currentRProperty() const {
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s || !s->font())
        return r;
    const QVPDFFont& font = *s->font();

    // The face a reader has: a well-known PostScript name as its family
    // (ArialMT as Arial), a family readers lack (Melior, AdvPS405B6) as the
    // core family its flags call for; under its own name the reader would
    // set the text in its wider default font and lines would wrap and spill.
    if (lastFace_.font != s->font()) {
        lastFace_.face = readerFontFor(font);
        lastFace_.font = s->font();
    }
    const ReaderFontFace& face = lastFace_.face;
    const bool bold = face.bold, italic = face.italic;
    r.rFonts = {face.family, face.family, face.family, face.family};
    r.fontKind = face.kind;
    r.vanish = s->isTextInvisible() ? 1 : 0;
    if (pdfConverter_)
        pdfConverter_->collectFont(face.family, face.kind);
    r.b = bold ? 1 : 0;
    r.i = italic ? 1 : 0;
    r.u = 0;
    r.scrpit = 0;
    r.spacing = 0;
    r.w = 100;
    r.noProof = 1;
    const QVPDFRGB c = s->currentFillRGBColor();
    r.color = {std::clamp(c.r, 0, 255), std::clamp(c.g, 0, 255), std::clamp(c.b, 0, 255), 255};

    // The size along the baseline as the page shows it, kept to the half
    // point: whole points with a floor of 8 would make small print overflow
    // the exact line heights that place it.
    const platform::AffineTransform t = currentDisplayTextTransform();
    double size = std::fabs(s->fontSize()) * std::hypot(t.a, t.b);
    if (!std::isfinite(size))
        size = kMinFontSize;
    size = std::nearbyint(size * 2.0) / 2.0;
    r.sz = std::clamp(static_cast<float>(size), kMinFontSize, kMaxFontSize);
    r.szCs = r.sz;
    return r;
}

bool QVDocxPDFExporter::isPlausible(const QVPDF_CTMInfo& g, double textWidth) const {
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

// ---------------------------------------------------------------------------
// Capture

void QVDocxPDFExporter::didScanText(QVPDFConentParser&, const std::u16string& text,
                                    platform::Size textOffset) {
    QVDocxPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    if (!page)
        return;
    if (!renderingStateStack() || !renderingStateStack()->topRenderingState() || text.empty())
        return;
    // Invisible text on a slant has no hidden form in a text path: it is left out.
    const bool invisible = renderingStateStack()->topRenderingState()->isTextInvisible();
    if (page->isUsingTextBox())
        usingDocxTextBox(text, textOffset);
    else if (page->isUsingTextPath() && invisible)
        return;
    else if (page->isUsingTextPath())
        usingDocxTextPath(text, textOffset);
    else
        usingDocxMainText(text, textOffset);
}

void QVDocxPDFExporter::usingDocxMainText(const std::u16string& text, platform::Size textOffset) {
    QVDocxPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || text.empty())
        return;
    // One blank or control character before the page's first text is noise.
    if (isNotScanTextYet_ && text.size() == 1 && text[0] <= 0x20)
        return;

    const double size = s->fontSize(), ascent = fontAscent(*s), descent = fontDescent(*s);
    QVPDF_CTMInfo cur = QVPDF_CTMInfoMake(size, ascent, descent, currentDisplayTextTransform());
    // Mirrored text and text turned 5 degrees or more belongs in text paths
    // and text boxes; a page scanned a little askew (-0.4 degrees reads as
    // 359.6) is still main text.
    if (cur.flip) {
        if (!s->isTextInvisible())
            newDocxTextPath(text, textOffset);
        return;
    }
    if (!(cur.rotation < kHorizontalTolerance || cur.rotation > 360.0f - kHorizontalTolerance)) {
        if ((cur.rotation > 85.0f && cur.rotation < 95.0f) ||
            (cur.rotation > 265.0f && cur.rotation < 275.0f))
            newDocxTextBox(text, textOffset);
        else if (!s->isTextInvisible())
            newDocxTextPath(text, textOffset);
        return;
    }
    cur.rotation = 0;

    const platform::AffineTransform next = nextDisplayTextTransform(textOffset);
    const QVPDF_CTMInfo nextInfo = QVPDF_CTMInfoMake(size, ascent, descent, next);
    cur.xRight = nextInfo.topLeft.x;
    const double textWidth = std::fabs(nextInfo.topLeft.x - cur.topLeft.x);
    // A degenerate matrix gives NaN or absurd coordinates, which would make
    // the layout's orderings meaningless.
    if (!isPlausible(cur, textWidth))
        return;

    isNotScanTextYet_ = false;
    double space = 0;
    if (s->font())
        space = convertToDisplaySpaceWidth(s->font()->widthOfSpace() * size *
                                           s->horizontalScaling())
                    .width;
    if (!std::isfinite(space))
        space = 0;
    nextCharTransform_ = mainTextTransform_ = next;
    nextCharFontSize_ = mainTextFontSize_ = size;
    nextCharCTMInfo_ = mainTextCTMInfo_ = nextInfo;

    auto& runs = page->allRunTextArray();
    if (runs.size() >= kMaxRunsPerPage)
        throw platform::PdfBudgetExceeded("The page has more than " +
                                          std::to_string(kMaxRunsPerPage) + " text runs.");
    const QVDocx_RPr rPr = currentRProperty();
    std::u16string runText = QVPDF_ExpandLigatures(text);
    // A word drawn again over itself (fake bold) is read once.
    const double start = cur.bottomLeft.x, end = start + textWidth;
    const QVOverprintOutcome overprint = judgeDrawnString(
        overprints_, runs, tentativeRun_, {runText, start, end, end, cur.yBase},
        QVOverprintIndex::lookOf(rPr.sz, rPr.color.red, rPr.color.green, rPr.color.blue));
    if (overprint.drop) {
        // The copy is not read again, but it was painted now: a fill painted
        // before it lies under the text (the first copy alone would say the
        // fill hides it).
        page->droppedTextCopies().push_back(
            {{cur.topLeft, {textWidth, std::fabs(cur.bottomLeft.y - cur.topLeft.y)}},
             QVDocx_NextDrawIndex});
        return;
    }
    auto run = std::make_shared<QVDocxRunText>();
    run->setDrawIndex(QVDocx_NextDrawIndex++);
    run->setCtmInfo(cur);
    run->setRProperty(rPr);
    run->setRunText(std::move(runText));
    run->setSpaceWidth(space);
    run->setTextWidth(textWidth);
    if (overprint.tentative)
        tentativeRun_ = run->drawIndex();
    runs.push_back(std::move(run));
}
