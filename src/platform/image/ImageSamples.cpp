#include "platform/image/ImageSamples.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

namespace platform {

namespace {

inline uint32_t sampleAt(const uint8_t* row, size_t k, int bits) {
    switch (bits) {
    case 1:
        return (row[k >> 3] >> (7 - (k & 7))) & 1u;
    case 2:
        return (row[k >> 2] >> (6 - 2 * (k & 3))) & 3u;
    case 4:
        return (row[k >> 1] >> ((k & 1) ? 0 : 4)) & 15u;
    case 8:
        return row[k];
    default:
        return (uint32_t(row[2 * k]) << 8) | row[2 * k + 1];
    }
}

/// The data, or a zero-padded copy of it when it is shorter than the layout needs.
class PaddedData {
public:
    PaddedData(std::string_view data, size_t needed) {
        if (data.size() >= needed) {
            bytes_ = reinterpret_cast<const uint8_t*>(data.data());
        } else {
            padded_.assign(needed, 0);
            std::memcpy(padded_.data(), data.data(), data.size());
            bytes_ = padded_.data();
        }
    }
    const uint8_t* bytes() const { return bytes_; }

private:
    std::vector<uint8_t> padded_;
    const uint8_t* bytes_ = nullptr;
};

std::array<double, 2> componentRange(const ImageColorSpace& space, int i) {
    const auto& r = space.range();
    switch (space.kind()) {
    case ImageColorSpace::Kind::Lab:
        if (i == 0)
            return {0, 100};
        return {r[2 * (i - 1)], r[2 * (i - 1) + 1]};
    case ImageColorSpace::Kind::ICCBased:
        return {r[2 * i], r[2 * i + 1]};
    default:
        return {0, 1};
    }
}

} // namespace

bool SampleLayout::isValid() const {
    return isAcceptableImageSize(width, height) && components >= 1 && components <= 32 &&
           (bitsPerComponent == 1 || bitsPerComponent == 2 || bitsPerComponent == 4 ||
            bitsPerComponent == 8 || bitsPerComponent == 16);
}

std::vector<double> defaultDecodeArray(const ImageColorSpace& space, int bitsPerComponent) {
    if (space.kind() == ImageColorSpace::Kind::Indexed)
        return {0, double((1u << std::clamp(bitsPerComponent, 1, 16)) - 1)};
    std::vector<double> decode;
    for (int i = 0; i < space.numberOfComponents(); ++i) {
        auto r = componentRange(space, i);
        decode.push_back(r[0]);
        decode.push_back(r[1]);
    }
    return decode;
}

std::optional<RasterImage> imageFromSamples(std::string_view data, const SampleLayout& layout,
                                            const ImageColorSpace& space,
                                            const std::vector<double>& decodeIn) {
    const int n = layout.components;
    if (!layout.isValid() || n != space.numberOfComponents())
        return std::nullopt;
    std::vector<double> decode = defaultDecodeArray(space, layout.bitsPerComponent);
    for (size_t i = 0; i < decode.size() && i < decodeIn.size(); ++i)
        if (std::isfinite(decodeIn[i]))
            decode[i] = decodeIn[i];

    const bool gray = space.isGrayOutput();
    RasterImage image = RasterImage::make(
        layout.width, layout.height, gray ? RasterImage::Format::Gray : RasterImage::Format::RGB);
    if (!image.isValid())
        return std::nullopt;
    PaddedData source(data, layout.dataBytes());
    const size_t rowBytes = layout.rowBytes();
    const double maxSample = layout.maxSample();
    const int bits = layout.bitsPerComponent;

    auto decoded = [&](int component, uint32_t sample) {
        double lo = decode[2 * component], hi = decode[2 * component + 1];
        return lo + sample * (hi - lo) / maxSample;
    };

    if (n == 1) {
        // Every possible sample converted once.
        const size_t entries = size_t(layout.maxSample()) + 1;
        std::vector<std::array<uint8_t, 3>> table(entries);
        for (size_t s = 0; s < entries; ++s) {
            double v = decoded(0, uint32_t(s));
            space.toRGB(&v, table[s].data());
        }
        for (int y = 0; y < layout.height; ++y) {
            const uint8_t* row = source.bytes() + size_t(y) * rowBytes;
            uint8_t* out = image.row(y);
            for (int x = 0; x < layout.width; ++x) {
                const auto& rgb = table[sampleAt(row, size_t(x), bits)];
                if (gray) {
                    out[x] = rgb[0];
                } else {
                    std::memcpy(out + 3 * size_t(x), rgb.data(), 3);
                }
            }
        }
        return image;
    }

    // Several components: per-component tables of decoded values, and a small
    // cache of converted pixels, since pictures repeat colours and the CMYK,
    // Lab and tint conversions are not cheap.
    const bool tabled = bits <= 8;
    std::vector<std::vector<double>> values(tabled ? size_t(n) : 0);
    for (int c = 0; c < n && tabled; ++c) {
        values[c].resize(size_t(layout.maxSample()) + 1);
        for (uint32_t s = 0; s <= layout.maxSample(); ++s)
            values[c][s] = decoded(c, s);
    }
    constexpr size_t kCacheSize = 4096;
    struct CacheEntry {
        uint64_t key = ~uint64_t(0);
        std::array<uint8_t, 3> rgb{};
    };
    std::vector<CacheEntry> cache(kCacheSize);
    const bool cacheable = n * bits <= 63;
    std::vector<uint32_t> samples(static_cast<size_t>(n));
    std::vector<double> pixel(static_cast<size_t>(n));
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* row = source.bytes() + size_t(y) * rowBytes;
        uint8_t* out = image.row(y);
        for (int x = 0; x < layout.width; ++x) {
            uint64_t key = 0;
            for (int c = 0; c < n; ++c) {
                samples[c] = sampleAt(row, size_t(x) * n + c, bits);
                key = (key << bits) | samples[c];
            }
            uint8_t rgb[3];
            CacheEntry* entry = cacheable ? &cache[(key * 0x9E3779B97F4A7C15ull) >> 52] : nullptr;
            if (entry && entry->key == key) {
                std::memcpy(rgb, entry->rgb.data(), 3);
            } else {
                for (int c = 0; c < n; ++c)
                    pixel[c] = tabled ? values[c][samples[c]] : decoded(c, samples[c]);
                space.toRGB(pixel.data(), rgb);
                if (entry) {
                    entry->key = key;
                    std::memcpy(entry->rgb.data(), rgb, 3);
                }
            }
            if (gray)
                out[x] = rgb[0];
            else
                std::memcpy(out + 3 * size_t(x), rgb, 3);
        }
    }
    return image;
}

