// Painted paths and images of QVDocxPDFExporter: each becomes a floating
// shape or picture of the page, behind the text until the page end finds
// nothing painted later over it.
#include "docx/QVDocxPDFExporter.h"

#include "docx/QVDocxDrawCounters.h"
#include "docx/QVDocxPage.h"
#include "docx/QVDocxRunImage.h"
#include "docx/QVDocxRunPath.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/xobject/QVPDFImageXObject.h"

#include <cmath>

namespace {

// Shapes one page may hold: drawings of hundreds of thousands of strokes
// (maps, plots) would make a document no reader opens; the rest of such a
// page's paths are left out.
constexpr size_t kMaxPathsPerPage = 20'000;

bool isFinite(const platform::Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

// The tight box of the drawn outline: a curve's control points do not widen it.
platform::Rect outlineBox(const platform::Path& path) {
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    auto add = [&](platform::Point p) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    };
    platform::Point current{};
    for (const platform::PathElement& e : path.elements()) {
        switch (e.type) {
        case platform::PathElementType::MoveTo:
        case platform::PathElementType::LineTo:
            add(e.points[0]);
            current = e.points[0];
            break;
        case platform::PathElementType::QuadCurveTo:
        case platform::PathElementType::CurveTo: {
            const bool quad = e.type == platform::PathElementType::QuadCurveTo;
            const platform::Point p0 = current;
            const platform::Point p3 = quad ? e.points[1] : e.points[2];
            const platform::Point c1 =
                quad ? platform::Point{p0.x + 2.0 / 3 * (e.points[0].x - p0.x),
                                       p0.y + 2.0 / 3 * (e.points[0].y - p0.y)}
                     : e.points[0];
            const platform::Point c2 =
                quad ? platform::Point{p3.x + 2.0 / 3 * (e.points[0].x - p3.x),
                                       p3.y + 2.0 / 3 * (e.points[0].y - p3.y)}
                     : e.points[1];
            // Sampling the curve finely enough for a box within a hundredth of its size.
            for (int k = 0; k <= 32; ++k) {
                const double t = k / 32.0, u = 1 - t;
                add({u * u * u * p0.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x +
                         t * t * t * p3.x,
                     u * u * u * p0.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y +
                         t * t * t * p3.y});
            }
            current = p3;
            break;
        }
        case platform::PathElementType::Close:
            break;
        }
    }
    if (!(x1 >= x0) || !(y1 >= y0))
        return {{INFINITY, INFINITY}, {0, 0}};
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

} // namespace

void QVDocxPDFExporter::closeOpenTextForGraphics() {
    QVDocxPage* page = pdfConverter_->currentPage();
    if (!page->isUsingTextBox() && !page->isUsingTextPath())
        return;
    if (page->isUsingTextBox())
        endTextBoxWritingIfNeed();
    else
        endTextPathWritingIfNeed();
    nextCharFontSize_ = mainTextFontSize_;
    nextCharTransform_ = mainTextTransform_;
    nextCharCTMInfo_ = mainTextCTMInfo_;
}

void QVDocxPDFExporter::didScanPath(QVPDFConentParser&, const platform::Path& path, bool stroke,
                                    bool fill) {
    QVDocxPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || (!stroke && !fill) || page->runPathArray().size() >= kMaxPathsPerPage)
        return;
    const platform::AffineTransform t = s->ctm().concat(currentPageTransform());
    platform::Path display = path.transformed(t);
    if (display.isEmpty())
        return;
    const platform::Rect box = outlineBox(display);
    if (!isFinite(box) || std::fabs(box.origin.x) > kFarOffPage * 2 ||
        std::fabs(box.origin.y) > kFarOffPage * 2 || box.size.width > kFarOffPage * 4 ||
        box.size.height > kFarOffPage * 4)
        return;
    const QVPDFRGB fillColor = s->currentFillRGBColor();
    if (fill && !stroke && fillColor == QVPDFRGB{255, 255, 255}) {
        // A white page background paints nothing a document needs.
        const platform::Rect& m = currentPageMediaBox();
        if (box.minX() < m.minX() + 1.0 && box.minY() < m.minY() + 1.0 &&
            box.size.width > m.size.width - 1.0 && box.size.height > m.size.height - 1.0)
            return;
    }

