// Image streams to pixels and files; ARGB surfaces, image loading and writing.
#include "pdf/QVPDFUtilities.h"

#include "pdf/QVPDFPathUtilities.h"
#include "platform/Files.h"
#include "platform/Uuid.h"
#include "platform/image/CcittCodec.h"
#include "platform/image/ImageSamples.h"
#include "platform/image/ImageStreamReader.h"
#include "platform/image/Jbig2Codec.h"
#include "platform/image/Jpeg2000Codec.h"
#include "platform/image/JpegCodec.h"
#include "platform/image/PngCodec.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <iostream>

using namespace platform;
using ColorSpaceRef = QVPDFUtilities::ColorSpaceRef;

namespace {

enum class Purpose { Image, SoftMask, StencilMask };

// JBIG2 globals hold symbol dictionaries: small next to any page.
constexpr uint64_t kMaxGlobalsBytes = uint64_t(64) << 20;

PdfObject entry(const PdfObject& dict, const char* full, const char* abbreviation) {
    PdfObject v = dict.get(full);
    return v.isNull() ? dict.get(abbreviation) : v;
}

std::optional<long long> wholeNumber(const PdfObject& v) {
    auto n = v.number();
    if (!n || !std::isfinite(*n) || std::fabs(*n) > 1e12)
        return std::nullopt;
    return std::llround(*n);
}

/// What the stream holds once the generic filters and the codec are undone.
struct Samples {
    std::string data;
    SampleLayout layout;
    ColorSpaceRef space; // none for stencil masks
    std::vector<double> decode;
    bool stencil = false;
    ImageCodec codec = ImageCodec::None;
    /// The codec's bytes, for a copy of a JPEG or JPEG 2000 as it stands.
    std::string encoded;
    std::optional<JpegInfo> jpeg;
    int colorTransform = -1;
    /// The JPEG 2000 data's own alpha, when /SMaskInData asks for it.
    std::optional<std::vector<uint8_t>> codecAlpha;
};

/// 1-bit rows of srcWidth x srcHeight re-laid as width x height, cutting or
/// padding with white (1 bits: the filters' 0 is black).
std::string relayBits(const std::string& rows, int srcWidth, int srcHeight, int width, int height) {
    const size_t srcRow = (size_t(srcWidth) + 7) / 8, dstRow = (size_t(width) + 7) / 8;
    if (srcWidth == width && srcHeight == height && rows.size() == srcRow * srcHeight)
        return rows;
    std::string out(dstRow * size_t(height), '\xFF');
    for (int y = 0; y < std::min(srcHeight, height); ++y) {
        size_t n = std::min(srcRow, dstRow);
        if ((y + 1) * srcRow <= rows.size())
            out.replace(size_t(y) * dstRow, n, rows, size_t(y) * srcRow, n);
    }
    return out;
}

/// The samples of a JPEG read by readSamples with `deferJpeg`: decoded only
/// now, when its bytes cannot go out as they are.
bool decodeDeferredJpeg(Samples& s) {
    if (s.codec != ImageCodec::DCT || !s.data.empty())
        return true;
    auto decoded = decodeJpeg(s.encoded, s.colorTransform);
    if (!decoded)
        return false;
    s.layout = {decoded->width, decoded->height, 8, decoded->components};
    s.data.assign(decoded->samples.begin(), decoded->samples.end());
    return true;
}

/// `deferJpeg`: a JPEG's samples are left undecoded (its layout from its
/// header), for a caller that may copy its bytes as they are and decodes
/// them with decodeDeferredJpeg otherwise.
std::optional<Samples> readSamples(const PdfObject& stream,
                                   const std::optional<PdfObject>& colorSpaces, Purpose purpose,
                                   bool deferJpeg = false) {
    if (!stream.isStream())
        return std::nullopt;
    const PdfObject dict = stream.streamDictionary();
    auto width = wholeNumber(entry(dict, "Width", "W"));
    auto height = wholeNumber(entry(dict, "Height", "H"));
    if (!width || !height || !isAcceptableImageSize(*width, *height))
        return std::nullopt;
    const int W = int(*width), H = int(*height);
    Samples s;
    s.stencil =
        purpose == Purpose::StencilMask ||
        (purpose == Purpose::Image && entry(dict, "ImageMask", "IM").boolean().value_or(false));
    int bits = s.stencil ? 1 : int(wholeNumber(entry(dict, "BitsPerComponent", "BPC")).value_or(0));

    if (!s.stencil) {
        PdfObject csObject = entry(dict, "ColorSpace", "CS");
        if (!csObject.isNull()) {
            s.space = QVPDFUtilities::ColorSpaceWithPDFObject(csObject);
            if (!s.space && colorSpaces && csObject.isName())
                s.space =
                    QVPDFUtilities::ColorSpaceWithPDFObject(colorSpaces->get(*csObject.name()));
            // A colour space we cannot build gives no component count to read with.
            if (!s.space)
                return std::nullopt;
        } else if (purpose == Purpose::SoftMask) {
            s.space = ImageColorSpace::deviceGray();
        }
    }

    // Raw samples are read up to the rows the geometry declares; coded data
    // up to what any sane coding of that many samples takes.
    const int components = s.space ? s.space->numberOfComponents() : 1;
    SampleLayout declared{
        W, H, (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16) ? bits : 8,
        components};
    const uint64_t rawBytes = declared.dataBytes();
    const uint64_t codedLimit =
        std::min<uint64_t>(kMaxImageBytes, uint64_t(W) * uint64_t(H) * 4 * 2 + (uint64_t(1) << 20));
    ImageStreamBytes read = readImageStream(stream, rawBytes, codedLimit);
    if (read.status == ImageStreamBytes::Status::Unsupported ||
        (read.status == ImageStreamBytes::Status::TooLarge && read.codec != ImageCodec::None))
        return std::nullopt;
    s.codec = read.codec;
    const PdfObject& parms = read.codecParameters;

    switch (read.codec) {
    case ImageCodec::None:
        if (!s.space && !s.stencil)
            return std::nullopt;
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
            return std::nullopt;
        s.layout = declared;
        s.data = std::move(read.bytes);
        break;
    case ImageCodec::DCT: {
        if (s.stencil)
            return std::nullopt;
        s.jpeg = readJpegInfo(read.bytes);
        if (!s.jpeg)
            return std::nullopt;
        const int n = s.jpeg->components;
        if (!s.space)
            s.space = n == 1   ? ImageColorSpace::deviceGray()
                      : n == 3 ? ImageColorSpace::deviceRGB()
                      : n == 4 ? ImageColorSpace::deviceCMYK()
                               : nullptr;
        if (!s.space || s.space->numberOfComponents() != n)
            return std::nullopt;
        s.colorTransform = int(parms.getInteger("ColorTransform").value_or(-1));
        if (deferJpeg) {
            if (!isAcceptableImageSize(s.jpeg->width, s.jpeg->height))
                return std::nullopt;
            s.layout = {s.jpeg->width, s.jpeg->height, 8, n};
            s.encoded = std::move(read.bytes);
            bits = 8;
            break;
        }
        auto decoded = decodeJpeg(read.bytes, s.colorTransform);
        if (!decoded)
            return std::nullopt;
        s.layout = {decoded->width, decoded->height, 8, decoded->components};
        s.data.assign(decoded->samples.begin(), decoded->samples.end());
        s.encoded = std::move(read.bytes);
        bits = 8;
        break;
    }
    case ImageCodec::JPX: {
        if (s.stencil)
            return std::nullopt;
        auto decoded = decodeJpeg2000(read.bytes);
        if (!decoded)
            return std::nullopt;
        if (!s.space) {
            // Without /ColorSpace the codestream's own colour space counts.
            using CS = DecodedJpeg2000::ColorSpace;
            s.space = decoded->colorSpace == CS::Gray   ? ImageColorSpace::deviceGray()
                      : decoded->colorSpace == CS::RGB  ? ImageColorSpace::deviceRGB()
                      : decoded->colorSpace == CS::CMYK ? ImageColorSpace::deviceCMYK()
                                                        : nullptr;
        }
        const int n = decoded->colorComponents;
        if (!s.space || s.space->numberOfComponents() != n)
            return std::nullopt;
        const DecodedSamples& d = decoded->samples;
        const size_t count = size_t(d.width) * size_t(d.height);
        s.layout = {d.width, d.height, 8, n};
        s.data.resize(count * size_t(n));
        std::vector<uint8_t> alpha;
        if (decoded->hasAlpha)
            alpha.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* px = d.samples.data() + i * size_t(d.components);
            for (int c = 0; c < n; ++c)
                s.data[i * n + c] = char(px[c]);
            if (decoded->hasAlpha)
                alpha[i] = px[n];
        }
        if (decoded->hasAlpha && dict.getInteger("SMaskInData").value_or(0) != 0)
            s.codecAlpha = std::move(alpha);
        s.encoded = std::move(read.bytes);
        // The codestream's samples are final: /Decode does not apply to them.
        s.decode = defaultDecodeArray(*s.space, 8);
        return s;
    }
    case ImageCodec::CCITTFax: {
        if (s.space && s.space->numberOfComponents() != 1)
            return std::nullopt;
        CcittParameters p;
        p.k = int(parms.getInteger("K").value_or(0));
        p.encodedByteAlign = parms.getBoolean("EncodedByteAlign").value_or(false);
        p.endOfLine = parms.getBoolean("EndOfLine").value_or(false);
        p.blackIs1 = parms.getBoolean("BlackIs1").value_or(false);
        p.columns =
            int(std::clamp<long long>(parms.getInteger("Columns").value_or(1728), 1, 1 << 20));
        p.rows = int(std::clamp<long long>(parms.getInteger("Rows").value_or(0), 0, 1 << 20));
        auto rows = decodeCcitt(read.bytes, p, H);
        if (!rows)
            return std::nullopt;
        s.data = relayBits(*rows, p.columns, H, W, H);
        s.layout = {W, H, 1, 1};
        bits = 1;
        break;
    }
    case ImageCodec::JBIG2: {
        if (s.space && s.space->numberOfComponents() != 1)
            return std::nullopt;
        std::string globals;
        if (auto g = parms.getStream("JBIG2Globals"))
            globals = readStreamData(*g, kMaxGlobalsBytes).value_or("");
        auto page = decodeJbig2(read.bytes, globals);
        if (!page)
            return std::nullopt;
        s.data = relayBits(page->rows, page->width, page->height, W, H);
        s.layout = {W, H, 1, 1};
        bits = 1;
        break;
    }
    }

