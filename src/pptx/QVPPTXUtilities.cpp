#include "pptx/QVPPTXUtilities.h"

#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFRenderState.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Resources.h"
#include "platform/image/Bitmap.h"

#include <algorithm>
#include <cmath>

QVPPTX_TxBodyPr QVPPTXUtilities::defaultTextBodyProperty() {
    QVPPTX_TxBodyPr b;
    b.warp = "none";
    b.anchor = "ctr";
    return b;
}

QVPPTX_PPr QVPPTXUtilities::defaultPProperty() {
    QVPPTX_PPr p;
    p.tabList = {0, "l"};
    p.algn = "ctr";
    p.endParaRPr = {"zh-CN", "en-US"};
    return p;
}

QVPPTX_RunPr QVPPTXUtilities::defaultRunProperty() {
    QVPPTX_RunPr r;
    r.lang = "en-US";
    r.altLang = "zh-CN";
    r.sz = 12;
    r.rgbColor = "000000";
    r.latin = {"Times New Roman", "18", "0"};
    r.cs = r.latin;
    return r;
}

std::string QVPPTXUtilities::roundedInteger(double value) {
    if (!std::isfinite(value))
        return "0";
    // The widest DrawingML coordinate (ST_Coordinate) is about 2.7e13.
    constexpr double kLimit = 27273042316900.0;
    return platform::formatInteger(
        static_cast<long long>(std::nearbyint(std::clamp(value, -kLimit, kLimit))));
}

std::string QVPPTXUtilities::getNewImagePath(const std::string& path) {
    const std::string folder = platform::deletingLastPathComponent(path);
    const std::string extension = platform::splitExtension(path).second;
    std::string candidate;
    for (long long n = 1; n <= 99999999; ++n) {
        candidate = folder + "/image" + platform::formatInteger(n) + "." + extension;
        if (!platform::pathExists(candidate))
            break;
    }
    return candidate;
}

namespace {

platform::Bitmap::Paint paintOf(const QVPDFRGB& c, double alpha) {
    auto channel = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    const double a = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 1.0;
    return {channel(c.r), channel(c.g), channel(c.b), static_cast<uint8_t>(std::lround(a * 255))};
}

bool finiteRect(const platform::Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

/// Display space onto a bitmap of `heightPixels` rows whose top-left pixel
/// corner is `origin`, `scale` pixels per point.
platform::AffineTransform displayToBitmap(platform::Point origin, double scale, int heightPixels) {
    return platform::AffineTransform::makeTranslation(-origin.x, -origin.y)
        .concat(platform::AffineTransform::makeScale(scale, -scale))
        .concat(platform::AffineTransform::makeTranslation(0, heightPixels));
}

} // namespace

std::optional<platform::RasterImage>
QVPPTXUtilities::makeCGPathToUIImage(const platform::Path& userPath, const QVPDFRenderState& state,
                                     const platform::AffineTransform& toDisplay, bool stroke,
                                     bool fill, bool evenOdd, platform::Rect& box,
                                     const std::vector<std::pair<platform::Path, bool>>& displayClips) {
    if (!stroke && !fill)
        return std::nullopt;
    const platform::Path displayPath = userPath.transformed(toDisplay);
    const double det = toDisplay.determinant();
    const double scaleOfLine = std::isfinite(det) ? std::sqrt(std::fabs(det)) : 0;
    const double lineWidth = std::isfinite(state.lineWidth()) ? std::fabs(state.lineWidth()) : 0;
    double pad = 1;
    if (stroke) {
        // Half the line, more at mitred corners (up to four widths, the miter
        // of corners sharper than that being cut off by most readers).
        const double half = lineWidth * scaleOfLine / 2;
        const double miter =
            state.lineJoinStyle() == 0 ? std::clamp(state.lineMiterLimit(), 1.0, 4.0) : 1.0;
        pad += half * miter;
    }
    platform::Rect b = displayPath.boundingBox();
    if (!finiteRect(b) || !std::isfinite(pad))
        return std::nullopt;
    box = {{b.origin.x - pad, b.origin.y - pad}, {b.size.width + 2 * pad, b.size.height + 2 * pad}};
    // Only what the clip lets through is pictured.
    for (const auto& clip : displayClips) {
        const platform::Rect c = clip.first.boundingBox();
        const double x0 = std::max(box.minX(), c.minX()), y0 = std::max(box.minY(), c.minY());
        const double x1 = std::min(box.maxX(), c.maxX()), y1 = std::min(box.maxY(), c.maxY());
        if (!(x1 > x0) || !(y1 > y0))
            return std::nullopt;
        box = {{x0, y0}, {x1 - x0, y1 - y0}};
    }
    if (!(box.size.width > 0) || !(box.size.height > 0))
        return std::nullopt;
    const double area = box.size.width * box.size.height;
    const double scale = std::min(kRasterScale, std::sqrt(kMaxRasterPixels / area));
    const double pw = std::ceil(box.size.width * scale), ph = std::ceil(box.size.height * scale);
    if (!(pw >= 1 && ph >= 1 && pw * ph <= kMaxRasterPixels * 1.01))
        return std::nullopt;
    auto bitmap = platform::Bitmap::create(static_cast<int>(pw), static_cast<int>(ph));
    if (!bitmap)
        return std::nullopt;
    bitmap->concatTransform(displayToBitmap(box.origin, scale, static_cast<int>(ph)));
    for (const auto& clip : displayClips)
        bitmap->clipToPath(clip.first, clip.second);
    if (fill)
        bitmap->fillPath(displayPath, evenOdd,
                         paintOf(state.currentFillRGBColor(), state.currentFillAlpha()));
    if (stroke) {
        platform::Bitmap::StrokeStyle style;
        style.cap = state.lineCapStyle();
        style.join = state.lineJoinStyle();
        style.miterLimit = state.lineMiterLimit();
        style.dashes = state.lineDashPattern().value_or(std::vector<double>());
        style.dashPhase = state.lineDashPhase();
        const platform::Bitmap::Paint paint =
            paintOf(state.currentStrokeRGBColor(), state.currentStrokeAlpha());
        if (det != 0 && std::isfinite(det)) {
            // Stroked in user space, so width, dashes and caps take the
            // transform as the page applies it.
            bitmap->saveState();
            bitmap->concatTransform(toDisplay);
            style.width = lineWidth;
            bitmap->strokePath(userPath, style, paint);
            bitmap->restoreState();
        } else {
            style.width = 0;
            bitmap->strokePath(displayPath, style, paint);
        }
    }
    return bitmap->image();
}

std::optional<std::string> QVPPTXUtilities::pathInBundle(const std::string& bundle,
                                                         const std::string& filePathInBundle) {
    return platform::resourcePath(bundle, filePathInBundle);
}
