#include "pdf/xobject/QVPDFImageXObject.h"

#include "pdf/QVPDFUtilities.h"
#include "platform/image/ImageFileCache.h"

#include <algorithm>
#include <cmath>

namespace {

// The quality of JPEG data that has to be encoded again (its source was lossy).
constexpr float kJpegQuality = 0.92f;

std::string hexColor(const QVPDFRGB& c) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (int32_t v : {c.r, c.g, c.b}) {
        int b = std::clamp<int32_t>(v, 0, 255);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

} // namespace

QVPDFImageXObject::QVPDFImageXObject(const platform::PdfObject& stream) : QVPDFXObject(stream) {
    (void)parse(stream);
}

bool QVPDFImageXObject::parse(const platform::PdfObject& stream) {
    return parseImage(stream, std::nullopt);
}

bool QVPDFImageXObject::parseImage(const platform::PdfObject& stream,
                                   const std::optional<platform::PdfObject>& colorSpaces) {
    imageStream_ = stream;
    colorSpaces_ = colorSpaces;
    cachedImagePath_.reset();
    return true;
}

bool QVPDFImageXObject::isImageMask() const {
    platform::PdfObject dict = imageStream_.streamDictionary();
    platform::PdfObject flag = dict.get("ImageMask");
    if (flag.isNull())
        flag = dict.get("IM");
    return flag.boolean().value_or(false);
}

std::optional<QVPDFImagePixelBound>
QVPDFImageXObject::pixelBoundForCTM(const platform::AffineTransform& ctm) {
    // The image's columns run along the unit square's x side, its rows along y.
    const double width = std::hypot(ctm.a, ctm.b), height = std::hypot(ctm.c, ctm.d);
    if (!std::isfinite(width) || !std::isfinite(height) || !(width > 0) || !(height > 0))
        return std::nullopt;
    auto pixels = [](double points) {
        // Past a million pixels a side no image is acceptable anyway.
        const double n = std::ceil(points * (kPictureDotsPerInch / 72));
        return n < 1 ? 1 : n > double(1 << 20) ? (1 << 20) : int(n);
    };
    return QVPDFImagePixelBound{pixels(width), pixels(height)};
}

void QVPDFImageXObject::extractForPainting(
    const std::shared_ptr<platform::PdfDocumentImpl>& document, const QVPDFRGB& fillColor,
    const std::optional<QVPDFImagePixelBound>& bound) {
    auto cache = platform::ImageFileCache::forDocument(document);
    if (!cache)
        return;
    const bool stencil = isImageMask();
    // Only an object of the file has an identity to share; inline images are
    // written at each painting.
    std::string key;
    if (platform::PdfObjectId id = imageStream_.objectId(); id.isIndirect()) {
        key = std::to_string(id.number) + " " + std::to_string(id.generation);
        if (stencil)
            key += " " + hexColor(fillColor);
        // A painting that scales the image has a file of its own for that
        // size; others share the file at the image's own size.
        platform::PdfObject dict = imageStream_.streamDictionary();
        const int width = int(dict.getInteger("Width").value_or(0));
        const int height = int(dict.getInteger("Height").value_or(0));
        const auto [w, h] = QVPDFUtilities::pixelSizeWithinBound(width, height, bound);
        if (w != width || h != height)
            key += " " + std::to_string(w) + "x" + std::to_string(h);
        if (const std::optional<std::string>* known = cache->find(key)) {
            cachedImagePath_ = *known;
            return;
        }
    } else if (stencil == false && cachedImagePath_) {
        return;
    }
    std::optional<std::string> path;
    if (auto folder = cache->folder())
        if (auto written = QVPDFUtilities::extractPDFStream(imageStream_, colorSpaces_, *folder,
                                                            kJpegQuality, fillColor, bound))
            path = written->path;
    if (!key.empty())
        cache->store(key, path);
    cachedImagePath_ = path;
}
