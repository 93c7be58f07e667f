// The slide exporter's captures of painted paths and drawn images.
#include "pptx/QVPPTXPDFExporter.h"

#include "converter/QVPDFImageCapture.h"
#include "pdf/QVPDFCGPathUtilities.h"
#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/image/PngCodec.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "pptx/QVPPTXFreeform.h"
#include "pptx/QVPPTXPage.h"
#include "pptx/QVPPTXPicture.h"
#include "pptx/QVPPTXUtilities.h"

#include <cerrno>
#include <cmath>
#include <iostream>

namespace {

uint32_t rgbValue(const QVPDFRGB& c) {
    auto channel = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

void appendShape(QVPPTXPage& page, std::shared_ptr<QVPPTXShape> shape) {
    if (page.sharepsArr().size() >= QVPPTXPage::kMaxShapesPerSlide)
        throw platform::PdfBudgetExceeded("The page has more than " +
                                          std::to_string(QVPPTXPage::kMaxShapesPerSlide) +
                                          " shapes.");
    page.sharepsArr().push_back(std::move(shape));
}

// The page's clip paths in display space with their even-odd rule.
std::vector<std::pair<platform::Path, bool>> displayClips(const QVPDFRenderState& s,
                                                          const platform::AffineTransform& T) {
    std::vector<std::pair<platform::Path, bool>> clips;
    for (const QVPDFClipPath& clip : s.clipBezierPaths())
        if (auto path = QVPDFCGPathUtilities::CGPathWithNSArray(clip.path)) {
            platform::Path display = path->transformed(T);
            const platform::Rect b = display.boundingBox();
            if (std::isfinite(b.origin.x) && std::isfinite(b.origin.y) &&
                std::isfinite(b.size.width) && std::isfinite(b.size.height))
                clips.emplace_back(std::move(display), clip.evenOdd);
        }
    return clips;
}

} // namespace

void QVPPTXPDFExporter::didScanPath(QVPDFConentParser&, const platform::Path& path, bool stroke,
                                    bool fill) {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || path.isEmpty() || (!stroke && !fill))
        return;
    const platform::AffineTransform T = s->ctm().concat(slideTransform());
    platform::Path P = path.transformed(T);
    const platform::Rect B = P.boundingBox();
    if (!isOnSlide(B))
        return;
    // A path the clip cuts is pictured as far as the clip lets it show; one
    // wholly outside the clip is left out.
    const auto clips = displayClips(*s, slideTransform());
    const double det = T.determinant();
    const double scale = std::isfinite(det) ? std::sqrt(std::fabs(det)) : 0;
    const double width = std::isfinite(s->lineWidth()) ? std::fabs(s->lineWidth()) : 0;
    const double reach = stroke ? width * scale / 2 : 0;
    bool cut = false;
    for (const auto& clip : clips) {
        const platform::Rect c = clip.first.boundingBox();
        if (B.maxX() + reach < c.minX() || B.minX() - reach > c.maxX() ||
            B.maxY() + reach < c.minY() || B.minY() - reach > c.maxY())
            return;
        constexpr double kSlack = 0.5;
        cut = cut || B.minX() - reach < c.minX() - kSlack || B.maxX() + reach > c.maxX() + kSlack ||
              B.minY() - reach < c.minY() - kSlack || B.maxY() + reach > c.maxY() + kSlack;
    }
    if (cut || path.elements().size() >= kRasterElements) {
        useCGPathToImage(path, stroke, fill, cut ? clips : decltype(clips){});
        return;
    }
    const QVPDFRGB fillColour = s->currentFillRGBColor();
    if (fill && !stroke && fillColour.r >= 255 && fillColour.g >= 255 && fillColour.b >= 255) {
        // A white box over the whole page is its background.
        const platform::Rect M = slideFit_.applyToRect(currentPageMediaBox());
        if (B.origin.x < M.origin.x + 1.0 && B.origin.y < M.origin.y + 1.0 &&
            B.size.width > M.size.width - 1.0 && B.size.height > M.size.height - 1.0)
            return;
    }
    auto info = std::make_shared<QVPPTXFreeformInfo>();
    info->setDisplayRect(B);
    info->fillAlphaValue = static_cast<float>(s->currentFillAlpha());
    info->strokeAlphaValue = static_cast<float>(s->currentStrokeAlpha());
    info->stroked = stroke;
    info->filled = fill;
    // Widths scale by the transform's mean scale, which a turn or a mirror
    // does not change.
    info->strokeweight = width * scale;
    if (s->lineDashPattern() && !s->lineDashPattern()->empty()) {
        // Dash lengths in line widths; a line of width 0 is drawn one point wide.
        const double unit = width > 0 ? width : (scale > 0 ? 1.0 / scale : 1.0);
        std::vector<double> dashes;
        for (double d : *s->lineDashPattern())
            dashes.push_back(d / unit);
        info->strokeDashPattern = dashes;
    }
    info->strokeDashPhase = static_cast<int64_t>(
        std::isfinite(s->lineDashPhase()) ? std::clamp(s->lineDashPhase(), -1e15, 1e15) : 0);
    info->lineCap = s->lineCapStyle();
    info->lineJoin = s->lineJoinStyle();
    info->strokecolor = stroke ? rgbValue(s->currentStrokeRGBColor()) : 0xffffff;
    info->fillcolor = fill ? rgbValue(fillColour) : 0xffffff;

