#include "converter/QVPDFImageCapture.h"

#include "pdf/QVPDFCGPathUtilities.h"
#include "pdf/QVPDFPathUtilities.h"
#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFRenderState.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/image/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>

namespace {

using platform::AffineTransform;
using platform::Point;
using platform::Rect;

// Quality of a mirrored copy of a JPEG image: its source was lossy already.
constexpr float kJpegQuality = 0.92f;
// A clip box reaching this far (points) past the image still counts as
// holding it: rounding of the producer's coordinates, not a cut.
constexpr double kContainSlack = 0.5;

double distance(Point a, Point b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

Rect intersection(const Rect& a, const Rect& b) {
    const double x0 = std::max(a.minX(), b.minX()), y0 = std::max(a.minY(), b.minY());
    const double x1 = std::min(a.maxX(), b.maxX()), y1 = std::min(a.maxY(), b.maxY());
    if (!(x1 > x0) || !(y1 > y0))
        return {};
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

bool holds(const Rect& outer, const Rect& inner) {
    return outer.minX() - kContainSlack <= inner.minX() &&
           inner.maxX() <= outer.maxX() + kContainSlack &&
           outer.minY() - kContainSlack <= inner.minY() &&
           inner.maxY() <= outer.maxY() + kContainSlack;
}

bool isFiniteRect(const Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

bool fullyTransparent(const platform::RasterImage& image) {
    if (!image.isValid())
        return true;
    if (!image.hasAlpha())
        return false;
    const int n = image.channels();
    for (size_t k = size_t(n - 1); k < image.pixels.size(); k += size_t(n))
        if (image.pixels[k] != 0)
            return false;
    return true;
}

void appendNumber(std::string& key, double v) {
    key += platform::formatFixed(v, 3);
    key += ',';
}

// A free name beside `source`: its stem with "png" (or "jpeg"), then 2, 3, ...
std::optional<std::string> derivedPath(const std::string& source, const std::string& extension) {
    return QVPDFPathUtilities::getNewPathby(platform::splitExtension(source).first + "." +
                                            extension);
}

bool writeDerived(const platform::RasterImage& image, const std::string& source, bool jpeg,
                  std::string& out) {
    const auto path = derivedPath(source, jpeg ? "jpeg" : "png");
    if (!path)
        return false;
    if (!QVPDF_WriteImageToURL(&image, *path,
                               jpeg ? platform::ImageFileType::JPEG : platform::ImageFileType::PNG,
                               {72, 72}, jpeg ? kJpegQuality : 1.0f)) {
        platform::removeAll(*path);
        return false;
    }
    out = *path;
    return true;
}

platform::RasterImage mirroredRows(const platform::RasterImage& image) {
    platform::RasterImage out = image;
    const size_t row = image.rowBytes();
    for (int y = 0; y < image.height; ++y)
        std::copy_n(image.row(image.height - 1 - y), row, out.row(y));
    return out;
}

bool isJpegPath(const std::string& path) {
    std::string ext = platform::splitExtension(path).second;
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "jpeg" || ext == "jpg";
}

} // namespace

Rect QVPDFImagePlacement::coveredRect() const {
    double x0 = vertices[0].x, x1 = x0, y0 = vertices[0].y, y1 = y0;
    for (const Point& p : vertices) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

const QVPDFDerivedImageFiles::Entry* QVPDFDerivedImageFiles::find(const std::string& key) const {
    auto it = files_.find(key);
    return it == files_.end() ? nullptr : &it->second;
}

QVPDFImagePlacement QVPDFImageCapture::placementWithTransform(const AffineTransform& t,
                                                              float opacity) {
    QVPDFImagePlacement p;
    p.opacity = opacity;
    const Point v0 = t.apply({0, 0}), v1 = t.apply({1, 0}), v2 = t.apply({1, 1}),
                v3 = t.apply({0, 1});
    p.vertices = {v0, v1, v2, v3};
    p.displayWidth = distance(v0, v1);
    p.displayHeight = distance(v1, v2);
    const Point centre{v0.x + (v2.x - v0.x) / 2, v0.y + (v2.y - v0.y) / 2};
    p.displayX = centre.x - p.displayWidth / 2;
    p.displayY = centre.y - p.displayHeight / 2;
    const float angle =
        std::atan2(static_cast<float>(v1.y - v0.y), static_cast<float>(v1.x - v0.x));
    double r = static_cast<double>(angle) * 180.0 / M_PI;
    const auto turn =
        static_cast<float>((v1.x - v0.x) * (v2.y - v1.y) - (v1.y - v0.y) * (v2.x - v1.x));
    if (turn > 0) {
        p.flipY = true;
        r = 360.0 - r;
    }
    if (!std::isfinite(r))
        r = 0;
    while (r < 0)
        r += 360;
    while (r >= 360)
        r -= 360;
    p.rotation = static_cast<float>(r);
    return p;
}

QVPDFImageCapture::ClipOutcome QVPDFImageCapture::ClipImageInContextSize(
    const Rect& pageBox, const platform::RasterImage* image, const AffineTransform& imageTransform,
    const std::vector<QVPDFClipPath>& clipPaths, const AffineTransform& pageTransform,
    platform::RasterImage& cut, Rect& clipRect) {
    // The clip region lies within every clip path's box; the image within
    // its corners' box; only the page is shown.
    Rect region = pageBox.standardized();
    std::vector<platform::Path> paths;
    paths.reserve(clipPaths.size());
    for (const QVPDFClipPath& clip : clipPaths) {
        auto path = QVPDFCGPathUtilities::CGPathWithNSArray(clip.path);
        if (!path)
            continue;
        platform::Path display = path->transformed(pageTransform);
        const Rect box = display.boundingBox();
        if (!isFiniteRect(box))
            continue;
        region = intersection(region, box);
        paths.push_back(std::move(display));
    }
    const QVPDFImagePlacement placed = placementWithTransform(imageTransform, 1);
    const Rect covered = placed.coveredRect();
    if (!isFiniteRect(covered))
        return ClipOutcome::Unclipped;
    Rect clipOnly{};
    bool first = true;
    for (const platform::Path& p : paths) {
        clipOnly = first ? p.boundingBox() : intersection(clipOnly, p.boundingBox());
        first = false;
    }
    if (!first && holds(clipOnly, covered))
        return ClipOutcome::Unclipped;

    const Rect area = intersection(region, covered);
    if (area.isEmpty() || area.size.width <= 0 || area.size.height <= 0)
        return ClipOutcome::Hidden;

    // The image's own pixels per point, at least one, at most the cap a side.
    double scale = 1.0;
    if (image && image->isValid() && placed.displayWidth > 0 && placed.displayHeight > 0)
        scale = std::max(
            {scale, image->width / placed.displayWidth, image->height / placed.displayHeight});
    scale = std::min({scale, kMaxClipPixels / area.size.width, kMaxClipPixels / area.size.height});
    const int width =
        std::clamp(static_cast<int>(std::ceil(area.size.width * scale - 1e-6)), 1, kMaxClipPixels);
    const int height =
        std::clamp(static_cast<int>(std::ceil(area.size.height * scale - 1e-6)), 1, kMaxClipPixels);
    auto bitmap = platform::Bitmap::create(width, height);
    if (!bitmap) {
        std::cerr << "Context not created!\n";
        return ClipOutcome::Failed;
    }
    // Display space to the surface (bottom-left origin, y upward).
    const AffineTransform toBitmap =
        AffineTransform::makeTranslation(-area.origin.x, -area.origin.y)
            .concat(AffineTransform::makeScale(scale, -scale))
            .concat(AffineTransform::makeTranslation(0, height));
    for (size_t k = 0, j = 0; k < clipPaths.size() && j < paths.size(); ++k) {
        if (!QVPDFCGPathUtilities::CGPathWithNSArray(clipPaths[k].path))
            continue;
        bitmap->clipToPath(paths[j++].transformed(toBitmap), clipPaths[k].evenOdd);
    }
    if (image && image->isValid()) {
        bitmap->concatTransform(imageTransform.concat(toBitmap));
        bitmap->drawImage({{0, 0}, {1, 1}}, *image);
    }
    cut = bitmap->image();
    clipRect = area;
    if (fullyTransparent(cut))
        return ClipOutcome::Hidden;
    return ClipOutcome::Clipped;
}

std::optional<QVPDFImagePlacement>
QVPDFImageCapture::captureImage(const std::string& imagePath, const QVPDFRenderState& state,
                                const AffineTransform& pageTransform, const Rect& pageBox,
                                QVPDFDerivedImageFiles* derived, bool keepMirror) {
    AffineTransform t = state.ctm().concat(pageTransform);
    const auto opacity = static_cast<float>(state.currentOpacity());
    QVPDFImagePlacement p = placementWithTransform(t, opacity);
    p.mediaPath = imagePath;
    p.imageTitle = platform::lastPathComponent(imagePath);

    std::optional<platform::RasterImage> loaded;
    bool triedLoad = false;
    auto load = [&]() -> const platform::RasterImage* {
        if (!triedLoad) {
            loaded = QVPDFUtilities::cgImageWithContentsOfFile(imagePath);
            triedLoad = true;
        }
        return loaded && loaded->isValid() ? &*loaded : nullptr;
    };

    const auto& clips = state.clipBezierPaths();
    if (!clips.empty()) {
        // What the cut shows depends on the image, where it is drawn and the clip.
        std::string key = "clip:" + imagePath + "|";
        for (double v : {t.a, t.b, t.c, t.d, t.tx, t.ty})
            appendNumber(key, v);
        std::string clipText;
        for (const QVPDFClipPath& c : clips) {
            clipText += c.evenOdd ? 'e' : 'n';
            for (const auto& element : c.path.elements) {
                clipText += static_cast<char>('0' + element.type);
                for (const Point& q : element.points) {
                    const Point d = pageTransform.apply(q);
                    appendNumber(clipText, d.x);
                    appendNumber(clipText, d.y);
                }
            }
        }
        key += platform::formatInteger(static_cast<long long>(std::hash<std::string>{}(clipText)));
        key += "|" + platform::formatInteger(static_cast<long long>(clipText.size()));
        using Kind = QVPDFDerivedImageFiles::Entry::Kind;
        const QVPDFDerivedImageFiles::Entry* known = derived ? derived->find(key) : nullptr;
        platform::RasterImage cut;
        Rect clipRect{};
        ClipOutcome outcome = ClipOutcome::Unclipped;
        if (known) {
            outcome = known->kind == Kind::Hidden      ? ClipOutcome::Hidden
                      : known->kind == Kind::Unchanged ? ClipOutcome::Unclipped
                                                       : ClipOutcome::Clipped;
            clipRect = known->box;
        } else {
            outcome =
                ClipImageInContextSize(pageBox, load(), t, clips, pageTransform, cut, clipRect);
        }
        if (outcome == ClipOutcome::Hidden) {
            if (derived && !known)
                derived->store(key, {Kind::Hidden, {}, {}});
            return std::nullopt;
        }
        std::string written;
        if (outcome == ClipOutcome::Clipped &&
            (known ? (written = known->path, true)
                   : writeDerived(cut, imagePath, false, written))) {
            if (derived && !known)
                derived->store(key, {Kind::File, written, clipRect});
            p.mediaPath = written;
            p.displayX = clipRect.origin.x, p.displayY = clipRect.origin.y;
            p.displayWidth = clipRect.size.width, p.displayHeight = clipRect.size.height;
            p.rotation = 0;
            p.flipY = false;
            p.clipped = true;
            p.vertices = {clipRect.origin, Point{clipRect.maxX(), clipRect.minY()},
                          Point{clipRect.maxX(), clipRect.maxY()},
                          Point{clipRect.minX(), clipRect.maxY()}};
            return p;
        }
        if (outcome == ClipOutcome::Unclipped && derived && !known)
            derived->store(key, {Kind::Unchanged, {}, {}});
    }

    if (p.flipY && !keepMirror) {
        // The same corners reached from the mirrored pixels: the unit square
        // is mirrored first, which makes the transform unmirrored.
        const AffineTransform unmirrored = AffineTransform{1, 0, 0, -1, 0, 1}.concat(t);
        std::string mirrored;
        const std::string key = "mirror:" + imagePath;
        if (const auto* known = derived ? derived->find(key) : nullptr) {
            mirrored = known->path;
        } else if (const platform::RasterImage* image = load()) {
            if (!writeDerived(mirroredRows(*image), imagePath,
                              isJpegPath(imagePath) && !image->hasAlpha(), mirrored))
                mirrored.clear();
            if (derived)
                derived->store(key, {QVPDFDerivedImageFiles::Entry::Kind::File, mirrored, {}});
        }
        if (!mirrored.empty()) {
            QVPDFImagePlacement m = placementWithTransform(unmirrored, opacity);
            m.mediaPath = mirrored;
            m.imageTitle = p.imageTitle;
            return m;
        }
    }
    p.mediaPath = pngOrJpegFile(imagePath, derived);
    return p;
}

std::string QVPDFImageCapture::pngOrJpegFile(const std::string& imagePath,
                                             QVPDFDerivedImageFiles* derived) {
    std::string ext = platform::splitExtension(imagePath).second;
    for (char& ch : ext)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == "png" || ext == "jpeg" || ext == "jpg")
        return imagePath;
    const std::string key = "png:" + imagePath;
    if (const auto* known = derived ? derived->find(key) : nullptr)
        return known->path.empty() ? imagePath : known->path;
    std::string written;
    if (auto image = QVPDFUtilities::cgImageWithContentsOfFile(imagePath))
        if (!writeDerived(*image, imagePath, false, written))
            written.clear();
    if (derived)
        derived->store(key, {QVPDFDerivedImageFiles::Entry::Kind::File, written, {}});
    return written.empty() ? imagePath : written;
}