    if (s.stencil || !s.space) {
        s.decode = {0, 1};
        PdfObject d = entry(dict, "Decode", "D");
        if (d.arraySize() >= 2 && d.numberAt(0) && d.numberAt(1))
            s.decode = {*d.numberAt(0), *d.numberAt(1)};
    } else {
        s.decode =
            QVPDF_ImageDecodeArray(dict, s.space.get(), bits).value_or(std::vector<double>{});
        // A short array is completed from the default, pair by pair.
        std::vector<double> full = defaultDecodeArray(*s.space, bits);
        const size_t pairs = s.decode.size() & ~size_t(1);
        if (pairs < full.size()) {
            s.decode.resize(pairs);
            s.decode.insert(s.decode.end(), full.begin() + long(pairs), full.end());
        }
    }
    return s;
}

/// One alpha value per pixel of a soft or stencil mask; none when the mask
/// cannot be read.
struct AlphaPlane {
    std::vector<uint8_t> alpha;
    int width = 0, height = 0;
};

std::optional<AlphaPlane> readMask(const PdfObject& stream, Purpose purpose) {
    auto m = readSamples(stream, std::nullopt, purpose);
    if (!m)
        return std::nullopt;
    AlphaPlane plane{{}, m->layout.width, m->layout.height};
    if (m->layout.components == 1) {
        plane.alpha = graysFromSamples(m->data, m->layout, m->decode[0], m->decode[1]);
    } else if (auto image = imageFromSamples(m->data, m->layout, *m->space, m->decode)) {
        plane.alpha = image->converted(RasterImage::Format::Gray).pixels;
    }
    if (plane.alpha.size() != size_t(plane.width) * size_t(plane.height))
        return std::nullopt;
    // A stencil paints where its decoded sample is 0.
    if (purpose == Purpose::StencilMask)
        for (uint8_t& a : plane.alpha)
            a = uint8_t(255 - a);
    return plane;
}

