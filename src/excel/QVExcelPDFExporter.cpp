#include "excel/QVExcelPDFExporter.h"

#include "converter/QVOverprint.h"
#include "excel/QVExcelManager.h"
#include "excel/analysis/QVExcelStackRule.h"
#include "excel/sheet/QVExcelPage.h"
#include "excel/sheet/QVExcelStandardPageFactory.h"
#include "excel/workbook/QVExcelStyle.h"
#include "excel/workbook/QVExcelStyleFill.h"
#include "excel/workbook/QVExcelStyleFont.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/QVPDFTextCharacters.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "pdf/font/QVPDFFontUtilities.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "platform/pdf/PdfDocument.h"
#include "writer/QVHexColor.h"

#include <stdexcept>
#include <algorithm>
#include <cmath>

namespace {

// Pieces on baselines closer than this are on one line, and pieces whose gap
// is within it of nothing (or of one space width) continue each other (points).
constexpr double kJoinTolerance = 1.0;
// A filled area smaller than this either way is a rule or a speck, not a cell fill (points).
constexpr double kMinFillSide = 2.0;
// The font name and family used when the PDF gives none.
constexpr const char* kDefaultFontName = "Arial Unicode MS";

double fontAscent(const QVPDFRenderState& s) {
    return s.font() ? s.font()->ascent() : 0.95;
}
double fontDescent(const QVPDFRenderState& s) {
    return s.font() ? s.font()->descent() : -0.35;
}

uint32_t rgbValue(const QVPDFRGB& c) {
    auto channel = [](int32_t v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

std::string nameOrDefault(const std::optional<std::string>& name) {
    return name && !name->empty() ? *name : std::string(kDefaultFontName);
}

bool isFinite(double v) {
    return std::isfinite(v);
}

bool isBlankText(const std::u16string& text) {
    return std::all_of(text.begin(), text.end(), QVPDF_IsWhitespaceCharacter);
}

// Leader dots drawn one at a time and set apart by less than this many ems
// (of the line's height) are one leader, a space between each two.
constexpr double kLeaderGapEms = 1.0;

// Two numbers, each drawn as a string of its own: the text before ends in a
// digit (or what may close a number) and the next begins like a number.
bool isNumberPair(const QVExcelRunText& last, const QVExcelRunText& next) {
    const std::u16string& a = last.text();
    const std::u16string& b = next.text();
    if (a.empty() || b.empty())
        return false;
    const char16_t end = a.back(), start = b.front();
    const bool endsLikeNumber = (end >= u'0' && end <= u'9') || end == u'%' || end == u')';
    const bool startsLikeNumber = (start >= u'0' && start <= u'9') || start == u'-' ||
                                  start == u'+' || start == u'(' || start == u'.' ||
                                  start == 0x2212 || start == 0x2013;
    return endsLikeNumber && startsLikeNumber && QVExcelStackRule::isNumber(last) &&
           QVExcelStackRule::isNumber(next);
}

bool isLeaderDot(char16_t c) {
    return c == u'.' || c == u'\u00B7' || c == u'\u2026';
}

bool isLeaderDots(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isLeaderDot);
}

// The last dot of a leader, no blanks after it (a blank is a space already).
bool endsInLeaderDot(std::u16string_view text) {
    return !text.empty() && isLeaderDot(text.back());
}

// Blanks after a word wider than this many ems are layout space (a field
// padded to its column's width), not a word gap: they separate the word from
// whatever follows (the same measure the interpreter cuts strings at).
constexpr double kWideBlankEms = 0.8;

} // namespace

QVExcelPDFExporter::QVExcelPDFExporter(const std::string& destDocType,
                                       std::shared_ptr<QVExcelPageFactory> pageFactory)
    : destDocType_(destDocType), pageFactory_(std::move(pageFactory)) {
    if (!pageFactory_)
        pageFactory_ = std::make_shared<QVExcelStandardPageFactory>();
}

QVExcelPDFExporter::~QVExcelPDFExporter() {
    currentPage_ = nullptr;
    pdfConverter_.reset();
    QVExcelManager::destory();
}

void QVExcelPDFExporter::begainConvertPDF(const std::string& outputPath) {
    QVExcelManager::reset();
    runTextCount_ = 0;
    currentPage_ = nullptr;
    pdfConverter_.reset();
    pdfConverter_ = std::make_unique<QVExcelWriter>(outputPath, numberOfPagesToConvert(),
                                                    QVExcelWriter::formatForDocType(destDocType_),
                                                    pageFactory_);
    pdfConverter_->begainWriteDocument();
    isShouldCancel_ = false;
}

bool QVExcelPDFExporter::endConvertPDF(platform::PdfDocument& document) {
    if (!pdfConverter_)
        return false;
    pdfConverter_->endWriteDocument();
    if (pdfConverter_->packetExcelFile(&document))
        return true;
    // The driver's report is general; the cause (a full disk, a folder in the
    // way) travels as the exception it reports.
    if (!pdfConverter_->failureReason().empty())
        throw std::runtime_error(pdfConverter_->failureReason());
    return false;
}

std::optional<std::string> QVExcelPDFExporter::droppedPageTextReason() const {
    if (pageKeptText_ || !pageShowedText())
        return std::nullopt;
    return "its text is all vertical, slanted or mirrored, which this format leaves out";
}

void QVExcelPDFExporter::resetPageState() {
    nextCharFontSize_ = mainTextFontSize_ = 1.0;
    nextCharTransform_ = mainTextTransform_ = platform::AffineTransform::identity();
    isNotScanTextYet_ = true;
    pageKeptText_ = false;
    forgetTrailingBlanks();
    lastFace_ = {}; // the page's fonts may go with the page
}

double QVExcelPDFExporter::lastRunTextEnd() const {
    if (trailingBlankLength_ > 0)
        return trailingBlankStart_;
    if (!currentPage_ || currentPage_->allRunTextArray().empty())
        return 0.0;
    return currentPage_->allRunTextArray().back()->ctmInfo().xRight;
}

void QVExcelPDFExporter::forgetTrailingBlanks() {
    trailingBlankStart_ = 0;
    trailingBlankLength_ = 0;
    isLastRunClosed_ = false;
    isRunBeforeLastClosed_ = false;
}

void QVExcelPDFExporter::beginWriterPage(platform::Size pageSize) {
    currentPage_ = nullptr;
    forgetTrailingBlanks();
    if (!pdfConverter_)
        return;
    pdfConverter_->begainWritePage(pageSize);
    currentPage_ = dynamic_cast<QVExcelPage*>(pdfConverter_->currentPage().get());
}

void QVExcelPDFExporter::restartWriterPage(platform::Size) {
    // The sheet keeps its number; only what the first reading kept goes.
    forgetTrailingBlanks();
    if (currentPage_)
        currentPage_->allRunTextArray().clear();
}

void QVExcelPDFExporter::endWriterPage() {
    if (currentPage_) {
        dropOverprintedLastRun(currentPage_->allRunTextArray(), lastRunTextEnd());
        dropFarOverprints(currentPage_->allRunTextArray());
    }
    currentPage_ = nullptr;
    if (pdfConverter_)
        pdfConverter_->endWritePage();
}

// ---------------------------------------------------------------------------
// Geometry of the current text position

const QVExcelPDFExporter::FontFace&
QVExcelPDFExporter::faceOf(const std::shared_ptr<const QVPDFFont>& font) const {
    // Fonts are not changed after their parse, so the face of the same font
    // object is the same; holding it keeps its address from being reused.
    if (lastFace_.font == font)
        return lastFace_;
    const auto& descriptor = font->fontDescriptor();
    lastFace_.font = font;
    lastFace_.rFont = nameOrDefault(font->fontName());
    lastFace_.family = nameOrDefault(font->fontFamilyName());
    lastFace_.bold = QVPDFFontUtilities::isBoldFontName(font->fontName()) ||
                     (descriptor && descriptor->isBold());
    lastFace_.italic = QVPDFFontUtilities::isItalicFontName(font->fontName()) ||
                       (descriptor && descriptor->isItalic());
    return lastFace_;
}

QVExcelRunTextProperty QVExcelPDFExporter::currentRProperty() const {
    QVExcelRunTextProperty p;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s || !s->font())
        return p;
    const QVPDFFont& font = *s->font();

