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

namespace {

/// What drawing a path into pictures needs: the path in display space, the
/// box the pictures cover and the pixels per point.
struct RasterPlan {
    platform::Path displayPath;
    platform::Rect box;
    double lineWidth = 0;   // user space
    double lineReach = 0;   // display points the widest stroke reaches across
    double det = 0;         // of the transform to display space
};

std::optional<RasterPlan> planRaster(const platform::Path& userPath, const QVPDFRenderState& state,
                                     const platform::AffineTransform& toDisplay, bool stroke,
                                     const std::vector<std::pair<platform::Path, bool>>& displayClips) {
    RasterPlan plan;
    plan.displayPath = userPath.transformed(toDisplay);
    plan.det = toDisplay.determinant();
    const double scaleOfLine = std::isfinite(plan.det) ? std::sqrt(std::fabs(plan.det)) : 0;
    plan.lineWidth = std::isfinite(state.lineWidth()) ? std::fabs(state.lineWidth()) : 0;
    double pad = 1;
    if (stroke) {
        // Half the line, more at mitred corners (up to four widths, the miter
        // of corners sharper than that being cut off by most readers).
        const double half = plan.lineWidth * scaleOfLine / 2;
        const double miter =
            state.lineJoinStyle() == 0 ? std::clamp(state.lineMiterLimit(), 1.0, 4.0) : 1.0;
        pad += half * miter;
        // The largest stretch of the transform: a line is never wider than this.
        const double a = toDisplay.a, b = toDisplay.b, c = toDisplay.c, d = toDisplay.d;
        const double sum = a * a + b * b + c * c + d * d;
        const double root = std::sqrt(std::max(0.0, sum * sum - 4 * plan.det * plan.det));
        plan.lineReach = plan.lineWidth * std::sqrt(std::max(0.0, (sum + root) / 2));
    }
    const platform::Rect b = plan.displayPath.boundingBox();
    if (!finiteRect(b) || !std::isfinite(pad) || !std::isfinite(plan.lineReach))
        return std::nullopt;
    platform::Rect box = {{b.origin.x - pad, b.origin.y - pad},
                          {b.size.width + 2 * pad, b.size.height + 2 * pad}};
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
    plan.box = box;
    return plan;
}

/// Paints the path as the page does onto a bitmap whose transform maps
/// display space onto it.
void paintPath(platform::Bitmap& bitmap, const RasterPlan& plan, const platform::Path& userPath,
               const QVPDFRenderState& state, const platform::AffineTransform& toDisplay,
               bool stroke, bool fill, bool evenOdd,
               const std::vector<std::pair<platform::Path, bool>>& displayClips) {
    for (const auto& clip : displayClips)
        bitmap.clipToPath(clip.first, clip.second);
    if (fill)
        bitmap.fillPath(plan.displayPath, evenOdd,
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
        if (plan.det != 0 && std::isfinite(plan.det)) {
            // Stroked in user space, so width, dashes and caps take the
            // transform as the page applies it.
            bitmap.saveState();
            bitmap.concatTransform(toDisplay);
            style.width = plan.lineWidth;
            bitmap.strokePath(userPath, style, paint);
            bitmap.restoreState();
        } else {
            style.width = 0;
            bitmap.strokePath(plan.displayPath, style, paint);
        }
    }
}

/// Pixels per point for a box of `area` square points: the usual scale,
/// lowered to keep one picture within its cap.
double pictureScale(double area) {
    return std::min(QVPPTXUtilities::kRasterScale,
                    std::sqrt(QVPPTXUtilities::kMaxRasterPixels / area));
}

/// A rectangle of cells, half-open.
struct CellBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    long long area() const { return (long long)(x1 - x0) * (y1 - y0); }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

/// Which cells of a coarse grid over the picture a drawing may paint, cut
/// into few rectangles that hold every such cell and little else.
class CellMask {
public:
    CellMask(int width, int height, std::vector<uint8_t> on)
        : w_(width), h_(height), on_(std::move(on)) {}