bool isDecodePair(const std::vector<double>& decode, size_t component, bool inverted) {
    if (decode.size() < 2 * component + 2)
        return !inverted;
    double lo = decode[2 * component], hi = decode[2 * component + 1];
    return inverted ? (lo == 1 && hi == 0) : (lo == 0 && hi == 1);
}

/// True when a reader of JPEG files sees the same picture in the bytes as the
/// PDF shows: the colour space is the JPEG's plain gray, RGB or CMYK, the
/// decode array is the identity (for Adobe CMYK, which JPEG readers invert,
/// the inverting one), and the colour transform is the one readers assume.
bool jpegShowsTheSame(const Samples& s) {
    if (!s.jpeg || !s.space)
        return false;
    const int n = s.jpeg->components;
    const auto model = s.space->model();
    const bool adobe = s.jpeg->adobeMarker;
    bool inverted = false;
    int assumedTransform = 0;
    if (n == 1 && model == ImageColorSpace::Model::Monochrome) {
        assumedTransform = s.colorTransform;
    } else if (n == 3 && model == ImageColorSpace::Model::RGB) {
        assumedTransform = adobe ? (s.jpeg->adobeTransform != 0 ? 1 : 0) : 1;
    } else if (n == 4 && model == ImageColorSpace::Model::CMYK) {
        inverted = adobe;
        assumedTransform = adobe && s.jpeg->adobeTransform == 2 ? 1 : 0;
    } else {
        return false;
    }
    if (s.colorTransform != -1 && s.colorTransform != assumedTransform)
        return false;
    for (int c = 0; c < n; ++c)
        if (!isDecodePair(s.decode, size_t(c), inverted))
            return false;
    return true;
}