namespace {

/// First source index of each of `target` boxes over `source` items, and the
/// end of the last: box k covers [edges[k], edges[k + 1]), never empty while
/// target <= source.
std::vector<int> boxEdges(int source, int target) {
    std::vector<int> edges(size_t(target) + 1);
    for (int k = 0; k <= target; ++k)
        edges[size_t(k)] = int(uint64_t(k) * uint64_t(source) / uint64_t(target));
    return edges;
}

bool isDownscale(const SampleLayout& layout, int newWidth, int newHeight) {
    return layout.isValid() && newWidth >= 1 && newHeight >= 1 && newWidth <= layout.width &&
           newHeight <= layout.height;
}

} // namespace

std::optional<RasterImage> scaledImageFromSamples(std::string_view data, const SampleLayout& layout,
                                                  const ImageColorSpace& space,
                                                  const std::vector<double>& decode, int newWidth,
                                                  int newHeight) {
    if (!isDownscale(layout, newWidth, newHeight) ||
        layout.components != space.numberOfComponents())
        return std::nullopt;
    const RasterImage::Format format =
        space.isGrayOutput() ? RasterImage::Format::Gray : RasterImage::Format::RGB;
    RasterImage out = RasterImage::make(newWidth, newHeight, format);
    if (!out.isValid())
        return std::nullopt;
    const int c = out.channels();
    const std::vector<int> columns = boxEdges(layout.width, newWidth);
    const std::vector<int> rows = boxEdges(layout.height, newHeight);
    std::vector<int> columnOf(size_t(layout.width));
    for (int k = 0; k < newWidth; ++k)
        for (int x = columns[size_t(k)]; x < columns[size_t(k) + 1]; ++x)
            columnOf[size_t(x)] = k;
    const size_t rowBytes = layout.rowBytes();
    std::vector<uint64_t> sums(static_cast<size_t>(newWidth) * size_t(c));
    for (int ty = 0; ty < newHeight; ++ty) {
        const int y0 = rows[size_t(ty)], y1 = rows[size_t(ty) + 1];
        SampleLayout band = layout;
        band.height = y1 - y0;
        // Rows past the data's end read as zero, as for the whole image.
        const size_t start = std::min(data.size(), size_t(y0) * rowBytes);
        const std::string_view bandData =
            data.substr(start, std::min(data.size() - start, size_t(band.height) * rowBytes));
        auto pixels = imageFromSamples(bandData, band, space, decode);
        if (!pixels || pixels->format != format)
            return std::nullopt;
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = 0; y < band.height; ++y) {
            const uint8_t* in = pixels->row(y);
            for (int x = 0; x < layout.width; ++x)
                for (int k = 0; k < c; ++k)
                    sums[size_t(columnOf[size_t(x)]) * size_t(c) + size_t(k)] +=
                        in[size_t(x) * size_t(c) + size_t(k)];
        }
        uint8_t* o = out.row(ty);
        for (int tx = 0; tx < newWidth; ++tx) {
            const uint64_t count =
                uint64_t(columns[size_t(tx) + 1] - columns[size_t(tx)]) * uint64_t(band.height);
            for (int k = 0; k < c; ++k)
                o[size_t(tx) * size_t(c) + size_t(k)] =
                    uint8_t((sums[size_t(tx) * size_t(c) + size_t(k)] + count / 2) / count);
        }
    }
    return out;
}