    endTextBoxWritingIfNeed();
    auto shape = std::make_shared<QVPPTXFreeform>();
    shape->setRunCGPath(std::move(P));
    shape->setSpInfo(info);
    shape->paragraphs().push_back(std::make_shared<QVPPTXParagraph>());
    appendShape(*page, shape);
}

void QVPPTXPDFExporter::useCGPathToImage(
    const platform::Path& userPath, bool stroke, bool fill,
    const std::vector<std::pair<platform::Path, bool>>& displayClips) {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s)
        return;
    const platform::AffineTransform T = s->ctm().concat(slideTransform());
    auto pieces = QVPPTXUtilities::makeCGPathToPictures(userPath, *s, T, stroke, fill,
                                                        s->usesEvenOddFillRule(), displayClips,
                                                        pagePixelBudget_);
    if (pieces.empty())
        return;
    const std::string folder = pdfConverter_->imageFolder();
    if (!platform::createDirectories(folder))
        return;
    for (const QVPPTXUtilities::PathPicture& piece : pieces) {
        auto png = platform::encodePngCompact(piece.image, 72, 72);
        if (!png)
            continue;
        // Made by this conversion alone: written straight, under the first
        // free name after the last one taken.
        std::string file;
        while (file.empty() && lastPathPicture_ < 99999999) {
            const std::string candidate =
                folder + "/image" + platform::formatInteger(++lastPathPicture_) + ".png";
            if (platform::writeNewFile(candidate, *png))
                file = candidate;
            else if (errno != EEXIST)
                break;
        }
        if (file.empty()) {
            std::cerr << "Couldn't write image to file!\n";
            continue;
        }
        endTextBoxWritingIfNeed();
        auto id = pdfConverter_->collectImageWithPath(file);
        if (!id)
            continue;
        auto info = std::make_shared<QVPPTXImageInfo>();
        info->imageInfoWithOrigin(piece.box.origin, piece.box.size);
        auto picture = std::make_shared<QVPPTXPicture>();
        picture->setPictInfo(info);
        picture->setRunImageID(*id);
        appendShape(*page, picture);
    }
}

void QVPPTXPDFExporter::didScanXObjectImage(QVPDFConentParser&,
                                            const std::shared_ptr<const QVPDFImageXObject>& image) {
    QVPPTXPage* page = pdfConverter_ ? pdfConverter_->currentPage() : nullptr;
    const QVPDFRenderState* s =
        renderingStateStack() ? renderingStateStack()->topRenderingState() : nullptr;
    if (!page || !s || !image || !image->cachedImagePath() || image->cachedImagePath()->empty())
        return;
    // The page's box on the slide: a clip cut-out never reaches past it.
    const platform::Rect pageBox = slideFit_.applyToRect(currentPageMediaBox());
    auto placement = QVPDFImageCapture::captureImage(*image->cachedImagePath(), *s,
                                                     slideTransform(), pageBox, &derivedImages_);
    if (!placement || !isOnSlide(placement->displayRect()))
        return;
    endTextBoxWritingIfNeed();
    auto id = pdfConverter_->collectImageWithPath(placement->mediaPath);
    if (!id)
        return;
    auto info = std::make_shared<QVPPTXImageInfo>();
    info->setDisplayRect(placement->displayRect());
    info->rotation = placement->rotation;
    info->flipY = placement->flipY;
    info->opacity = placement->opacity;
    auto picture = std::make_shared<QVPPTXPicture>();
    picture->setPictInfo(info);
    picture->setRunImageID(*id);
    appendShape(*page, picture);
}
