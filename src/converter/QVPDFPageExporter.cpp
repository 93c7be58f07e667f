#include "converter/QVPDFPageExporter.h"

#include "pdf/QVPDFPageGeometry.h"
#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/QVPDFPageBudget.h"
#include "pdf/content/QVPDFTextCharacters.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontCache.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace {
// Ends the writer's page if the content run leaves by an exception; an
// exception from ending the page then is dropped in favour of the first one.
class WriterPageGuard {
public:
    explicit WriterPageGuard(QVPDFPageExporter& e, void (*end)(QVPDFPageExporter&))
        : exporter_(e), end_(end), exceptions_(std::uncaught_exceptions()) {}
    ~WriterPageGuard() {
        if (std::uncaught_exceptions() > exceptions_) {
            try {
                end_(exporter_);
            } catch (...) {
            }
        }
    }

private:
    QVPDFPageExporter& exporter_;
    void (*end_)(QVPDFPageExporter&);
    int exceptions_;
};
} // namespace

struct QVPDFPageExporterAccess {
    static void endPage(QVPDFPageExporter& e) { e.endWriterPage(); }
};

namespace {
// A string shows text when it holds a character that is no blank.
bool showsText(const std::u16string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return c > 0x20 && !QVPDF_IsWhitespaceCharacter(c); });
}
} // namespace

