#include "platform/image/PngCodec.h"

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