    QVDocxPathInfo info;
    info.displayX = box.origin.x;
    info.displayY = box.origin.y;
    info.displayWidth = box.size.width;
    info.displayHeight = box.size.height;
    info.fillAlpha = static_cast<float>(s->currentFillAlpha());
    info.strokeAlpha = static_cast<float>(s->currentStrokeAlpha());
    info.stroked = stroke;
    info.filled = fill;
    // A line's width scales with the square root of the area factor, so a
    // turned or mirrored page keeps its line widths.
    const double scale = std::sqrt(std::fabs(t.determinant()));
    info.strokeweight = s->lineWidth() * (std::isfinite(scale) ? scale : 0);
    if (const auto& dash = s->lineDashPattern()) {
        // VML counts dashes in line widths.
        const double unit = s->lineWidth() > 0 ? s->lineWidth() : 1.0;
        std::vector<double> relative;
        double total = 0;
        for (double d : *dash) {
            const double r = std::fabs(d) / unit;
            relative.push_back(std::isfinite(r) ? r : 0);
            total += relative.back();
        }
        if (!relative.empty() && total > 0)
            info.strokeDashPattern = std::move(relative);
    }
    info.strokecolor = s->currentStrokeRGBColor();
    info.fillcolor = fillColor;

    closeOpenTextForGraphics();
    {
        // A path wholly outside the page shows nothing, but a reader still
        // lays it out against a page: one below the foot of the last page got
        // a blank page of its own. It still ends the text before it, as any
        // path does. (Display space: the page from 0,0.)
        const double w = page->sectProperty().pgSz.w, h = page->sectProperty().pgSz.h;
        const double reach = stroke ? s->lineWidth() * std::sqrt(std::fabs(t.determinant())) / 2 : 0.0;
        const double r = std::isfinite(reach) ? reach : 0.0;
        if (box.maxX() + r < 0 || box.minX() - r > w || box.maxY() + r < 0 || box.minY() - r > h)
            return;
    }
    auto run = std::make_shared<QVDocxRunPath>();
    run->setDrawIndex(QVDocx_NextDrawIndex++);
    run->setPictZIndex(QVDocx_NextPictZIndex++);
    run->setRunCGPath(std::move(display));
    run->setPictInfo(std::move(info));
    run->setRProperty(currentRProperty());
    page->runPathArray().push_back(std::move(run));
}

void QVDocxPDFExporter::didScanXObjectImage(QVPDFConentParser&,
                                            const std::shared_ptr<const QVPDFImageXObject>& image) {
    QVDocxPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || !image || !image->cachedImagePath() || image->cachedImagePath()->empty())
        return;
    auto placed =
        QVPDFImageCapture::captureImage(*image->cachedImagePath(), *s, currentPageTransform(),
                                        currentPageMediaBox(), &derivedImages_);
    if (!placed)
        return; // the clip hides it
    const platform::Rect box = placed->coveredRect();
    if (!isFinite(box) || std::fabs(box.origin.x) > kFarOffPage * 2 ||
        std::fabs(box.origin.y) > kFarOffPage * 2)
        return;
    closeOpenTextForGraphics();
    auto run = std::make_shared<QVDocxRunImage>();
    run->setRunImageID(pdfConverter_->collectImageWithPath(placed->mediaPath));
    run->setDrawIndex(QVDocx_NextDrawIndex++);
    run->setPictZIndex(QVDocx_NextPictZIndex++);
    run->setRunImageTitle(placed->imageTitle);
    run->setPictInfo(std::move(*placed));
    run->setRProperty(currentRProperty());
    page->runImageArray().push_back(std::move(run));
}
