#include "pptx/QVPPTXPDFExporter.h"

#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "pdf/font/QVPDFFontUtilities.h"
#include "pdf/font/ReaderFontNames.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "pptx/QVPPTXPage.h"
#include "pptx/QVPPTXTextbox.h"
#include "pptx/QVPPTXUtilities.h"
#include "writer/QVHexColor.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

namespace {

// DrawingML's pitch and family byte: the pitch in the low bits (1 fixed,
// 2 variable), the generic family above (0x10 roman, 0x20 swiss, 0x30 modern).
std::string pitchFamily(const ReaderFontTableEntry& e) {
    const int pitch = e.pitch == "fixed" ? 1 : 2;
    const int family = e.family == "roman"    ? 0x10
                       : e.family == "swiss"  ? 0x20
                       : e.family == "modern" ? 0x30
                                              : 0;
    return std::to_string(family | pitch);
}
/// A gap of this many space widths or more on a line is a gap between
/// columns: the text after it starts a box of its own at its place, since
/// spaces set in a reader's font would not reach that place.
constexpr double kColumnGapSpaces = 4;
/// A narrower gap is its nearest count of word spaces, at least one when it
/// is wider than this share of the font size (wider than kerning).
constexpr double kWordGapShare = 0.15;
/// A word space is at least this share of the font size: readers set the
/// text in faces whose space is a quarter of the size.
constexpr double kMinimumSpaceShare = 0.25;

double fontAscent(const QVPDFRenderState& s) {
    return s.font() ? s.font()->ascent() : 0;
}
double fontDescent(const QVPDFRenderState& s) {
    return s.font() ? s.font()->descent() : 0;
}

float snapRotation(float r) {
    if (r < QVPPTXPDFExporter::kRotationSnap)
        return 0;
    if (r > 90 - QVPPTXPDFExporter::kRotationSnap && r < 90 + QVPPTXPDFExporter::kRotationSnap)
        return 90;
    if (r > 270 - QVPPTXPDFExporter::kRotationSnap && r < 270 + QVPPTXPDFExporter::kRotationSnap)
        return 270;
    return r;
}

double dot(platform::Point a, platform::Point b) {
    return a.x * b.x + a.y * b.y;
}
platform::Point minus(platform::Point a, platform::Point b) {
    return {a.x - b.x, a.y - b.y};
}

/// The corner of a glyph's frame before rotation (the top-left corner as the
/// turned text sees it), from its upright box.
platform::Point frameCorner(const QVPDF_CTMInfo& g, platform::Point along, platform::Point across) {
    const double w = g.xRight - g.xLeft, h = g.bottomLeft.y - g.topLeft.y;
    const platform::Point c{(g.xLeft + g.xRight) / 2, (g.topLeft.y + g.bottomLeft.y) / 2};
    return {c.x - w / 2 * along.x - h / 2 * across.x, c.y - w / 2 * along.y - h / 2 * across.y};
}

bool finite(const QVPDF_CTMInfo& g) {
    return std::isfinite(g.xLeft) && std::isfinite(g.xRight) && std::isfinite(g.topLeft.y) &&
           std::isfinite(g.bottomLeft.y) && std::isfinite(g.topLeft.x);
}

} // namespace

QVPPTXPDFExporter::~QVPPTXPDFExporter() = default;

void QVPPTXPDFExporter::begainConvertPDF(const std::string& outputPath) {
    pdfConverter_.reset();
    derivedImages_ = QVPDFDerivedImageFiles();
    lastRunFont_ = RunFont();
    pdfConverter_ = std::make_unique<QVPPTXWriter>(
        outputPath, static_cast<uint64_t>(std::max<int64_t>(0, numberOfPagesToConvert())));
    pdfConverter_->begainWriteDocument();
}

bool QVPPTXPDFExporter::endConvertPDF(platform::PdfDocument&) {
    if (!pdfConverter_)
        return false;
    if (!pdfConverter_->packetPPTXFile())
        throw std::runtime_error(pdfConverter_->failureReason());
    return true;
}

void QVPPTXPDFExporter::cleanConvertPDF() {
    pdfConverter_.reset();
}

void QVPPTXPDFExporter::resetPageState() {
    nextCharCTMInfo_ = {};
    nextCharOrigin_ = {};
}

