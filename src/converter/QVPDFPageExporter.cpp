#include "converter/QVPDFPageExporter.h"

#include "pdf/QVPDFPageGeometry.h"
#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/QVPDFPageBudget.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontCache.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"

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

    resetPageState();
    renderingStateStack_ = std::make_shared<RenderingStateStack>();
    if (!fontCache_ || fontCacheDocument_.lock() != page->documentImpl()) {
        fontCache_ = std::make_shared<QVPDFFontCache>();
        fontCacheDocument_ = page->documentImpl();
    }
    beginWriterPage(currentPageMediaBox_.size);
    {
        WriterPageGuard guard(*this,
                              [](QVPDFPageExporter& e) { QVPDFPageExporterAccess::endPage(e); });
        QVPDFConentParser parser(page->dictionary(), content);
        parser.setDelegate(this);
        parser.setRenderingStateStack(renderingStateStack_);
        parser.setFontCache(fontCache_);
        parser.startParser();
        closeOpenObjects();
    }
    endWriterPage();
    return true;
}

// ---------------------------------------------------------------------------
// Geometry of the current text position

platform::AffineTransform QVPDFPageExporter::currentDisplayTextTransform() const {
    const QVPDFRenderState* s =
        renderingStateStack_ ? renderingStateStack_->topRenderingState() : nullptr;
    if (!s)
        return currentPageTransform_;
    return s->textMatrix().concat(s->ctm()).concat(currentPageTransform_);
}

platform::AffineTransform QVPDFPageExporter::nextDisplayTextTransform(platform::Size offset) const {
    const QVPDFRenderState* s =
        renderingStateStack_ ? renderingStateStack_->topRenderingState() : nullptr;
    if (!s)
        return currentPageTransform_;
    return platform::AffineTransform::makeTranslation(offset.width, offset.height)
        .concat(s->textMatrix())
        .concat(s->ctm())
        .concat(currentPageTransform_);
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