std::string scaledBitsFromSamples(std::string_view data, const SampleLayout& layout, int inkSample,
                                  int newWidth, int newHeight) {
    if (!isDownscale(layout, newWidth, newHeight) || layout.components != 1 ||
        layout.bitsPerComponent != 1)
        return {};
    const std::vector<int> columns = boxEdges(layout.width, newWidth);
    const std::vector<int> rows = boxEdges(layout.height, newHeight);
    std::vector<int> columnOf(size_t(layout.width));
    for (int k = 0; k < newWidth; ++k)
        for (int x = columns[size_t(k)]; x < columns[size_t(k) + 1]; ++x)
            columnOf[size_t(x)] = k;
    const size_t rowBytes = layout.rowBytes(), outRowBytes = (size_t(newWidth) + 7) / 8;
    // Missing rows are zero samples, as imageFromSamples reads them.
    const uint8_t ink = inkSample ? 1 : 0;
    std::string out(outRowBytes * size_t(newHeight), '\0');
    std::vector<uint32_t> onBits(static_cast<size_t>(newWidth));
    for (int ty = 0; ty < newHeight; ++ty) {
        const int y0 = rows[size_t(ty)], y1 = rows[size_t(ty) + 1];
        std::fill(onBits.begin(), onBits.end(), 0);
        for (int y = y0; y < y1; ++y) {
            const size_t at = size_t(y) * rowBytes;
            if (at >= data.size())
                break;
            const auto* row = reinterpret_cast<const uint8_t*>(data.data() + at);
            const size_t have = std::min(rowBytes, data.size() - at);
            for (size_t b = 0; b < have; ++b) {
                if (row[b] == 0)
                    continue;
                for (int bit = 0; bit < 8; ++bit) {
                    const size_t x = b * 8 + size_t(bit);
                    if (x < size_t(layout.width) && (row[b] >> (7 - bit)) & 1)
                        ++onBits[size_t(columnOf[x])];
                }
            }
        }
        uint8_t* o = reinterpret_cast<uint8_t*>(out.data()) + size_t(ty) * outRowBytes;
        for (int tx = 0; tx < newWidth; ++tx) {
            const uint64_t area =
                uint64_t(columns[size_t(tx) + 1] - columns[size_t(tx)]) * uint64_t(y1 - y0);
            const uint64_t inkCount = ink ? onBits[size_t(tx)] : area - onBits[size_t(tx)];
            const bool inked = 3 * inkCount >= area;
            if (inked ? ink == 1 : ink == 0)
                o[tx >> 3] = uint8_t(o[tx >> 3] | (0x80 >> (tx & 7)));
        }
    }
    return out;
}

