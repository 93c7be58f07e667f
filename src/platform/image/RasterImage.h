#pragma once
// An 8-bit image in memory: rows packed without padding, top row first, alpha
// (when present) straight, not premultiplied. What the codecs decode to, what
// the image writers take, and what the bitmap surfaces draw.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

/// Images past this many pixels are refused before anything is allocated for
/// them: 2^27 (about 134 million) holds an A2 page scanned at 600 dpi, while its
/// RGBA form (512 MiB) still fits the machines we run on.
constexpr uint64_t kMaxImagePixels = uint64_t(1) << 27;
/// Decoded or encoded image data past this size is refused while it is read,
/// so a decompression bomb stops at the limit (the RGBA form of the largest
/// image allowed above).
constexpr uint64_t kMaxImageBytes = kMaxImagePixels * 4;

/// True when width x height is a size we decode: both positive and the product
/// within kMaxImagePixels.
bool isAcceptableImageSize(long long width, long long height);

struct RasterImage {
    enum class Format { Gray, GrayAlpha, RGB, RGBA };

    int width = 0;
    int height = 0;
    Format format = Format::RGB;
    std::vector<uint8_t> pixels;

    /// A zero-filled image; an empty one (width 0) when the size is not acceptable.
    static RasterImage make(int width, int height, Format format);

    static int channelsOf(Format format);
    int channels() const { return channelsOf(format); }
    bool hasAlpha() const { return format == Format::GrayAlpha || format == Format::RGBA; }
    bool isGray() const { return format == Format::Gray || format == Format::GrayAlpha; }
    /// Positive size and as many bytes as the size and format need.
    bool isValid() const;
    size_t rowBytes() const { return size_t(width) * size_t(channels()); }
    uint8_t* row(int y) { return pixels.data() + size_t(y) * rowBytes(); }
    const uint8_t* row(int y) const { return pixels.data() + size_t(y) * rowBytes(); }

    /// The same pixels in another format: gray spreads to RGB, RGB goes to gray
    /// by the luminance weights 0.299/0.587/0.114, missing alpha is opaque and
    /// dropped alpha is lost.
    RasterImage converted(Format to) const;
    /// This image with `alpha` (width x height values) as its alpha channel.
    RasterImage withAlpha(const std::vector<uint8_t>& alpha) const;
    /// True when every pixel is fully opaque (or there is no alpha).
    bool isOpaque() const;
};

} // namespace platform