    // The size in whole points as the glyph box shows it. Small print keeps
    // its real size; only a layout that asks for the default size lifts it to
    // that default (its cells are written in that size anyway).
    double size = QVPDF_CTMFontSize(s->fontSize(), font.ascent(), font.descent(),
                                    currentDisplayTextTransform())
                      .width;
    if (!isFinite(size) || size < 1.0)
        size = 1.0;
    if (QVExcelManager::sharedInstance()->isNeedDefaultFontSize())
        size = std::max(size, 10.0);
    p.setSz(size);
    const FontFace& face = faceOf(s->font());
    p.setRFont(face.rFont);
    p.setFamily(face.family);
    p.setB(face.bold);
    p.setI(face.italic);
    // The fill colour through its colour space, so CMYK, spot and indexed
    // colours keep their hue.
    p.setRgbColor(rgbValue(s->currentFillRGBColor()));
    return p;
}

// ---------------------------------------------------------------------------
// Capture

void QVExcelPDFExporter::didScanText(QVPDFConentParser&, const std::u16string& text,
                                     platform::Size textOffset) {
    if (isShouldCancel_ || !currentPage_ || !currentPage_->isCollectingRunText())
        return;
    collectRunText(text, textOffset);
}

void QVExcelPDFExporter::collectRunText(const std::u16string& text, platform::Size textOffset) {
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s || text.empty())
        return;
    // Leading white space of a page (one blank or control character) is noise.
    if (isNotScanTextYet_ && text.size() == 1 && text[0] <= 0x20)
        return;

    const double size = s->fontSize(), ascent = fontAscent(*s), descent = fontDescent(*s);
    QVPDF_CTMInfo start = QVPDF_CTMInfoMake(size, ascent, descent, currentDisplayTextTransform());
    notePageTextGeometry(text, start);
    // Only upright, unmirrored, horizontal text reaches the grid. Text turned
    // slightly either way (a skewed scan) counts as horizontal.
    if (start.flip)
        return;
    if (!(start.rotation < kHorizontalTolerance || start.rotation > 360.0f - kHorizontalTolerance))
        return;
    start.rotation = 0;

    double wordSpace = 0;
    if (s->font())
        wordSpace = convertToDisplaySpaceWidth(s->font()->widthOfSpace() * size *
                                               s->horizontalScaling())
                        .width;
    if (!isFinite(wordSpace))
        wordSpace = 0;

    const platform::AffineTransform next = nextDisplayTextTransform(textOffset);
    const QVPDF_CTMInfo end = QVPDF_CTMInfoMake(size, ascent, descent, next);

    auto run = std::make_shared<QVExcelRunText>();
    run->setRPr(currentRProperty());
    run->setText(QVPDF_ExpandLigatures(text));
    QVPDF_CTMInfo geometry = start;
    geometry.xRight = end.topLeft.x;
    run->setCtmInfo(geometry);
    run->setTextWidth(std::fabs(end.topLeft.x - start.topLeft.x));
    // A degenerate matrix gives NaN or absurd coordinates; such a run would
    // make the analysis's orderings meaningless.
    if (!isPlausibleRun(*run))
        return;
    if (isBlankText(run->text())) {
        // Blanks are no cell content: they only carry the word before them
        // on to a word that touches their end.
        nextCharTransform_ = mainTextTransform_ = next;
        nextCharFontSize_ = mainTextFontSize_ = size;
        nextCharCTMInfo_ = mainTextCTMInfo_ = end;
        const double em =
            s->font() ? convertToDisplaySpaceWidth(size * s->horizontalScaling()).width : 0;
        addTrailingBlanks(*run, isFinite(em) ? em : 0);
        return;
    }

    isNotScanTextYet_ = false;
    pageKeptText_ = true;
    nextCharTransform_ = mainTextTransform_ = next;
    nextCharFontSize_ = mainTextFontSize_ = size;
    nextCharCTMInfo_ = mainTextCTMInfo_ = end;
    run->setDrawIndex(runTextCount_++);

    addToAllRunTextArray(run, wordSpace);

    const QVExcelRunTextProperty& p = run->rPr();
    QVExcel_Font record;
    record.sz = p.sz();
    record.name = p.rFont();
    record.b = p.b();
    record.i = p.i();
    auto styleFont = std::make_shared<QVExcelStyleFont>(record, p.rgbColor().value_or(0));
    if (auto style = QVExcelManager::sharedInstance()->excelStyle())
        style->collectFonts(styleFont);
}