// Stands between the interpreter and the exporter, counting the page's
// strings of visible text for every format alike.
class QVPDFPageTextCounter final : public QVPDFConentParserDelegate {
public:
    explicit QVPDFPageTextCounter(QVPDFPageExporter& e) : exporter_(e) {}
    void didScanText(QVPDFConentParser& parser, const std::u16string& text,
                     platform::Size textOffset) override {
        if (exporter_.isTextOffPage(textOffset))
            return;
        if (showsText(text))
            ++exporter_.pageVisibleStrings_;
        exporter_.didScanText(parser, text, textOffset);
    }
    void didScanPath(QVPDFConentParser& parser, const platform::Path& path, bool stroke,
                     bool fill) override {
        exporter_.didScanPath(parser, path, stroke, fill);
    }
    void didScanXObjectImage(QVPDFConentParser& parser,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override {
        exporter_.didScanXObjectImage(parser, image);
    }
    bool wantsImageFiles() const override { return exporter_.wantsImageFiles(); }

private:
    QVPDFPageExporter& exporter_;
};

bool QVPDFPageExporter::convertPDFPage(const platform::PdfPage* page) {
    if (!page)
        return false;
    auto content = std::make_shared<platform::PdfContentStream>(
        page->documentImpl(), page->contentData(QVPDFPageBudget::kMaxContentBytes));

    long long rotation = page->rotation() % 360;
    if (rotation < 0)
        rotation += 360;
    currentPageRotation_ = static_cast<int>(rotation);
    currentPageMediaBox_ = QVPDFUtilities::MediaBoxOfPDFPage(*page);
    platform::Point origin{0, 0};
    if (auto raw = page->mediaBox())
        origin = raw->origin;
    currentPageTransform_ =
        platform::AffineTransform::makeTranslation(-origin.x, -origin.y)
            .concat(QVPDF_PageDisplayTransform(currentPageRotation_, currentPageMediaBox_.size));

    if (!fontCache_ || fontCacheDocument_.lock() != page->documentImpl()) {
        fontCache_ = std::make_shared<QVPDFFontCache>();
        fontCacheDocument_ = page->documentImpl();
    }
    beginWriterPage(currentPageMediaBox_.size);
    {
        WriterPageGuard guard(*this,
                              [](QVPDFPageExporter& e) { QVPDFPageExporterAccess::endPage(e); });
        interpretPage(*page, content);
        if (const int turn = readsPageInTextOrientation() ? pageTextTurn() : 0) {
            // Nothing of the page was kept the first time (none of its text
            // was level): it is read again, turned.
            turnPageFrame(turn);
            restartWriterPage(currentPageMediaBox_.size);
            interpretPage(*page, content);
        }
    }
    endWriterPage();
    return true;
}

void QVPDFPageExporter::interpretPage(const platform::PdfPage& page,
                                      const std::shared_ptr<platform::PdfContentStream>& content) {
    resetPageState();
    pageVisibleStrings_ = 0;
    std::fill(std::begin(pageTextAngles_), std::end(pageTextAngles_), 0);
    renderingStateStack_ = std::make_shared<RenderingStateStack>();
    QVPDFPageTextCounter counter(*this);
    QVPDFConentParser parser(page.dictionary(), content);
    parser.setDelegate(&counter);
    parser.setRenderingStateStack(renderingStateStack_);
    parser.setFontCache(fontCache_);
    parser.startParser();
    closeOpenObjects();
}

void QVPDFPageExporter::notePageTextGeometry(const std::u16string& text,
                                             const QVPDF_CTMInfo& geometry) {
    if (!showsText(text))
        return;
    const float r = geometry.rotation;
    const auto near = [r](float angle) { return std::fabs(r - angle) < kTextAngleTolerance; };
    size_t bin = 4; // mirrored or slanted
    if (!geometry.flip) {
        if (near(0) || near(360))
            bin = 0;
        else if (near(90))
            bin = 1;
        else if (near(180))
            bin = 2;
        else if (near(270))
            bin = 3;
    }
    ++pageTextAngles_[bin];
}

int QVPDFPageExporter::pageTextTurn() const {
    // All of the text at one of the three angles: a page with any level,
    // slanted or mirrored text beside it stays as it is shown.
    if (pageTextAngles_[0] > 0 || pageTextAngles_[4] > 0)
        return 0;
    int turn = 0;
    for (int k = 1; k <= 3; ++k) {
        if (pageTextAngles_[k] == 0)
            continue;
        if (turn != 0)
            return 0;
        turn = 90 * k;
    }
    return turn;
}

void QVPDFPageExporter::turnPageFrame(int turn) {
    // Display space turned back by the text's angle (clockwise as shown,
    // y downward), then moved onto the page again; exact quarter turns
    // keep whole coordinates whole.
    const double w = currentPageMediaBox_.size.width, h = currentPageMediaBox_.size.height;
    platform::AffineTransform t = platform::AffineTransform::identity();
    platform::Size size{w, h};
    switch (turn) {
    case 90: // (x, y) -> (y, w - x)
        t = {0, -1, 1, 0, 0, w};
        size = {h, w};
        break;
    case 180: // (x, y) -> (w - x, h - y)
        t = {-1, 0, 0, -1, w, h};
        break;
    case 270: // (x, y) -> (h - y, x)
        t = {0, 1, -1, 0, h, 0};
        size = {h, w};
        break;
    default:
        return;
    }
    currentPageTransform_ = currentPageTransform_.concat(t);
    currentPageMediaBox_.size = size;
}

// ---------------------------------------------------------------------------
// Geometry of the current text position

platform::AffineTransform QVPDFPageExporter::currentDisplayTextTransform() const {
    const QVPDFRenderState* s =
        renderingStateStack_ ? renderingStateStack_->topRenderingState() : nullptr;
    if (!s)
        return currentPageTransform_;
    return s->glyphTransform().concat(s->textMatrix()).concat(s->ctm()).concat(currentPageTransform_);
}

platform::AffineTransform QVPDFPageExporter::nextDisplayTextTransform(platform::Size offset) const {
    const QVPDFRenderState* s =
        renderingStateStack_ ? renderingStateStack_->topRenderingState() : nullptr;
    if (!s)
        return currentPageTransform_;
    return s->glyphTransform()
        .concat(platform::AffineTransform::makeTranslation(offset.width, offset.height))
        .concat(s->textMatrix())
        .concat(s->ctm())
        .concat(currentPageTransform_);
}

bool QVPDFPageExporter::isTextOffPage(platform::Size textOffset) const {
    const QVPDFRenderState* s =
        renderingStateStack_ ? renderingStateStack_->topRenderingState() : nullptr;
    if (!s)
        return false;
    const double size = s->fontSize();
    const double ascent = s->font() ? s->font()->ascent() : 0;
    const double descent = s->font() ? s->font()->descent() : 0;
    const QVPDF_CTMInfo from = QVPDF_CTMInfoMake(size, ascent, descent, currentDisplayTextTransform());
    const QVPDF_CTMInfo to =
        QVPDF_CTMInfoMake(size, ascent, descent, nextDisplayTextTransform(textOffset));
    const platform::Point corners[] = {from.topLeft, from.bottomLeft, to.topLeft, to.bottomLeft};
    double left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const platform::Point& c : corners) {
        // Geometry that is no number says nothing about where the text is.
        if (!std::isfinite(c.x) || !std::isfinite(c.y))
            return false;
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y);
    }
    const platform::Size page = currentPageMediaBox_.size;
    return right < 0 || bottom < 0 || left > page.width || top > page.height;
}

platform::Size QVPDFPageExporter::convertToDisplaySpaceWidth(double width) const {
    const QVPDFRenderState* s =
        renderingStateStack_ ? renderingStateStack_->topRenderingState() : nullptr;
    if (!s)
        return {0, 0};
    const double size = s->fontSize();
    const double ascent = s->font() ? s->font()->ascent() : 0;
    const double descent = s->font() ? s->font()->descent() : 0;
    const platform::Point from =
        QVPDF_CTMTopLeft(size, ascent, descent, currentDisplayTextTransform());
    const platform::Point to =
        QVPDF_CTMTopLeft(size, ascent, descent, nextDisplayTextTransform({width, 0}));
    return {std::fabs(to.x - from.x), std::fabs(to.y - from.y)};
}
