#include "platform/image/RasterImage.h"

namespace platform {

bool isAcceptableImageSize(long long width, long long height) {
    if (width <= 0 || height <= 0 || uint64_t(width) > kMaxImagePixels ||
        uint64_t(height) > kMaxImagePixels)
        return false;
    return uint64_t(width) * uint64_t(height) <= kMaxImagePixels;
}

RasterImage RasterImage::make(int width, int height, Format format) {
    RasterImage image;
    if (!isAcceptableImageSize(width, height))
        return image;
    image.width = width;
    image.height = height;
    image.format = format;
    image.pixels.assign(size_t(width) * size_t(height) * size_t(channelsOf(format)), 0);
    return image;
}

int RasterImage::channelsOf(Format format) {
    switch (format) {
    case Format::Gray:
        return 1;
    case Format::GrayAlpha:
        return 2;
    case Format::RGB:
        return 3;
    case Format::RGBA:
        return 4;
    }
    return 1;
}

bool RasterImage::isValid() const {
    return width > 0 && height > 0 &&
           pixels.size() == size_t(width) * size_t(height) * size_t(channels());
}

RasterImage RasterImage::converted(Format to) const {
    if (to == format || !isValid())
        return *this;
    RasterImage out = make(width, height, to);
    const int inC = channels(), outC = out.channels();
    const bool inGray = isGray(), outGray = out.isGray();
    const bool inAlpha = hasAlpha(), outAlpha = out.hasAlpha();
    const size_t count = size_t(width) * size_t(height);
    const uint8_t* src = pixels.data();
    uint8_t* dst = out.pixels.data();
    for (size_t i = 0; i < count; ++i, src += inC, dst += outC) {
        if (inGray && outGray) {
            dst[0] = src[0];
        } else if (inGray) {
            dst[0] = dst[1] = dst[2] = src[0];
        } else if (outGray) {
            dst[0] = uint8_t((299 * src[0] + 587 * src[1] + 114 * src[2] + 500) / 1000);
        } else {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
        if (outAlpha)
            dst[outC - 1] = inAlpha ? src[inC - 1] : 255;
    }
    return out;
}

RasterImage RasterImage::withAlpha(const std::vector<uint8_t>& alpha) const {
    RasterImage out = converted(isGray() ? Format::GrayAlpha : Format::RGBA);
    const size_t count = size_t(width) * size_t(height);
    if (!out.isValid() || alpha.size() < count)
        return out;
    const int c = out.channels();
    for (size_t i = 0; i < count; ++i)
        out.pixels[i * c + c - 1] = alpha[i];
    return out;
}

bool RasterImage::isOpaque() const {
    if (!hasAlpha())
        return true;
    const int c = channels();
    for (size_t i = c - 1; i < pixels.size(); i += c)
        if (pixels[i] != 255)
            return false;
    return true;
}

} // namespace platform