/// JPEG bytes without what follows their end marker when that is only white
/// space (inline image data runs up to the space before EI).
std::string trimmedJpeg(std::string bytes) {
    size_t end = bytes.size();
    while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\n' || bytes[end - 1] == '\r' ||
                       bytes[end - 1] == '\t' || bytes[end - 1] == '\f' || bytes[end - 1] == '\0'))
        --end;
    if (end >= 2 && bytes[end - 2] == '\xFF' && bytes[end - 1] == '\xD9')
        bytes.resize(end);
    return bytes;
}

struct Decoded {
    std::optional<RasterImage> image;
    /// Set instead of `image` for a picture of two colours: its packed 1-bit
    /// rows (width x height) and the colours of the samples 0 and 1.
    std::optional<std::string> bilevel;
    std::array<uint8_t, 4> colour0{}, colour1{};
    /// Set instead of `image` when the stream's own bytes are the file.
    std::optional<ImageFileType> copiedType;
    std::string copied;
    /// JPEG data decoded without a mask: written as JPEG again.
    bool lossySource = false;
    int width = 0, height = 0;
};

std::pair<int, int> targetSize(int width, int height,
                               const std::optional<QVPDFImagePixelBound>& bound) {
    return QVPDFUtilities::pixelSizeWithinBound(width, height, bound);
}

/// The packed rows of 1-bit one-component samples at width x height: the
/// samples themselves (padded to their rows with zero samples) at their own
/// size, else scaled down with `inkSample` as the value to keep.
std::string bitsAtSize(std::string&& data, const SampleLayout& layout, int inkSample, int width,
                       int height) {
    if (width == layout.width && height == layout.height) {
        data.resize(layout.dataBytes(), '\0');
        return std::move(data);
    }
    return scaledBitsFromSamples(data, layout, inkSample, width, height);
}

