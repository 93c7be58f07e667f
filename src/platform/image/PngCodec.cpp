#include "platform/image/PngCodec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include <png.h>

namespace platform {

namespace {

// libpng reports fatal errors through longjmp; everything the jump crosses is
// plain C, and what the C++ side owns lives in heap objects made before setjmp.
void pngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void pngWarning(png_structp, png_const_charp) {}

struct WriteState {
    std::string out;
};

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    state->out.append(reinterpret_cast<const char*>(data), length);
}

void pngFlush(png_structp) {}

struct ReadState {
    const unsigned char* data;
    size_t size;
    size_t offset;
};

void pngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (state->size - state->offset < length)
        png_error(png, "truncated");
    std::memcpy(out, state->data + state->offset, length);
    state->offset += length;
}

png_uint_32 pixelsPerMetre(double dpi) {
    if (!(dpi > 0) || dpi > 1e6)
        dpi = 72;
    return png_uint_32(std::lround(dpi / 0.0254));
}

bool encodeInto(const RasterImage& image, double dpiX, double dpiY, WriteState* state) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    int colorType = PNG_COLOR_TYPE_RGB;
    switch (image.format) {
    case RasterImage::Format::Gray:
        colorType = PNG_COLOR_TYPE_GRAY;
        break;
    case RasterImage::Format::GrayAlpha:
        colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
        break;
    case RasterImage::Format::RGB:
        colorType = PNG_COLOR_TYPE_RGB;
        break;
    case RasterImage::Format::RGBA:
        colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        break;
    }
    png_set_write_fn(png, state, pngWrite, pngFlush);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, pixelsPerMetre(dpiX), pixelsPerMetre(dpiY), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, const_cast<png_bytep>(image.row(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// What encodePngCompact writes: the rows in their final PNG form.
struct CompactRows {
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    int bitDepth = 8;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha; // empty when every entry is opaque
    size_t rowBytes = 0;
    std::vector<uint8_t> data;
};

uint32_t pixelKey(const uint8_t* p, int channels) {
    switch (channels) {
    case 1:
        return 0xff000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[0]) << 8) | p[0];
    case 2:
        return (uint32_t(p[1]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[0]) << 8) | p[0];
    case 3:
        return 0xff000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    default:
        return (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
}

// A small open-addressing set of up to 256 colours with their palette index.
class ColourTable {
public:
    ColourTable() { keys_.fill(kEmpty); }
    /// The colour's index, added when new; -1 past 256 colours.
    int indexOf(uint32_t key) {
        if (key == lastKey_)
            return lastIndex_;
        size_t h = (key * 2654435761u) >> 23; // 9 bits: 512 slots
        while (keys_[h] != kEmpty && keys_[h] != key)
            h = (h + 1) & 511;
        if (keys_[h] == kEmpty) {
            if (colours_.size() == 256)
                return -1;
            keys_[h] = key;
            index_[h] = uint8_t(colours_.size());
            colours_.push_back(key);
        }
        lastKey_ = key;
        lastIndex_ = index_[h];
        return lastIndex_;
    }
    const std::vector<uint32_t>& colours() const { return colours_; }

private:
    // 0x00ffffff with alpha 0 never comes from pixelKey's grey or opaque
    // forms, and a transparent white is looked up like any other key.
    static constexpr uint32_t kEmpty = 0x00fffffeu;
    std::array<uint32_t, 512> keys_;
    std::array<uint8_t, 512> index_{};
    std::vector<uint32_t> colours_;
    uint32_t lastKey_ = kEmpty;
    int lastIndex_ = 0;
};

CompactRows compactRows(const RasterImage& image) {
    CompactRows out;
    const int c = image.channels();
    const size_t pixels = size_t(image.width) * size_t(image.height);
    ColourTable table;
    bool paletted = true, grey = true, opaque = true;
    std::vector<uint8_t> indices(pixels);
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = image.pixels.data() + i * c;
        const uint32_t key = pixelKey(p, c);
        if (paletted) {
            const int index = key == 0x00fffffeu ? -1 : table.indexOf(key);
            if (index < 0)
                paletted = false;
            else
                indices[i] = uint8_t(index);
        }
        if (c >= 3 && (p[0] != p[1] || p[1] != p[2]))
            grey = false;
        if ((key >> 24) != 0xff)
            opaque = false;
        if (!paletted && !grey && !opaque)
            break;
    }
    if (paletted) {
        const size_t n = table.colours().size();
        out.colorType = PNG_COLOR_TYPE_PALETTE;
        out.bitDepth = n <= 2 ? 1 : n <= 4 ? 2 : n <= 16 ? 4 : 8;
        for (uint32_t key : table.colours()) {
            out.palette.push_back(
                {png_byte(key >> 16), png_byte(key >> 8), png_byte(key)});
            out.paletteAlpha.push_back(png_byte(key >> 24));
        }
        if (opaque)
            out.paletteAlpha.clear();
        const int perByte = 8 / out.bitDepth;
        out.rowBytes = (size_t(image.width) + perByte - 1) / perByte;
        out.data.assign(out.rowBytes * size_t(image.height), 0);
        for (int y = 0; y < image.height; ++y) {
            const uint8_t* in = indices.data() + size_t(y) * size_t(image.width);
            uint8_t* row = out.data.data() + size_t(y) * out.rowBytes;
            for (int x = 0; x < image.width; ++x)
                row[x / perByte] |= uint8_t(in[x] << (8 - out.bitDepth * (x % perByte + 1)));
        }
        return out;
    }
    const int channels = (grey ? 1 : 3) + (opaque ? 0 : 1);
    out.colorType = grey ? (opaque ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_GRAY_ALPHA)
                         : (opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA);
    out.rowBytes = size_t(image.width) * size_t(channels);
    out.data.resize(out.rowBytes * size_t(image.height));
    uint8_t* o = out.data.data();
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = image.pixels.data() + i * c;
        const bool srcGrey = c <= 2;
        if (grey) {
            *o++ = p[0];
        } else {
            *o++ = p[0];
            *o++ = srcGrey ? p[0] : p[1];
            *o++ = srcGrey ? p[0] : p[2];
        }
        if (!opaque)
            *o++ = p[c - 1];
    }
    return out;
}