bool QVExcelPDFExporter::isPlausibleRun(const QVExcelRunText& run) const {
    const QVPDF_CTMInfo& g = run.ctmInfo();
    const platform::Size page = currentPageMediaBox().size;
    auto within = [](double v, double extent) {
        return isFinite(v) && v >= -kFarOffPage && v <= extent + kFarOffPage;
    };
    return within(g.xLeft, page.width) && within(g.xRight, page.width) &&
           within(g.topLeft.x, page.width) && within(g.bottomLeft.x, page.width) &&
           within(g.yTop, page.height) && within(g.yAscent, page.height) &&
           within(g.yBase, page.height) && within(g.yDescent, page.height) &&
           within(g.yBottom, page.height) && within(g.topLeft.y, page.height) &&
           within(g.bottomLeft.y, page.height) && isFinite(run.textWidth()) &&
           isFinite(g.fontSize.width) && isFinite(g.fontSize.height);
}

void QVExcelPDFExporter::addTrailingBlanks(const QVExcelRunText& blanks, double em) {
    QVExcelPage::RunList& runs = currentPage_->allRunTextArray();
    if (runs.empty() || isLastRunClosed_)
        return;
    QVExcelRunText& last = *runs.back();
    QVPDF_CTMInfo g = last.ctmInfo();
    const QVPDF_CTMInfo& b = blanks.ctmInfo();
    if (std::fabs(b.yBase - g.yBase) >= kJoinTolerance ||
        std::fabs(b.xLeft - g.xRight) >= kJoinTolerance)
        return;
    if (trailingBlankLength_ == 0) {
        trailingBlankStart_ = g.xRight;
        trailingBlankWidth_ = last.textWidth();
    }
    trailingBlankLength_ += blanks.text().size();
    last.appendText(blanks.text());
    last.setTextWidth(last.textWidth() + blanks.textWidth());
    g.xRight = b.xRight;
    if (std::fabs(g.xRight - trailingBlankStart_) > kWideBlankEms * em) {
        // Layout space: the blanks are cut off and nothing joins the word any more.
        last.keepText(0, last.text().size() - trailingBlankLength_);
        last.setTextWidth(trailingBlankWidth_);
        g.xRight = trailingBlankStart_;
        trailingBlankLength_ = 0;
        isLastRunClosed_ = true;
    }
    last.setCtmInfo(g);
}