std::optional<Decoded> decodeStream(const PdfObject& stream,
                                    const std::optional<PdfObject>& colorSpaces,
                                    const QVPDFRGB& stencilColor, bool allowCopy,
                                    const std::optional<QVPDFImagePixelBound>& bound = {}) {
    auto s = readSamples(stream, colorSpaces, Purpose::Image, allowCopy);
    if (!s)
        return std::nullopt;
    Decoded out;
    out.width = s->layout.width;
    out.height = s->layout.height;
    // A file of two colours is written with one bit a pixel; a picture
    // wanted as pixels (allowCopy false) gets them.
    const bool bilevelFile = allowCopy && s->layout.components == 1 &&
                             s->layout.bitsPerComponent == 1 && s->layout.isValid();
    const auto [targetWidth, targetHeight] = targetSize(s->layout.width, s->layout.height, bound);
    if (s->stencil && bilevelFile) {
        // The two samples' levels through the decode pair: the paint's alpha.
        const std::vector<uint8_t> levels =
            graysFromSamples(std::string_view("\x40", 1), {2, 1, 1, 1}, s->decode[0], s->decode[1]);
        if (levels.size() != 2)
            return std::nullopt;
        auto channel = [](int32_t v) { return uint8_t(std::clamp<int32_t>(v, 0, 255)); };
        const uint8_t r = channel(stencilColor.r), g = channel(stencilColor.g),
                      b = channel(stencilColor.b);
        out.colour0 = {r, g, b, uint8_t(255 - levels[0])};
        out.colour1 = {r, g, b, uint8_t(255 - levels[1])};
        const int ink = out.colour1[3] > out.colour0[3] ? 1 : 0;
        out.bilevel = bitsAtSize(std::move(s->data), s->layout, ink, targetWidth, targetHeight);
        out.width = targetWidth;
        out.height = targetHeight;
        return out;
    }
    if (s->stencil) {
        std::vector<uint8_t> levels =
            graysFromSamples(s->data, s->layout, s->decode[0], s->decode[1]);
        RasterImage image =
            RasterImage::make(s->layout.width, s->layout.height, RasterImage::Format::RGBA);
        if (!image.isValid() || levels.size() * 4 != image.pixels.size())
            return std::nullopt;
        auto channel = [](int32_t v) { return uint8_t(std::clamp<int32_t>(v, 0, 255)); };
        for (size_t i = 0; i < levels.size(); ++i) {
            image.pixels[4 * i] = channel(stencilColor.r);
            image.pixels[4 * i + 1] = channel(stencilColor.g);
            image.pixels[4 * i + 2] = channel(stencilColor.b);
            image.pixels[4 * i + 3] = uint8_t(255 - levels[i]);
        }
        out.image = std::move(image);
        return out;
    }

    const PdfObject dict = stream.streamDictionary();
    std::optional<AlphaPlane> mask;
    PdfObject maskEntry = dict.get("Mask");
    std::optional<std::vector<long long>> colorKey;
    if (s->codecAlpha) {
        mask = AlphaPlane{std::move(*s->codecAlpha), s->layout.width, s->layout.height};
    } else if (auto smask = dict.getStream("SMask")) {
        mask = readMask(*smask, Purpose::SoftMask);
    } else if (maskEntry.isStream()) {
        mask = readMask(maskEntry, Purpose::StencilMask);
    } else if (maskEntry.isArray() && s->codec != ImageCodec::JPX) {
        std::vector<long long> ranges;
        // Two numbers per component, 32 components at most.
        for (size_t i = 0; i < maskEntry.arraySize() && i < 64; ++i)
            ranges.push_back(wholeNumber(maskEntry.at(i)).value_or(-1));
        colorKey = std::move(ranges);
    }
    const bool masked = mask || colorKey;

    if (allowCopy && !masked) {
        if (s->codec == ImageCodec::DCT && jpegShowsTheSame(*s)) {
            out.copiedType = ImageFileType::JPEG;
            out.copied = trimmedJpeg(std::move(s->encoded));
            return out;
        }
        if (s->codec == ImageCodec::JPX && isJp2Data(s->encoded) &&
            (s->space->model() == ImageColorSpace::Model::Monochrome ||
             s->space->model() == ImageColorSpace::Model::RGB) &&
            s->space->kind() != ImageColorSpace::Kind::Indexed) {
            out.copiedType = ImageFileType::JPEG2000;
            out.copied = std::move(s->encoded);
            return out;
        }
    }

    if (!decodeDeferredJpeg(*s))
        return std::nullopt;
    const int width = s->layout.width, height = s->layout.height;
    out.width = width;
    out.height = height;
    if (bilevelFile && !masked) {
        // The colours of the samples 0 and 1; the darker is the ink that
        // scaling keeps.
        auto pair =
            imageFromSamples(std::string_view("\x40", 1), {2, 1, 1, 1}, *s->space, s->decode);
        if (pair && pair->isValid()) {
            const int c = pair->channels();
            for (int k = 0; k < 3; ++k) {
                out.colour0[size_t(k)] = pair->pixels[size_t(c == 1 ? 0 : k)];
                out.colour1[size_t(k)] = pair->pixels[size_t(c + (c == 1 ? 0 : k))];
            }
            out.colour0[3] = out.colour1[3] = 255;
            auto lightness = [](const std::array<uint8_t, 4>& v) { return v[0] + v[1] + v[2]; };
            const int ink = lightness(out.colour1) < lightness(out.colour0) ? 1 : 0;
            const auto [w, h] = targetSize(width, height, bound);
            out.bilevel = bitsAtSize(std::move(s->data), s->layout, ink, w, h);
            out.width = w;
            out.height = h;
            return out;
        }
    }
    // The picture's size: the larger of image and mask, within the bound.
    int fullWidth = width, fullHeight = height;
    if (mask) {
        fullWidth = std::max(fullWidth, mask->width);
        fullHeight = std::max(fullHeight, mask->height);
    }
    const auto [pictureWidth, pictureHeight] = targetSize(fullWidth, fullHeight, bound);
    // The image's own samples are converted at no more than that size.
    const int imageWidth = std::min(width, pictureWidth),
              imageHeight = std::min(height, pictureHeight);
    auto image = imageWidth == width && imageHeight == height
                     ? imageFromSamples(s->data, s->layout, *s->space, s->decode)
                     : scaledImageFromSamples(s->data, s->layout, *s->space, s->decode, imageWidth,
                                              imageHeight);
    if (!image)
        return std::nullopt;
    if (colorKey) {
        if (auto alpha = colorKeyAlpha(s->data, s->layout, *colorKey))
            mask = AlphaPlane{std::move(*alpha), width, height};
    }
    if (mask) {
        // Image and mask are both stretched over the picture's size.
        if (isAcceptableImageSize(pictureWidth, pictureHeight)) {
            RasterImage scaled = scaleImageNearest(*image, pictureWidth, pictureHeight);
            std::vector<uint8_t> alpha = scalePlaneNearest(mask->alpha, mask->width, mask->height,
                                                           pictureWidth, pictureHeight);
            image = scaled.withAlpha(alpha);
        }
    } else if (s->codec == ImageCodec::DCT) {
        out.lossySource = true;
    }
    out.width = image->width;
    out.height = image->height;
    out.image = std::move(image);
    return out;
}

} // namespace