    std::vector<CellBox> regions(size_t maxRegions) const {
        std::vector<CellBox> out;
        const CellBox all = tight({0, 0, w_, h_});
        if (!all.empty())
            split(all, maxRegions, out);
        return out;
    }

private:
    bool at(int x, int y) const { return on_[size_t(y) * size_t(w_) + size_t(x)] != 0; }

    long long count(const CellBox& r) const {
        long long n = 0;
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                n += at(x, y);
        return n;
    }

    CellBox tight(CellBox r) const {
        CellBox t{r.x1, r.y1, r.x0, r.y0};
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                if (at(x, y)) {
                    t.x0 = std::min(t.x0, x);
                    t.x1 = std::max(t.x1, x + 1);
                    t.y0 = std::min(t.y0, y);
                    t.y1 = std::max(t.y1, y + 1);
                }
        return t.empty() ? CellBox{} : t;
    }

    // The best straight cut of `r` (tight): the one whose two parts, each
    // shrunk to its cells, cover the least; between cuts that cover the
    // same, the one that leaves a part most densely painted (the side of a
    // frame). Gives the summed area and that density.
    std::pair<long long, double> bestCut(const CellBox& r, CellBox& first, CellBox& second) const {
        long long best = r.area() + 1;
        double bestDensity = 0;
        // Along rows (a cut between two rows) or along columns.
        auto scan = [&](bool rows) {
            const int n = rows ? r.y1 - r.y0 : r.x1 - r.x0;
            const int m = rows ? r.x1 - r.x0 : r.y1 - r.y0;
            // Per line across the cut direction: the first and last cell on
            // (-1 when none) and how many are.
            std::vector<int> lo(static_cast<size_t>(n), -1), hi(static_cast<size_t>(n), -1);
            std::vector<long long> ons(static_cast<size_t>(n) + 1, 0);
            for (int i = 0; i < n; ++i) {
                long long k = 0;
                for (int j = 0; j < m; ++j)
                    if (rows ? at(r.x0 + j, r.y0 + i) : at(r.x0 + i, r.y0 + j)) {
                        if (lo[size_t(i)] < 0)
                            lo[size_t(i)] = j;
                        hi[size_t(i)] = j;
                        ++k;
                    }
                ons[size_t(i) + 1] = ons[size_t(i)] + k;
            }
            // The part before each line: its extent across and its last line on.
            struct Extent {
                int lo = INT32_MAX, hi = -1, edge = -1;
            };
            std::vector<Extent> before(static_cast<size_t>(n));
            Extent run;
            for (int i = 0; i < n; ++i) {
                if (lo[size_t(i)] >= 0)
                    run = {std::min(run.lo, lo[size_t(i)]), std::max(run.hi, hi[size_t(i)]), i};
                before[size_t(i)] = run;
            }
            Extent after; // lines cut..n-1; edge: its first line on
            for (int cut = n - 1; cut >= 1; --cut) {
                if (lo[size_t(cut)] >= 0)
                    after = {std::min(after.lo, lo[size_t(cut)]), std::max(after.hi, hi[size_t(cut)]),
                             cut};
                const Extent& head = before[size_t(cut - 1)];
                if (after.edge < 0 || head.edge < 0)
                    continue;
                const long long a = (long long)(head.edge + 1) * (head.hi - head.lo + 1);
                const long long b = (long long)(n - after.edge) * (after.hi - after.lo + 1);
                const double density = std::max(double(ons[size_t(cut)]) / double(a),
                                                double(ons[size_t(n)] - ons[size_t(cut)]) / double(b));
                if (a + b > best || (a + b == best && density <= bestDensity))
                    continue;
                best = a + b;
                bestDensity = density;
                if (rows) {
                    first = {r.x0 + head.lo, r.y0, r.x0 + head.hi + 1, r.y0 + head.edge + 1};
                    second = {r.x0 + after.lo, r.y0 + after.edge, r.x0 + after.hi + 1, r.y1};
                } else {
                    first = {r.x0, r.y0 + head.lo, r.x0 + head.edge + 1, r.y0 + head.hi + 1};
                    second = {r.x0 + after.edge, r.y0 + after.lo, r.x1, r.y0 + after.hi + 1};
                }
            }
        };
        scan(true);
        scan(false);
        return {best, bestDensity};
    }