void QVExcelPDFExporter::addToAllRunTextArray(const std::shared_ptr<QVExcelRunText>& run,
                                              double wordSpace) {
    QVExcelPage::RunList& runs = currentPage_->allRunTextArray();
    bool closed = isLastRunClosed_;
    const double lastEnd = lastRunTextEnd();
    trailingBlankLength_ = 0;
    isLastRunClosed_ = false;
    // An overprint goes before anything can join it: glyphs drawn twice in a
    // scrambled order would otherwise join their copies ("3" "3" "0" read "30"
    // beside "3").
    if (dropOverprintedLastRun(runs, lastEnd)) {
        closed = isRunBeforeLastClosed_;
        isRunBeforeLastClosed_ = true; // not known any more: nothing joins it
    }
    if (!runs.empty() && !closed && isInitialLetter(*runs.back(), *run)) {
        // The word takes the letter in front and keeps its own line and properties.
        const QVPDF_CTMInfo& cap = runs.back()->ctmInfo();
        QVPDF_CTMInfo g = run->ctmInfo();
        run->setTextWidth(run->textWidth() + (g.xLeft - cap.xLeft));
        g.xLeft = cap.xLeft;
        g.topLeft.x = cap.topLeft.x;
        g.bottomLeft.x = cap.bottomLeft.x;
        run->setCtmInfo(g);
        std::u16string word = run->text();
        run->setText(runs.back()->text());
        run->appendText(word);
        runs.back() = run;
        return;
    }
    if (!runs.empty() && !closed) {
        QVExcelRunText& last = *runs.back();
        const QVPDF_CTMInfo& a = last.ctmInfo();
        const QVPDF_CTMInfo& b = run->ctmInfo();
        const double gap = b.xLeft - a.xRight;
        const double spacedGap = b.xLeft - wordSpace - a.xRight;
        const double shift = b.yBase - a.yBase;
        if (std::fabs(shift) < kJoinTolerance && last.rPr().isEqualToRPr(run->rPr())) {
            bool joined = false;
            if (std::fabs(gap) < kJoinTolerance) {
                last.appendText(run->text());
                last.setTextWidth(last.textWidth() + run->textWidth());
                joined = true;
            } else if (std::fabs(spacedGap) < kJoinTolerance &&
                       !isGapFilled(runs, a.xRight, *run)) {
                if (isNumberPair(last, *run)) {
                    // One grouped number or two tight columns: the table
                    // analysis tells which, once it sees the whole page.
                    run->holdJoin(wordSpace);
                    if (runs.size() >= kMaxRunsPerPage)
                        throw platform::PdfBudgetExceeded("The page has more than " +
                                                          std::to_string(kMaxRunsPerPage) +
                                                          " text runs.");
                    isRunBeforeLastClosed_ = closed;
                    runs.push_back(run);
                    return;
                }
                last.appendText(u" ");
                last.appendText(run->text());
                last.setTextWidth(last.textWidth() + run->textWidth() + wordSpace);
                joined = true;
            } else if (gap > 0 && gap < kLeaderGapEms * (b.yBottom - b.yTop) &&
                       isLeaderDots(run->text()) && endsInLeaderDot(last.text()) &&
                       !isGapFilled(runs, a.xRight, *run)) {
                // Leader dots spaced on the page keep a space for each gap.
                last.appendText(u" ");
                last.appendText(run->text());
                last.setTextWidth(last.textWidth() + run->textWidth() + gap);
                joined = true;
            }
            if (joined) {
                QVPDF_CTMInfo g = a;
                g.xRight = b.xRight;
                last.setCtmInfo(g);
                return;
            }
        }
    }
    if (runs.size() >= kMaxRunsPerPage)
        throw platform::PdfBudgetExceeded("The page has more than " +
                                          std::to_string(kMaxRunsPerPage) + " text runs.");
    isRunBeforeLastClosed_ = closed;
    runs.push_back(run);
}