void QVPPTXPDFExporter::beginWriterPage(platform::Size pageSize) {
    slideFit_ = platform::AffineTransform::identity();
    pagePixelBudget_ = QVPPTXUtilities::kMaxRasterPixelsPerPage;
    if (!pdfConverter_)
        return;
    pdfConverter_->begainWritePage(pageSize);
    const platform::Size slide = pdfConverter_->slideSize();
    if (pageSize.width > 0 && pageSize.height > 0 &&
        (pageSize.width != slide.width || pageSize.height != slide.height)) {
        const double s = std::min(slide.width / pageSize.width, slide.height / pageSize.height);
        slideFit_ = platform::AffineTransform::makeScale(s, s).concat(
            platform::AffineTransform::makeTranslation((slide.width - pageSize.width * s) / 2,
                                                       (slide.height - pageSize.height * s) / 2));
    }
}

void QVPPTXPDFExporter::closeOpenObjects() {
    endTextBoxWritingIfNeed();
}

void QVPPTXPDFExporter::endWriterPage() {
    if (!pdfConverter_)
        return;
    // Called while an exception leaves the page: the slide is dropped whole
    // and its number goes to the next page.
    if (std::uncaught_exceptions() > 0)
        return;
    pdfConverter_->endWritePage();
}

// ---------------------------------------------------------------------------
// Geometry

platform::AffineTransform QVPPTXPDFExporter::slideTransform() const {
    return currentPageTransform().concat(slideFit_);
}

platform::AffineTransform QVPPTXPDFExporter::currentDisplayTextTransform() const {
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s)
        return slideTransform();
    return s->glyphTransform().concat(s->textMatrix()).concat(s->ctm()).concat(slideTransform());
}

platform::AffineTransform QVPPTXPDFExporter::nextDisplayTextTransform(platform::Size offset) const {
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s)
        return slideTransform();
    return s->glyphTransform()
        .concat(platform::AffineTransform::makeTranslation(offset.width, offset.height))
        .concat(s->textMatrix())
        .concat(s->ctm())
        .concat(slideTransform());
}

platform::Size QVPPTXPDFExporter::convertToDisplaySpaceWidth(double width) const {
    const platform::AffineTransform t = currentDisplayTextTransform();
    const double dx = width * t.a, dy = width * t.b;
    return {std::fabs(dx), std::fabs(dy)};
}

bool QVPPTXPDFExporter::isOnSlide(const platform::Rect& box) const {
    const platform::Size slide = pdfConverter_ ? pdfConverter_->slideSize() : platform::Size{};
    const double x0 = box.origin.x, y0 = box.origin.y;
    const double x1 = x0 + box.size.width, y1 = y0 + box.size.height;
    return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1) &&
           x1 >= -kFarOffSlide && y1 >= -kFarOffSlide && x0 <= slide.width + kFarOffSlide &&
           y0 <= slide.height + kFarOffSlide && box.size.width <= 3 * kFarOffSlide &&
           box.size.height <= 3 * kFarOffSlide;
}

QVPPTX_RunPr QVPPTXPDFExporter::currentRProperty() const {
    QVPPTX_RunPr r = QVPPTXUtilities::defaultRunProperty();
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s)
        return r;
    // The face a reader has (CMR10 as Times New Roman, Melior as the core
    // family its flags call for): under a name the reader lacks, the text
    // is set in a wider default font and runs out of its box.
    if (const auto& font = s->font()) {
        if (lastRunFont_.font != font) {
            const ReaderFontFace face = readerFontFor(*font);
            const ReaderFontTableEntry entry = readerFontTableEntry(face.family, face.kind);
            lastRunFont_.latin.typeface = face.family;
            lastRunFont_.latin.pitchFamily = pitchFamily(entry);
            lastRunFont_.latin.charset = entry.charset == "02" ? "2" : "0";
            lastRunFont_.bold = face.bold;
            lastRunFont_.italic = face.italic;
            lastRunFont_.font = font;
        }
        r.latin = lastRunFont_.latin;
        r.b = lastRunFont_.bold;
        r.i = lastRunFont_.italic;
    } else {
        r.latin.typeface = std::string();
    }
    r.cs = r.latin;
    r.invisible = s->isTextInvisible() ? 1 : 0;
    // The size along the baseline as the slide shows it, to the half point:
    // whole points with a floor of 8 would make small print overflow its box.
    const platform::AffineTransform t = currentDisplayTextTransform();
    double size = std::fabs(s->fontSize()) * std::hypot(t.a, t.b);
    if (!std::isfinite(size))
        size = 1;
    r.sz = std::clamp(static_cast<float>(std::nearbyint(size * 2.0) / 2.0), 1.0f, 4000.0f);
    const QVPDFRGB c = s->currentFillRGBColor();
    r.rgbColor = QVHexColor::hexStringFromRGBValue((uint32_t(std::clamp(c.r, 0, 255)) << 16) |
                                                   (uint32_t(std::clamp(c.g, 0, 255)) << 8) |
                                                   uint32_t(std::clamp(c.b, 0, 255)));
    return r;
}