    void split(const CellBox& r, size_t maxRegions, std::vector<CellBox>& out) const {
        CellBox a, b;
        // A box mostly painted stays whole; a sparse one (a line across) is
        // cut while a cut leaves anything out, or (a frame, whose first cut
        // saves nothing and whose next ones its whole inside) while it takes
        // off a densely painted part.
        bool cut = out.size() + 1 < maxRegions && r.area() > 4 && count(r) * 2 < r.area();
        if (cut) {
            const auto [area, density] = bestCut(r, a, b);
            cut = area < r.area() || (area == r.area() && density >= 0.5);
        }
        if (cut) {
            // The smaller part first, so a long thin run of parts does not
            // take up the regions of the rest.
            split(a, maxRegions - 1, out);
            split(b, maxRegions, out);
        } else {
            out.push_back(r);
        }
    }

    int w_, h_;
    std::vector<uint8_t> on_;
};

bool anyPainted(const platform::RasterImage& image) {
    for (size_t i = 3; i < image.pixels.size(); i += 4)
        if (image.pixels[i] != 0)
            return true;
    return false;
}

} // namespace

std::optional<platform::RasterImage>
QVPPTXUtilities::makeCGPathToUIImage(const platform::Path& userPath, const QVPDFRenderState& state,
                                     const platform::AffineTransform& toDisplay, bool stroke,
                                     bool fill, bool evenOdd, platform::Rect& box,
                                     const std::vector<std::pair<platform::Path, bool>>& displayClips) {
    if (!stroke && !fill)
        return std::nullopt;
    auto plan = planRaster(userPath, state, toDisplay, stroke, displayClips);
    if (!plan)
        return std::nullopt;
    box = plan->box;
    const double area = box.size.width * box.size.height;
    const double scale = pictureScale(area);
    const double pw = std::ceil(box.size.width * scale), ph = std::ceil(box.size.height * scale);
    if (!(pw >= 1 && ph >= 1 && pw * ph <= kMaxRasterPixels * 1.01))
        return std::nullopt;
    auto bitmap = platform::Bitmap::create(static_cast<int>(pw), static_cast<int>(ph));
    if (!bitmap)
        return std::nullopt;
    bitmap->concatTransform(displayToBitmap(box.origin, scale, static_cast<int>(ph)));
    paintPath(*bitmap, *plan, userPath, state, toDisplay, stroke, fill, evenOdd, displayClips);
    return bitmap->image();
}