bool encodeCompactInto(const CompactRows& rows, int width, int height, double dpiX, double dpiY,
                       WriteState* state) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, state, pngWrite, pngFlush);
    // Speed over the last few per cent of size: these pictures are mostly
    // flat colour, which level 2 already packs well. Palette rows go
    // unfiltered; others get the cheap byte-left or row-above filter,
    // whichever libpng judges smaller.
    png_set_compression_level(png, 2);
    png_set_filter(png, PNG_FILTER_TYPE_BASE,
                   rows.colorType == PNG_COLOR_TYPE_PALETTE ? PNG_FILTER_NONE
                                                            : PNG_FILTER_SUB | PNG_FILTER_UP);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), rows.bitDepth,
                 rows.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!rows.palette.empty())
        png_set_PLTE(png, info, rows.palette.data(), int(rows.palette.size()));
    if (!rows.paletteAlpha.empty())
        png_set_tRNS(png, info, rows.paletteAlpha.data(), int(rows.paletteAlpha.size()), nullptr);
    png_set_pHYs(png, info, pixelsPerMetre(dpiX), pixelsPerMetre(dpiY), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rows.data.data() + size_t(y) * rows.rowBytes));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool encodeBilevelInto(std::string_view rows, int width, int height,
                       const std::array<uint8_t, 4>& colour0, const std::array<uint8_t, 4>& colour1,
                       double dpiX, double dpiY, WriteState* state) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    using Colour = std::array<uint8_t, 4>;
    const Colour black{0, 0, 0, 255}, white{255, 255, 255, 255};
    const bool grey =
        (colour0 == black && colour1 == white) || (colour0 == white && colour1 == black);
    png_set_write_fn(png, state, pngWrite, pngFlush);
    // Filters do nothing for samples below a byte.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 1,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[2] = {{colour0[0], colour0[1], colour0[2]},
                            {colour1[0], colour1[1], colour1[2]}};
    png_byte alpha[2] = {colour0[3], colour1[3]};
    if (!grey) {
        png_set_PLTE(png, info, palette, 2);
        if (colour0[3] != 255 || colour1[3] != 255)
            png_set_tRNS(png, info, alpha, 2, nullptr);
    }
    png_set_pHYs(png, info, pixelsPerMetre(dpiX), pixelsPerMetre(dpiY), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    // Grey 1-bit PNG shows 0 as black: white-on-0 data is written inverted.
    if (grey && colour0 == white)
        png_set_invert_mono(png);
    const size_t rowBytes = (size_t(width) + 7) / 8;
    for (int y = 0; y < height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(rows.data() + size_t(y) * rowBytes));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct DecodeState {
    RasterImage image;
    std::vector<png_bytep> rows;
};

bool decodeInto(const ReadState& source, DecodeState* out) {
    RasterImage* image = &out->image;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    ReadState state = source;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state, pngRead);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (!isAcceptableImageSize(width, height)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_expand(png); // palette to RGB, gray below 8 bits to 8, tRNS to alpha
    png_set_scale_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    int colorType = png_get_color_type(png, info);
    RasterImage::Format format = RasterImage::Format::RGB;
    if (colorType == PNG_COLOR_TYPE_GRAY)
        format = RasterImage::Format::Gray;
    else if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        format = RasterImage::Format::GrayAlpha;
    else if (colorType == PNG_COLOR_TYPE_RGB_ALPHA)
        format = RasterImage::Format::RGBA;
    *image = RasterImage::make(int(width), int(height), format);
    if (!image->isValid() || png_get_rowbytes(png, info) != image->rowBytes()) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    out->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        out->rows[y] = image->row(int(y));
    png_read_image(png, out->rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

bool isPngData(std::string_view bytes) {
    return bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}

std::optional<std::string> encodePng(const RasterImage& image, double dpiX, double dpiY) {
    if (!image.isValid())
        return std::nullopt;
    auto state = std::make_unique<WriteState>();
    if (!encodeInto(image, dpiX, dpiY, state.get()))
        return std::nullopt;
    return std::move(state->out);
}

std::optional<std::string> encodePngCompact(const RasterImage& image, double dpiX, double dpiY) {
    if (!image.isValid())
        return std::nullopt;
    auto rows = std::make_unique<CompactRows>(compactRows(image));
    auto state = std::make_unique<WriteState>();
    if (!encodeCompactInto(*rows, image.width, image.height, dpiX, dpiY, state.get()))
        return std::nullopt;
    return std::move(state->out);
}

std::optional<std::string> encodePngBilevel(std::string_view rows, int width, int height,
                                            const std::array<uint8_t, 4>& colour0,
                                            const std::array<uint8_t, 4>& colour1, double dpiX,
                                            double dpiY) {
    if (!isAcceptableImageSize(width, height) ||
        rows.size() < (size_t(width) + 7) / 8 * size_t(height))
        return std::nullopt;
    auto state = std::make_unique<WriteState>();
    if (!encodeBilevelInto(rows, width, height, colour0, colour1, dpiX, dpiY, state.get()))
        return std::nullopt;
    return std::move(state->out);
}

std::optional<RasterImage> decodePng(std::string_view bytes) {
    if (!isPngData(bytes))
        return std::nullopt;
    auto state = std::make_unique<DecodeState>();
    ReadState source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
    if (!decodeInto(source, state.get()))
        return std::nullopt;
    return std::move(state->image);
}

} // namespace platform