// ---------------------------------------------------------------------------
// Text boxes

void QVPPTXPDFExporter::didScanText(QVPDFConentParser&, const std::u16string& text,
                                    platform::Size textOffset) {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    if (!page || text.empty())
        return;
    if (page->isUsingTextBox())
        usingPPTXTextBox(text, textOffset);
    else
        newPPTXTextBox(text, textOffset);
}

void QVPPTXPDFExporter::newPPTXTextBox(const std::u16string& text, platform::Size textOffset) {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || text.empty())
        return;
    // A lone blank or control character opens no box.
    if (text.size() == 1 && text[0] <= 0x20)
        return;
    QVPDF_CTMInfo g = QVPDF_CTMInfoMake(s->fontSize(), fontAscent(*s), fontDescent(*s),
                                        currentDisplayTextTransform());
    if (!finite(g) || !isOnSlide({g.topLeft, {g.xRight - g.xLeft, g.bottomLeft.y - g.topLeft.y}}))
        return;
    const float rotation = snapRotation(g.rotation);
    const double radians = rotation * M_PI / 180.0;
    boxAlong_ = {std::cos(radians), std::sin(radians)};
    boxAcross_ = {-boxAlong_.y, boxAlong_.x};
    boxCorner_ = frameCorner(g, boxAlong_, boxAcross_);

    auto info = std::make_shared<QVPPTXTextBoxInfo>();
    info->displayX = g.topLeft.x;
    info->displayY = g.topLeft.y;
    info->rotation = rotation;
    page->setIsUsingTextBox(true);
    page->setCachedTextBoxInfo(info);
    page->cachedTextBoxParagraphs().clear();
    QVPPTX_PPr& p = page->newTextBoxParagraph().pProperty();
    p.marL = 0;
    p.lnSpc = static_cast<float>(g.fontSize.height);
    p.algn = "l";
    p.tabList = {0, "l"};
    appendPPTXTextBox(text, textOffset, 0);
}

void QVPPTXPDFExporter::usingPPTXTextBox(const std::u16string& text, platform::Size textOffset) {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || !page->cachedTextBoxInfo())
        return;
    const platform::AffineTransform t = currentDisplayTextTransform();
    QVPDF_CTMInfo g = QVPDF_CTMInfoMake(s->fontSize(), fontAscent(*s), fontDescent(*s), t);
    if (!finite(g))
        return;
    const float rotation = snapRotation(g.rotation);
    auto newBox = [&] {
        endTextBoxWritingIfNeed();
        newPPTXTextBox(text, textOffset);
    };
    if (rotation != page->cachedTextBoxInfo()->rotation) {
        newBox();
        return;
    }
    double sp = 0;
    if (s->font()) {
        const platform::Size w =
            convertToDisplaySpaceWidth(s->font()->widthOfSpace() * s->fontSize());
        sp = std::hypot(w.width, w.height);
    }
    if (!std::isfinite(sp))
        sp = 0;
    // Baseline to baseline, along and across the box's lines.
    const platform::Point d = minus(t.apply({0, 0}), nextCharOrigin_);
    const double dx = dot(d, boxAlong_), dy = dot(d, boxAcross_);
    const double h = g.fontSize.height;

    if (dy >= h) {
        const double marL =
            dot(minus(frameCorner(g, boxAlong_, boxAcross_), boxCorner_), boxAlong_);
        // A line that starts left of the box, or far below it, is a box of its own.
        if (!(marL > -0.5) || !(dy < kMaxLineStep)) {
            newBox();
            return;
        }
        QVPPTX_PPr& p = page->newTextBoxParagraph().pProperty();
        p.marL = static_cast<float>(std::max(0.0, marL));
        p.lnSpc = static_cast<float>(dy);
        p.tabList = {0, "l"};
        appendPPTXTextBox(text, textOffset, 0);
        return;
    }
    // Within a line's height: the same line, if the text does not step left
    // (a string drawn left of the prediction starts a box at its own place;
    // a tenth of a point is rounding).
    if (dy > -h && dx >= -std::max(sp, 0.1)) {
        // To the nearest count: a word space is often a hair under the
        // font's space width, and rounding down would glue the words.
        const double n = sp > 0 ? std::nearbyint(static_cast<float>(dx / sp)) : 0;
        if (!(n < kColumnGapSpaces)) {
            newBox();
            return;
        }
        const platform::Size size = convertToDisplaySpaceWidth(s->fontSize());
        const double em = std::hypot(size.width, size.height);
        // The word space: the font's, at least a quarter of the size (TeX
        // fonts have no space glyph and report a narrow one, which counted
        // every justified gap as two spaces).
        const double word = std::max(sp, kMinimumSpaceShare * em);
        double spaces = word > 0 ? std::nearbyint(static_cast<float>(dx / word)) : 0;
        if (!std::isfinite(spaces))
            spaces = 0;
        // A gap under half a word space but wider than kerning is still a
        // word's end: a TeX title set with a wide space estimate read as one
        // word.
        if (spaces < 1 && std::isfinite(em) && dx > kWordGapShare * em)
            spaces = 1;
        // A string that brings its own space, or follows one, needs one less.
        const QVPPTXRun* last = page->lastTextBoxParagraph().lastRunText();
        if (spaces >= 1 && ((last && !last->text().empty() && last->text().back() == u' ') ||
                            text.front() == u' '))
            spaces -= 1;
        if (spaces >= 1) {
            std::u16string padded(static_cast<size_t>(spaces), u' ');
            padded += text;
            appendPPTXTextBox(padded, textOffset, std::max(dx, 0.0));
        } else {
            appendPPTXTextBox(text, textOffset, 0);
        }
        return;
    }
    newBox();
}