bool QVExcelPDFExporter::isInitialLetter(const QVExcelRunText& letter, const QVExcelRunText& word) {
    // One Latin letter before a word that goes on in Latin letters: drop caps
    // begin words of alphabetic scripts (a letter before a number is a label).
    auto isLatinLetter = [](char16_t c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
               (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
    };
    if (letter.text().size() != 1 || !isLatinLetter(letter.text()[0]) || word.text().empty() ||
        !isLatinLetter(word.text()[0]))
        return false;
    const double wordSize = word.rPr().sz();
    if (!(letter.rPr().sz() >= kInitialLetterScale * wordSize))
        return false;
    const QVPDF_CTMInfo& a = letter.ctmInfo();
    const QVPDF_CTMInfo& b = word.ctmInfo();
    const double gap = b.xLeft - a.xRight;
    // The word starts right after the letter, on a line within the letter's height.
    return gap > -kJoinTolerance && gap < std::max(kJoinTolerance, 0.5 * wordSize) &&
           b.yBase > a.yTop && b.yBase < a.yBase + kJoinTolerance;
}

uint64_t QVExcelPDFExporter::lookOf(const QVExcelRunTextProperty& p) {
    const uint32_t rgb = p.rgbColor().value_or(0);
    return QVOverprintIndex::lookOf(p.sz(), int32_t(rgb >> 16 & 0xFF), int32_t(rgb >> 8 & 0xFF),
                                    int32_t(rgb & 0xFF));
}

bool QVExcelPDFExporter::isOverprintOf(const QVExcelRunText& run, double runTextEnd,
                                       const QVExcelRunText& earlier) {
    const QVPDF_CTMInfo& a = run.ctmInfo();
    const QVPDF_CTMInfo& b = earlier.ctmInfo();
    // The place first: it rules out nearly every pair, and costs least.
    return QVOverprint::isOverprintOf({run.text(), a.xLeft, a.xRight, runTextEnd, a.yBase},
                                      {earlier.text(), b.xLeft, b.xRight, b.xRight, b.yBase}) &&
           run.rPr().rgbColor().has_value() == earlier.rPr().rgbColor().has_value() &&
           QVOverprintIndex::isSameLook(lookOf(run.rPr()), lookOf(earlier.rPr()));
}

bool QVExcelPDFExporter::mayHoldOverprints(
    const std::vector<std::shared_ptr<QVExcelRunText>>& runs) {
    // A copy starts or ends within a point of the run under it, on a baseline
    // within a point. Places as keys on lines two points high, sorted: two
    // starts (or ends) on one line less than a point apart are next to each
    // other. A place in the upper point of its line is also put on the next
    // line, so baselines less than a point apart always share one. Most pages
    // have no such pair and skip the index. Plausible runs lie within 30000
    // points of the page, so the biased values stay positive.
    constexpr double kUnits = 1024.0; // key units per point
    constexpr double kBias = double(1 << 20);
    const auto add = [this](uint64_t line, double x) {
        placeKeys_.push_back(line << 32 | uint64_t(uint32_t((x + kBias) * kUnits)));
    };
    for (const bool starts : {true, false}) {
        placeKeys_.clear();
        for (const auto& run : runs) {
            const QVPDF_CTMInfo& g = run->ctmInfo();
            const double x = starts ? g.xLeft : g.xRight;
            const double line = (g.yBase + kBias) / 2;
            const auto cell = uint64_t(line);
            add(cell, x);
            if (line - double(cell) > 0.5)
                add(cell + 1, x);
        }
        std::sort(placeKeys_.begin(), placeKeys_.end());
        for (size_t i = 1; i < placeKeys_.size(); ++i)
            if (placeKeys_[i] >> 32 == placeKeys_[i - 1] >> 32 &&
                (placeKeys_[i] & 0xFFFFFFFF) - (placeKeys_[i - 1] & 0xFFFFFFFF) <= kUnits + 1)
                return true;
    }
    return false;
}

void QVExcelPDFExporter::dropFarOverprints(std::vector<std::shared_ptr<QVExcelRunText>>& runs) {
    if (!mayHoldOverprints(runs))
        return;
    // The runs in the order they were drawn, each judged against every run
    // kept before it on the page. A one-glyph run the index keeps only
    // tentatively is taken back when the next run's verdict says so.
    overprints_.clear();
    size_t kept = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const QVPDF_CTMInfo& g = runs[i]->ctmInfo();
        const QVOverprintIndex::Verdict verdict = overprints_.judge(
            {runs[i]->text(), g.xLeft, g.xRight, g.xRight, g.yBase}, lookOf(runs[i]->rPr()));
        if (verdict.dropTentative && kept > 0)
            --kept;
        if (!verdict.drop) {
            if (kept != i)
                runs[kept] = std::move(runs[i]);
            ++kept;
        }
    }
    runs.resize(kept);
    overprints_.clear();
}