std::pair<int, int>
QVPDFUtilities::pixelSizeWithinBound(int width, int height,
                                     const std::optional<QVPDFImagePixelBound>& bound) {
    if (!bound)
        return {width, height};
    // Closer to the bound than a quarter the image keeps its own pixels:
    // resampling would cost more in looks than it saves.
    auto axis = [](int source, int limit) {
        return limit >= 1 && double(source) > 1.25 * double(limit) ? limit : source;
    };
    return {axis(width, bound->width), axis(height, bound->height)};
}

std::optional<RasterImage>
QVPDFUtilities::decodePDFImage(const PdfObject& stream, const std::optional<PdfObject>& colorSpaces,
                               const QVPDFRGB& stencilColor) {
    auto decoded = decodeStream(stream, colorSpaces, stencilColor, false);
    if (!decoded)
        return std::nullopt;
    return std::move(decoded->image);
}

std::optional<QVPDFExtractedImage> QVPDFUtilities::extractPDFStream(
    const PdfObject& stream, const std::optional<PdfObject>& colorSpaces, const std::string& folder,
    float jpegQuality, const QVPDFRGB& stencilColor,
    const std::optional<QVPDFImagePixelBound>& bound) {
    auto decoded = decodeStream(stream, colorSpaces, stencilColor, true, bound);
    if (!decoded || !createDirectories(folder))
        return std::nullopt;
    QVPDFExtractedImage result;
    result.width = decoded->width;
    result.height = decoded->height;
    if (decoded->copiedType) {
        result.type = *decoded->copiedType;
        result.copiedEncodedData = true;
    } else {
        result.type = decoded->lossySource ? ImageFileType::JPEG : ImageFileType::PNG;
    }
    std::optional<std::string> encoded;
    if (!decoded->copiedType) {
        encoded = decoded->bilevel
                      ? encodePngBilevel(*decoded->bilevel, decoded->width, decoded->height,
                                         decoded->colour0, decoded->colour1)
                      : encodeImage(*decoded->image, result.type, 72, 72, jpegQuality);
        if (!encoded) {
            std::cerr << "Couldn't write image to file!\n";
            return std::nullopt;
        }
    }
    const std::string& bytes = decoded->copiedType ? decoded->copied : *encoded;
    // The extension is that of the bytes actually written. A scratch file of
    // this run alone, under a new unique name: written straight, not through a
    // temporary name (a page of thousands of inline images made thousands).
    std::string path = appendPathComponent(folder, "IMG_" + newUUIDString() + "." +
                                                       extensionForImageFileType(result.type));
    if (!writeNewFile(path, bytes)) {
        if (errno != EEXIST)
            return std::nullopt;
        auto other = QVPDFPathUtilities::getNewPathby(path);
        if (!other || !writeFileInPlace(*other, bytes))
            return std::nullopt;
        path = *other;
    }
    result.path = std::move(path);
    return result;
}