std::vector<uint8_t> graysFromSamples(std::string_view data, const SampleLayout& layout,
                                      double dmin, double dmax) {
    SampleLayout one = layout;
    one.components = 1;
    if (!one.isValid())
        return {};
    PaddedData source(data, one.dataBytes());
    std::vector<uint8_t> table(size_t(one.maxSample()) + 1);
    for (size_t s = 0; s < table.size(); ++s) {
        double v = dmin + double(s) * (dmax - dmin) / one.maxSample();
        v = std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
        table[s] = uint8_t(v * 255.0 + 0.5);
    }
    std::vector<uint8_t> out(size_t(one.width) * size_t(one.height));
    const size_t rowBytes = one.rowBytes();
    for (int y = 0; y < one.height; ++y) {
        const uint8_t* row = source.bytes() + size_t(y) * rowBytes;
        uint8_t* o = out.data() + size_t(y) * one.width;
        for (int x = 0; x < one.width; ++x)
            o[x] = table[sampleAt(row, size_t(x), one.bitsPerComponent)];
    }
    return out;
}

std::optional<std::vector<uint8_t>> colorKeyAlpha(std::string_view data, const SampleLayout& layout,
                                                  const std::vector<long long>& ranges) {
    const int n = layout.components;
    if (!layout.isValid() || ranges.size() != size_t(2 * n))
        return std::nullopt;
    PaddedData source(data, layout.dataBytes());
    std::vector<uint8_t> alpha(size_t(layout.width) * size_t(layout.height), 255);
    const size_t rowBytes = layout.rowBytes();
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* row = source.bytes() + size_t(y) * rowBytes;
        uint8_t* a = alpha.data() + size_t(y) * layout.width;
        for (int x = 0; x < layout.width; ++x) {
            bool inside = true;
            for (int c = 0; c < n && inside; ++c) {
                long long s = sampleAt(row, size_t(x) * n + c, layout.bitsPerComponent);
                inside = s >= ranges[2 * c] && s <= ranges[2 * c + 1];
            }
            if (inside)
                a[x] = 0;
        }
    }
    return alpha;
}

std::vector<uint8_t> scalePlaneNearest(const std::vector<uint8_t>& plane, int width, int height,
                                       int newWidth, int newHeight) {
    if (width == newWidth && height == newHeight)
        return plane;
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0 ||
        plane.size() < size_t(width) * size_t(height))
        return {};
    std::vector<size_t> columns(static_cast<size_t>(newWidth));
    for (int x = 0; x < newWidth; ++x)
        columns[x] = size_t((2 * uint64_t(x) + 1) * uint64_t(width) / (2 * uint64_t(newWidth)));
    std::vector<uint8_t> out(size_t(newWidth) * size_t(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        size_t sy = size_t((2 * uint64_t(y) + 1) * uint64_t(height) / (2 * uint64_t(newHeight)));
        const uint8_t* src = plane.data() + sy * size_t(width);
        uint8_t* dst = out.data() + size_t(y) * newWidth;
        for (int x = 0; x < newWidth; ++x)
            dst[x] = src[columns[x]];
    }
    return out;
}

RasterImage scaleImageNearest(const RasterImage& image, int newWidth, int newHeight) {
    if (image.width == newWidth && image.height == newHeight)
        return image;
    RasterImage out = RasterImage::make(newWidth, newHeight, image.format);
    if (!out.isValid() || !image.isValid())
        return out;
    const int c = image.channels();
    for (int y = 0; y < newHeight; ++y) {
        int sy = int((2 * uint64_t(y) + 1) * uint64_t(image.height) / (2 * uint64_t(newHeight)));
        const uint8_t* src = image.row(sy);
        uint8_t* dst = out.row(y);
        for (int x = 0; x < newWidth; ++x) {
            size_t sx =
                size_t((2 * uint64_t(x) + 1) * uint64_t(image.width) / (2 * uint64_t(newWidth)));
            std::memcpy(dst + size_t(x) * c, src + sx * c, size_t(c));
        }
    }
    return out;
}

} // namespace platform