void QVPPTXPDFExporter::appendPPTXTextBox(const std::u16string& text, platform::Size textOffset,
                                          double blankWidth) {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s)
        return;
    const QVPPTX_RunPr rPr = currentRProperty();
    QVPPTXParagraph& paragraph = page->lastTextBoxParagraph();
    QVPPTXRun* run = paragraph.lastRunText();
    if (run && QVPPTX_RunPrIsEqual(rPr, run->rProperty())) {
        run->text() += text;
    } else {
        auto fresh = std::make_shared<QVPPTXRun>();
        fresh->setRProperty(rPr);
        fresh->setText(text);
        paragraph.textRuns().push_back(fresh);
        run = fresh.get();
    }
    const platform::Point origin = currentDisplayTextTransform().apply({0, 0});
    const platform::AffineTransform next = nextDisplayTextTransform(textOffset);
    nextCharCTMInfo_ = QVPDF_CTMInfoMake(s->fontSize(), fontAscent(*s), fontDescent(*s), next);
    nextCharOrigin_ = next.apply({0, 0});
    const double advance = std::fabs(dot(minus(nextCharOrigin_, origin), boxAlong_));
    if (std::isfinite(advance))
        run->setTextWidth(run->textWidth() + advance + blankWidth);
}

void QVPPTXPDFExporter::endTextBoxWritingIfNeed() {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    if (!page || !page->isUsingTextBox())
        return;
    std::shared_ptr<QVPPTXTextBoxInfo> info = page->cachedTextBoxInfo();
    // The lines set the box's width, with room to spare: readers set the
    // text in fonts of their own, and a line a little wider than measured
    // must not wrap (the box has no fill, so the room does not show).
    const double W = page->maxTextBoxWidth() * kTextBoxRoom + kTextBoxMargin;
    const double H = page->totalTextBoxHeight();
    if (info) {
        // The frame before rotation, placed so that its centre is the centre
        // of the text as the page shows it.
        const platform::Point centre{boxCorner_.x + W / 2 * boxAlong_.x + H / 2 * boxAcross_.x,
                                     boxCorner_.y + W / 2 * boxAlong_.y + H / 2 * boxAcross_.y};
        info->displayWidth = W;
        info->displayHeight = H;
        info->displayX = centre.x - W / 2;
        info->displayY = centre.y - H / 2;
        auto& shapes = page->sharepsArr();
        if (shapes.size() >= QVPPTXPage::kMaxShapesPerSlide)
            throw platform::PdfBudgetExceeded("The page has more than " +
                                              std::to_string(QVPPTXPage::kMaxShapesPerSlide) +
                                              " shapes.");
        auto box = std::make_shared<QVPPTXTextbox>();
        box->setSpInfo(info);
        // Wrapped at the box's width: with no wrapping, readers centre a line
        // set narrower than measured on the box instead of starting it at
        // the box's left edge.
        QVPPTX_TxBodyPr body = box->bodyPr();
        body.warp = "square";
        box->setBodyPr(body);
        for (const auto& paragraph : page->cachedTextBoxParagraphs())
            box->paragraphs().push_back(paragraph);
        shapes.push_back(box);
    }
    page->setIsUsingTextBox(false);
    page->setCachedTextBoxInfo(nullptr);
    page->cachedTextBoxParagraphs().clear();
}