std::vector<QVPPTXUtilities::PathPicture> QVPPTXUtilities::makeCGPathToPictures(
    const platform::Path& userPath, const QVPDFRenderState& state,
    const platform::AffineTransform& toDisplay, bool stroke, bool fill, bool evenOdd,
    const std::vector<std::pair<platform::Path, bool>>& displayClips, double& pixelBudget) {
    std::vector<PathPicture> out;
    if (!stroke && !fill)
        return out;
    auto plan = planRaster(userPath, state, toDisplay, stroke, displayClips);
    if (!plan)
        return out;
    const platform::Rect box = plan->box;
    const double area = box.size.width * box.size.height;
    // Cells of kCell x kCell pixels: the grid the painted regions are found on.
    constexpr int kCell = 16;
    constexpr size_t kMaxPieces = 16;
    // Which cells the drawing may paint, at `scale`: drawn coarsely, one pixel
    // a cell, with every outline widened by a cell on each side, so a cell
    // holding any pixel the full drawing paints (antialiasing included) is
    // covered for the most part and never missed; clips and dashes are left
    // out, which only adds cells.
    auto probe = [&](double scale, int& gw, int& gh) -> std::optional<std::vector<uint8_t>> {
        const double pw = std::ceil(box.size.width * scale), ph = std::ceil(box.size.height * scale);
        gw = static_cast<int>(std::ceil(pw / kCell));
        gh = static_cast<int>(std::ceil(ph / kCell));
        auto coarse = platform::Bitmap::create(gw, gh);
        if (!coarse)
            return std::nullopt;
        coarse->concatTransform(displayToBitmap(box.origin, scale / kCell, gh));
        const platform::Bitmap::Paint ink{0, 0, 0, 255};
        if (fill)
            coarse->fillPath(plan->displayPath, evenOdd, ink);
        platform::Bitmap::StrokeStyle wide;
        wide.width = (stroke ? std::max(plan->lineReach, 1.0 / scale) : 0) + 2.0 * kCell / scale;
        wide.cap = 2;
        wide.join = state.lineJoinStyle();
        wide.miterLimit = state.lineMiterLimit();
        coarse->strokePath(plan->displayPath, wide, ink);
        const platform::RasterImage cells = coarse->image();
        std::vector<uint8_t> on(size_t(gw) * size_t(gh));
        for (size_t i = 0; i < on.size() && 4 * i + 3 < cells.pixels.size(); ++i)
            on[i] = cells.pixels[4 * i + 3] != 0;
        return on;
    };
    double scale = pictureScale(area);
    double pw = std::ceil(box.size.width * scale), ph = std::ceil(box.size.height * scale);
    if (!(pw >= 1 && ph >= 1 && pw * ph <= kMaxRasterPixels * 1.01))
        return out;
    int gw = 0, gh = 0;
    auto on = probe(scale, gw, gh);
    if (!on)
        return out;
    auto paintedPixels = [&](const std::vector<uint8_t>& cells) {
        return double(std::count(cells.begin(), cells.end(), uint8_t(1))) * kCell * kCell;
    };
    const double wanted = paintedPixels(*on);
    if (wanted > pixelBudget && scale > 1.0) {
        // The page's drawings have used up most of their pixels: this one
        // is drawn coarser, but never below one pixel per point.
        const double lower = std::max(1.0, scale * std::sqrt(std::max(0.0, pixelBudget) / wanted));
        if (lower < scale) {
            scale = lower;
            pw = std::ceil(box.size.width * scale);
            ph = std::ceil(box.size.height * scale);
            on = probe(scale, gw, gh);
            if (!on)
                return out;
        }
    }
    const CellMask mask(gw, gh, std::move(*on));
    for (const CellBox& r : mask.regions(kMaxPieces)) {
        const int px0 = r.x0 * kCell, py0 = r.y0 * kCell;
        const int px1 = std::min(r.x1 * kCell, static_cast<int>(pw));
        const int py1 = std::min(r.y1 * kCell, static_cast<int>(ph));
        if (px1 <= px0 || py1 <= py0)
            continue;
        auto bitmap = platform::Bitmap::create(px1 - px0, py1 - py0);
        if (!bitmap)
            continue;
        const platform::Point origin{box.origin.x + px0 / scale, box.origin.y + py0 / scale};
        bitmap->concatTransform(displayToBitmap(origin, scale, py1 - py0));
        paintPath(*bitmap, *plan, userPath, state, toDisplay, stroke, fill, evenOdd, displayClips);
        PathPicture piece;
        piece.image = bitmap->image();
        if (!piece.image.isValid() || !anyPainted(piece.image))
            continue;
        pixelBudget -= double(px1 - px0) * double(py1 - py0);
        piece.box = {origin, {(px1 - px0) / scale, (py1 - py0) / scale}};
        out.push_back(std::move(piece));
    }
    return out;
}

std::optional<std::string> QVPPTXUtilities::pathInBundle(const std::string& bundle,
                                                         const std::string& filePathInBundle) {
    return platform::resourcePath(bundle, filePathInBundle);
}