std::unique_ptr<Bitmap> QVPDFUtilities::CreateARGBBitmapContextSize(Size size) {
    double w = std::trunc(size.width), h = std::trunc(size.height);
    std::unique_ptr<Bitmap> bitmap;
    if (std::isfinite(w) && std::isfinite(h) && w >= 1 && h >= 1 && w <= 1e9 && h <= 1e9)
        bitmap = Bitmap::create(int(w), int(h));
    if (!bitmap)
        std::cerr << "Context not created!";
    return bitmap;
}

std::unique_ptr<Bitmap> QVPDFUtilities::CreateARGBBitmapContextFromImage(const RasterImage& image) {
    return CreateARGBBitmapContextSize({double(image.width), double(image.height)});
}

std::optional<RasterImage> QVPDFUtilities::maskCGImage(const RasterImage& image,
                                                       const RasterImage* mask,
                                                       const AffineTransform& transform) {
    if (!image.isValid())
        return std::nullopt;
    int w = image.width, h = image.height;
    if (mask && mask->isValid()) {
        w = std::max(w, mask->width);
        h = std::max(h, mask->height);
    }
    auto bitmap = CreateARGBBitmapContextSize({double(w), double(h)});
    if (!bitmap)
        return std::nullopt;
    const Rect all{{0, 0}, {double(w), double(h)}};
    bitmap->concatTransform(transform);
    if (mask && mask->isValid())
        bitmap->clipToMask(all, *mask);
    bitmap->drawImage(all, image);
    return bitmap->image();
}

RasterImage QVPDFUtilities::ConvertToARGBImageIfNeed(const RasterImage& image) {
    return image;
}

std::optional<RasterImage> QVPDFUtilities::cgImageWithContentsOfFile(const std::string& path) {
    return loadImageFile(path);
}

bool QVPDF_WriteImageToURL(const RasterImage* image, const std::string& path, ImageFileType type,
                           Size resolution, float quality) {
    if (!image || !image->isValid() || path.empty()) {
        std::cerr << "Couldn't create image destination!\n";
        return false;
    }
    // Callers reserve a new name in the scratch area for the file: written
    // straight, not through a temporary name.
    auto bytes = encodeImage(*image, type, resolution.width, resolution.height, quality);
    if (!bytes || !writeFileInPlace(path, *bytes)) {
        std::cerr << "Couldn't write image to file!\n";
        return false;
    }
    return true;
}