bool QVExcelPDFExporter::dropOverprintedLastRun(std::vector<std::shared_ptr<QVExcelRunText>>& runs,
                                                double lastTextEnd) {
    if (runs.size() < 2)
        return false;
    const QVExcelRunText& last = *runs.back();
    const size_t first =
        runs.size() > kOverprintWindow + 1 ? runs.size() - 1 - kOverprintWindow : 0;
    for (size_t i = runs.size() - 1; i-- > first;) {
        if (isOverprintOf(last, lastTextEnd, *runs[i])) {
            runs.pop_back();
            return true;
        }
    }
    return false;
}

bool QVExcelPDFExporter::isGapFilled(const std::vector<std::shared_ptr<QVExcelRunText>>& runs,
                                     double gapStart, const QVExcelRunText& run) {
    // Glyphs drawn out of order: a comma drawn before the digits on either
    // side of it is no word gap.
    const QVPDF_CTMInfo& b = run.ctmInfo();
    const size_t first =
        runs.size() > kOverprintWindow + 1 ? runs.size() - 1 - kOverprintWindow : 0;
    for (size_t i = runs.size() - 1; i-- > first;) {
        const QVPDF_CTMInfo& g = runs[i]->ctmInfo();
        const double middle = 0.5 * (g.xLeft + g.xRight);
        if (std::fabs(g.yBase - b.yBase) < kJoinTolerance && middle > gapStart && middle < b.xLeft)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Cell fills

void QVExcelPDFExporter::didScanPath(QVPDFConentParser&, const platform::Path& path, bool,
                                     bool fill) {
    auto manager = QVExcelManager::sharedInstance();
    if (!manager->isNeedCollectCGPaths())
        return;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!s || path.isEmpty())
        return;
    const platform::Path display = path.transformed(s->ctm().concat(currentPageTransform()));
    if (!fill || !manager->isNeedCollectFills())
        return;
    collectFills(display);
}

void QVExcelPDFExporter::collectFills(const platform::Path& displayPath) {
    // The box of the path's own points; control points of curves do not count.
    bool any = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (const platform::PathElement& e : displayPath.elements()) {
        const int n = platform::pointCountOf(e.type);
        if (n == 0)
            continue;
        const platform::Point& p = e.points[n - 1];
        if (!any) {
            minX = maxX = p.x;
            minY = maxY = p.y;
            any = true;
        } else {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    }
    if (!any || !isFinite(minX) || !isFinite(minY) || !isFinite(maxX) || !isFinite(maxY))
        return;
    const double width = maxX - minX, height = maxY - minY;
    if (!isFinite(width) || !isFinite(height) || width < kMinFillSide || height < kMinFillSide)
        return;

    const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
    const QVPDFRGB rgb = s->currentFillRGBColor();
    QVDeviceColor color;
    color.model = QVDeviceColor::Model::RGB;
    color.components = {std::clamp(rgb.r, 0, 255) / 255.0, std::clamp(rgb.g, 0, 255) / 255.0,
                        std::clamp(rgb.b, 0, 255) / 255.0, s->currentFillAlpha()};
    if (QVHexColor::isBlackColor(color))
        return;
    auto style = QVExcelManager::sharedInstance()->excelStyle();
    if (!style)
        return;
    style->collectFills(
        QVExcelStyleFill::initWithFrame(platform::Rect{{minX, minY}, {width, height}}, color));
}
