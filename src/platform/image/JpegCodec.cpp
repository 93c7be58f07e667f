#include "platform/image/JpegCodec.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace platform {

namespace {

// libjpeg reports fatal errors through error_exit; we jump back with longjmp.
// Nothing between setjmp and the jump owns C++ resources: what the C++ side
// keeps lives in heap objects made before setjmp.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void silentMessage(j_common_ptr, int) {}

struct DecodeState {
    jpeg_decompress_struct info;
    ErrorManager error;
    DecodedSamples result;
    JpegInfo header;
};

bool readHeader(std::string_view bytes, DecodeState* s, bool decode, int colorTransform) {
    s->info.err = jpeg_std_error(&s->error.base);
    s->error.base.error_exit = errorExit;
    s->error.base.emit_message = silentMessage;
    if (setjmp(s->error.jump)) {
        jpeg_destroy_decompress(&s->info);
        // A decoder that failed after the header keeps the rows it delivered.
        return decode && !s->result.samples.empty();
    }
    jpeg_create_decompress(&s->info);
    jpeg_mem_src(&s->info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&s->info, JPEG_APP0 + 14, 0xFFFF);
    if (jpeg_read_header(&s->info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&s->info);
        return false;
    }
    s->header.width = int(s->info.image_width);
    s->header.height = int(s->info.image_height);
    s->header.components = s->info.num_components;
    s->header.adobeMarker = s->info.saw_Adobe_marker;
    s->header.adobeTransform = s->info.saw_Adobe_marker ? s->info.Adobe_transform : -1;
    if (!decode) {
        jpeg_destroy_decompress(&s->info);
        return true;
    }
    const int n = s->info.num_components;
    if (!isAcceptableImageSize(s->info.image_width, s->info.image_height) ||
        (n != 1 && n != 3 && n != 4)) {
        jpeg_destroy_decompress(&s->info);
        return false;
    }
    if (n == 1) {
        s->info.out_color_space = JCS_GRAYSCALE;
    } else if (n == 3) {
        if (colorTransform == 0)
            s->info.jpeg_color_space = JCS_RGB;
        else if (colorTransform == 1)
            s->info.jpeg_color_space = JCS_YCbCr;
        s->info.out_color_space = JCS_RGB;
    } else {
        if (colorTransform == 0)
            s->info.jpeg_color_space = JCS_CMYK;
        else if (colorTransform == 1)
            s->info.jpeg_color_space = JCS_YCCK;
        s->info.out_color_space = JCS_CMYK;
    }
    jpeg_start_decompress(&s->info);
    const size_t rowBytes = size_t(s->info.output_width) * size_t(s->info.output_components);
    s->result.width = int(s->info.output_width);
    s->result.height = int(s->info.output_height);
    s->result.components = s->info.output_components;
    s->result.samples.assign(rowBytes * s->info.output_height, 0);
    while (s->info.output_scanline < s->info.output_height) {
        JSAMPROW row = s->result.samples.data() + rowBytes * s->info.output_scanline;
        if (jpeg_read_scanlines(&s->info, &row, 1) != 1)
            break;
    }
    jpeg_finish_decompress(&s->info);
    jpeg_destroy_decompress(&s->info);
    return true;
}

struct EncodeState {
    jpeg_compress_struct info;
    ErrorManager error;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    RasterImage source;
    ~EncodeState() { std::free(buffer); }
};

bool encodeInto(EncodeState* s, double quality, double dpiX, double dpiY) {
    s->info.err = jpeg_std_error(&s->error.base);
    s->error.base.error_exit = errorExit;
    s->error.base.emit_message = silentMessage;
    if (setjmp(s->error.jump)) {
        jpeg_destroy_compress(&s->info);
        return false;
    }
    jpeg_create_compress(&s->info);
    jpeg_mem_dest(&s->info, &s->buffer, &s->size);
    const bool gray = s->source.format == RasterImage::Format::Gray;
    s->info.image_width = JDIMENSION(s->source.width);
    s->info.image_height = JDIMENSION(s->source.height);
    s->info.input_components = gray ? 1 : 3;
    s->info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&s->info);
    int q = int(std::lround(std::clamp(std::isnan(quality) ? 0.92 : quality, 0.0, 1.0) * 100));
    jpeg_set_quality(&s->info, std::max(q, 1), TRUE);
    s->info.write_JFIF_header = TRUE;
    s->info.density_unit = 1; // dots per inch
    auto density = [](double dpi) {
        return UINT16(std::clamp(std::isnan(dpi) ? 72.0 : std::round(dpi), 1.0, 65535.0));
    };
    s->info.X_density = density(dpiX);
    s->info.Y_density = density(dpiY);
    jpeg_start_compress(&s->info, TRUE);
    while (s->info.next_scanline < s->info.image_height) {
        JSAMPROW row = s->source.row(int(s->info.next_scanline));
        jpeg_write_scanlines(&s->info, &row, 1);
    }
    jpeg_finish_compress(&s->info);
    jpeg_destroy_compress(&s->info);
    return true;
}

} // namespace

bool isJpegData(std::string_view bytes) {
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8 &&
           static_cast<unsigned char>(bytes[2]) == 0xFF;
}

std::optional<JpegInfo> readJpegInfo(std::string_view bytes) {
    if (bytes.empty())
        return std::nullopt;
    auto state = std::make_unique<DecodeState>();
    if (!readHeader(bytes, state.get(), false, -1))
        return std::nullopt;
    return state->header;
}

std::optional<DecodedSamples> decodeJpeg(std::string_view bytes, int colorTransform) {
    if (bytes.empty())
        return std::nullopt;
    auto state = std::make_unique<DecodeState>();
    if (!readHeader(bytes, state.get(), true, colorTransform))
        return std::nullopt;
    return std::move(state->result);
}

std::optional<std::string> encodeJpeg(const RasterImage& image, double quality, double dpiX,
                                      double dpiY) {
    if (!image.isValid())
        return std::nullopt;
    auto state = std::make_unique<EncodeState>();
    state->source =
        image.converted(image.isGray() ? RasterImage::Format::Gray : RasterImage::Format::RGB);
    if (!encodeInto(state.get(), quality, dpiX, dpiY) || !state->buffer)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(state->buffer), state->size);
}

} // namespace platform
