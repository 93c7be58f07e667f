#include "platform/image/ImageFile.h"

#include "platform/Files.h"
#include "platform/image/ImageColorSpace.h"
#include "platform/image/Jpeg2000Codec.h"
#include "platform/image/JpegCodec.h"
#include "platform/image/PngCodec.h"

namespace platform {

namespace {

/// Interleaved samples of 1, 3 or 4 (CMYK) components, with an optional
/// alpha component after them, as an 8-bit image.
std::optional<RasterImage> imageOfSamples(const DecodedSamples& s, int colorComponents, bool alpha,
                                          bool invertCmyk) {
    if (colorComponents != 1 && colorComponents != 3 && colorComponents != 4)
        return std::nullopt;
    RasterImage::Format format =
        colorComponents == 1 ? (alpha ? RasterImage::Format::GrayAlpha : RasterImage::Format::Gray)
                             : (alpha ? RasterImage::Format::RGBA : RasterImage::Format::RGB);
    RasterImage image = RasterImage::make(s.width, s.height, format);
    const size_t count = size_t(s.width) * size_t(s.height);
    if (!image.isValid() || s.samples.size() < count * size_t(s.components))
        return std::nullopt;
    const int out = image.channels();
    const auto cmyk = ImageColorSpace::deviceCMYK();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* src = s.samples.data() + i * s.components;
        uint8_t* dst = image.pixels.data() + i * out;
        if (colorComponents == 4) {
            double ink[4];
            for (int c = 0; c < 4; ++c)
                ink[c] = (invertCmyk ? 255 - src[c] : src[c]) / 255.0;
            cmyk->toRGB(ink, dst);
        } else {
            for (int c = 0; c < colorComponents; ++c)
                dst[c] = src[c];
        }
        if (alpha)
            dst[out - 1] = src[colorComponents];
    }
    return image;
}

} // namespace

std::string extensionForImageFileType(ImageFileType type) {
    switch (type) {
    case ImageFileType::PNG:
        return "png";
    case ImageFileType::JPEG:
        return "jpeg";
    case ImageFileType::JPEG2000:
        return "jp2";
    }
    return "png";
}

std::optional<std::string> encodeImage(const RasterImage& image, ImageFileType type, double dpiX,
                                       double dpiY, double quality) {
    switch (type) {
    case ImageFileType::PNG:
        return encodePng(image, dpiX, dpiY);
    case ImageFileType::JPEG:
        return encodeJpeg(image, quality, dpiX, dpiY);
    case ImageFileType::JPEG2000:
        return encodeJpeg2000(image);
    }
    return std::nullopt;
}

std::optional<ImageFileType> imageFileTypeOfData(std::string_view bytes) {
    if (isPngData(bytes))
        return ImageFileType::PNG;
    if (isJpegData(bytes))
        return ImageFileType::JPEG;
    if (isJp2Data(bytes) || isJ2kData(bytes))
        return ImageFileType::JPEG2000;
    return std::nullopt;
}

std::optional<RasterImage> decodeImageData(std::string_view bytes) {
    auto type = imageFileTypeOfData(bytes);
    if (!type)
        return std::nullopt;
    switch (*type) {
    case ImageFileType::PNG:
        return decodePng(bytes);
    case ImageFileType::JPEG: {
        auto info = readJpegInfo(bytes);
        auto samples = decodeJpeg(bytes);
        if (!info || !samples)
            return std::nullopt;
        return imageOfSamples(*samples, samples->components, false, info->adobeMarker);
    }
    case ImageFileType::JPEG2000: {
        auto decoded = decodeJpeg2000(bytes);
        if (!decoded)
            return std::nullopt;
        return imageOfSamples(decoded->samples, decoded->colorComponents, decoded->hasAlpha, false);
    }
    }
    return std::nullopt;
}

std::optional<RasterImage> loadImageFile(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes)
        return std::nullopt;
    return decodeImageData(*bytes);
}

} // namespace platform
