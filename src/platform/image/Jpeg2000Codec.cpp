#include "platform/image/Jpeg2000Codec.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <openjpeg.h>

namespace platform {

namespace {

struct MemoryInput {
    const unsigned char* data;
    size_t size;
    size_t offset = 0;
};

OPJ_SIZE_T readInput(void* buffer, OPJ_SIZE_T bytes, void* user) {
    auto* in = static_cast<MemoryInput*>(user);
    if (in->offset >= in->size)
        return OPJ_SIZE_T(-1);
    size_t n = std::min<size_t>(bytes, in->size - in->offset);
    std::memcpy(buffer, in->data + in->offset, n);
    in->offset += n;
    return n;
}

OPJ_OFF_T skipInput(OPJ_OFF_T bytes, void* user) {
    auto* in = static_cast<MemoryInput*>(user);
    if (bytes < 0) {
        size_t back = std::min<size_t>(size_t(-bytes), in->offset);
        in->offset -= back;
        return -OPJ_OFF_T(back);
    }
    size_t n = std::min<size_t>(size_t(bytes), in->size - in->offset);
    in->offset += n;
    return OPJ_OFF_T(n);
}

OPJ_BOOL seekInput(OPJ_OFF_T to, void* user) {
    auto* in = static_cast<MemoryInput*>(user);
    if (to < 0 || size_t(to) > in->size)
        return OPJ_FALSE;
    in->offset = size_t(to);
    return OPJ_TRUE;
}

struct MemoryOutput {
    std::string data;
    size_t offset = 0;
};

OPJ_SIZE_T writeOutput(void* buffer, OPJ_SIZE_T bytes, void* user) {
    auto* out = static_cast<MemoryOutput*>(user);
    if (out->offset + bytes > out->data.size())
        out->data.resize(out->offset + bytes);
    std::memcpy(out->data.data() + out->offset, buffer, bytes);
    out->offset += bytes;
    return bytes;
}

OPJ_OFF_T skipOutput(OPJ_OFF_T bytes, void* user) {
    auto* out = static_cast<MemoryOutput*>(user);
    if (bytes < 0 && size_t(-bytes) > out->offset)
        return -1;
    out->offset = size_t(OPJ_OFF_T(out->offset) + bytes);
    if (out->offset > out->data.size())
        out->data.resize(out->offset);
    return bytes;
}

OPJ_BOOL seekOutput(OPJ_OFF_T to, void* user) {
    auto* out = static_cast<MemoryOutput*>(user);
    if (to < 0)
        return OPJ_FALSE;
    out->offset = size_t(to);
    if (out->offset > out->data.size())
        out->data.resize(out->offset);
    return OPJ_TRUE;
}

void quiet(const char*, void*) {}

struct CodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageDeleter {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};
using CodecPtr = std::unique_ptr<opj_codec_t, CodecDeleter>;
using StreamPtr = std::unique_ptr<opj_stream_t, StreamDeleter>;
using ImagePtr = std::unique_ptr<opj_image_t, ImageDeleter>;

void silence(opj_codec_t* codec) {
    opj_set_info_handler(codec, quiet, nullptr);
    opj_set_warning_handler(codec, quiet, nullptr);
    opj_set_error_handler(codec, quiet, nullptr);
}

/// Component value at full-size pixel (x, y), brought to 8 bits.
uint8_t componentAt(const opj_image_comp_t& comp, uint32_t x, uint32_t y, uint32_t width,
                    uint32_t height) {
    uint32_t cx = comp.w == width
                      ? x
                      : std::min<uint32_t>(uint32_t(uint64_t(x) * comp.w / width), comp.w - 1);
    uint32_t cy = comp.h == height
                      ? y
                      : std::min<uint32_t>(uint32_t(uint64_t(y) * comp.h / height), comp.h - 1);
    int64_t v = comp.data[size_t(cy) * comp.w + cx];
    const uint32_t prec = std::clamp<uint32_t>(comp.prec, 1, 31);
    if (comp.sgnd)
        v += int64_t(1) << (prec - 1);
    const int64_t max = (int64_t(1) << prec) - 1;
    v = std::clamp<int64_t>(v, 0, max);
    if (prec == 8)
        return uint8_t(v);
    return uint8_t((v * 255 + max / 2) / max);
}

uint8_t clampByte(double v) {
    return uint8_t(std::clamp(v + 0.5, 0.0, 255.0));
}

} // namespace

bool isJp2Data(std::string_view bytes) {
    static const char signature[] = "\x00\x00\x00\x0C\x6A\x50\x20\x20\x0D\x0A\x87\x0A";
    return bytes.size() >= 12 && std::memcmp(bytes.data(), signature, 12) == 0;
}

bool isJ2kData(std::string_view bytes) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "\xFF\x4F\xFF\x51", 4) == 0;
}

std::optional<DecodedJpeg2000> decodeJpeg2000(std::string_view bytes) {
    OPJ_CODEC_FORMAT format;
    if (isJp2Data(bytes))
        format = OPJ_CODEC_JP2;
    else if (isJ2kData(bytes))
        format = OPJ_CODEC_J2K;
    else
        return std::nullopt;
    MemoryInput input{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
    StreamPtr stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
    CodecPtr codec(opj_create_decompress(format));
    if (!stream || !codec)
        return std::nullopt;
    opj_stream_set_user_data(stream.get(), &input, nullptr);
    opj_stream_set_user_data_length(stream.get(), bytes.size());
    opj_stream_set_read_function(stream.get(), readInput);
    opj_stream_set_skip_function(stream.get(), skipInput);
    opj_stream_set_seek_function(stream.get(), seekInput);
    silence(codec.get());
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters))
        return std::nullopt;
    opj_decoder_set_strict_mode(codec.get(), OPJ_FALSE);
    opj_image_t* raw = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &raw))
        return std::nullopt;
    ImagePtr image(raw);
    const long long width = (long long)image->x1 - image->x0;
    const long long height = (long long)image->y1 - image->y0;
    if (!isAcceptableImageSize(width, height) || image->numcomps < 1 || image->numcomps > 32)
        return std::nullopt;
    if (!opj_decode(codec.get(), stream.get(), image.get()))
        return std::nullopt;
    opj_end_decompress(codec.get(), stream.get());

    const uint32_t n = image->numcomps;
    for (uint32_t c = 0; c < n; ++c) {
        const opj_image_comp_t& comp = image->comps[c];
        if (!comp.data || comp.w == 0 || comp.h == 0)
            return std::nullopt;
    }
    // Colour components first, in order; an alpha component goes last.
    std::vector<uint32_t> order;
    int alphaIndex = -1;
    for (uint32_t c = 0; c < n; ++c) {
        if (image->comps[c].alpha && alphaIndex < 0)
            alphaIndex = int(c);
        else
            order.push_back(c);
    }
    // A bare codestream says nothing of alpha: gray plus one is gray and alpha.
    if (alphaIndex < 0 && n == 2 && image->color_space != OPJ_CLRSPC_SRGB) {
        alphaIndex = 1;
        order.pop_back();
    }
    DecodedJpeg2000 out;
    out.colorComponents = int(order.size());
    out.hasAlpha = alphaIndex >= 0;
    if (out.hasAlpha)
        order.push_back(uint32_t(alphaIndex));
    switch (image->color_space) {
    case OPJ_CLRSPC_GRAY:
        out.colorSpace = DecodedJpeg2000::ColorSpace::Gray;
        break;
    case OPJ_CLRSPC_SRGB:
    case OPJ_CLRSPC_SYCC:
    case OPJ_CLRSPC_EYCC:
        out.colorSpace = DecodedJpeg2000::ColorSpace::RGB;
        break;
    case OPJ_CLRSPC_CMYK:
        out.colorSpace = DecodedJpeg2000::ColorSpace::CMYK;
        break;
    default:
        out.colorSpace = out.colorComponents == 1   ? DecodedJpeg2000::ColorSpace::Gray
                         : out.colorComponents == 3 ? DecodedJpeg2000::ColorSpace::RGB
                         : out.colorComponents == 4 ? DecodedJpeg2000::ColorSpace::CMYK
                                                    : DecodedJpeg2000::ColorSpace::Unspecified;
        break;
    }
    const uint32_t w = uint32_t(width), h = uint32_t(height);
    const size_t channels = order.size();
    DecodedSamples& s = out.samples;
    s.width = int(w);
    s.height = int(h);
    s.components = int(channels);
    s.samples.resize(size_t(w) * h * channels);
    const bool ycc =
        (image->color_space == OPJ_CLRSPC_SYCC || image->color_space == OPJ_CLRSPC_EYCC) &&
        out.colorComponents == 3;
    uint8_t* dst = s.samples.data();
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x, dst += channels) {
            for (size_t c = 0; c < channels; ++c)
                dst[c] = componentAt(image->comps[order[c]], x, y, w, h);
            if (ycc) {
                double Y = dst[0], cb = dst[1] - 128.0, cr = dst[2] - 128.0;
                dst[0] = clampByte(Y + 1.402 * cr);
                dst[1] = clampByte(Y - 0.344136 * cb - 0.714136 * cr);
                dst[2] = clampByte(Y + 1.772 * cb);
            }
        }
    }
    return out;
}

std::optional<std::string> encodeJpeg2000(const RasterImage& image) {
    if (!image.isValid())
        return std::nullopt;
    const int channels = image.channels();
    std::vector<opj_image_cmptparm_t> parms(static_cast<size_t>(channels));
    for (auto& p : parms) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = 1;
        p.w = OPJ_UINT32(image.width);
        p.h = OPJ_UINT32(image.height);
        p.prec = 8;
        p.sgnd = 0;
    }
    ImagePtr out(opj_image_create(OPJ_UINT32(channels), parms.data(),
                                  image.isGray() ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB));
    if (!out)
        return std::nullopt;
    out->x0 = out->y0 = 0;
    out->x1 = OPJ_UINT32(image.width);
    out->y1 = OPJ_UINT32(image.height);
    const size_t count = size_t(image.width) * size_t(image.height);
    for (int c = 0; c < channels; ++c) {
        OPJ_INT32* data = out->comps[c].data;
        for (size_t i = 0; i < count; ++i)
            data[i] = image.pixels[i * channels + c];
    }
    if (image.hasAlpha())
        out->comps[channels - 1].alpha = 1;

    CodecPtr codec(opj_create_compress(OPJ_CODEC_JP2));
    if (!codec)
        return std::nullopt;
    silence(codec.get());
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = 0; // lossless
    parameters.cp_disto_alloc = 1;
    // Fewer resolution levels for tiny images, which cannot be split five times.
    int levels = 6;
    while (levels > 1 && ((image.width >> (levels - 1)) < 1 || (image.height >> (levels - 1)) < 1))
        --levels;
    parameters.numresolution = levels;
    if (!opj_setup_encoder(codec.get(), &parameters, out.get()))
        return std::nullopt;
    MemoryOutput output;
    StreamPtr stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE));
    if (!stream)
        return std::nullopt;
    opj_stream_set_user_data(stream.get(), &output, nullptr);
    opj_stream_set_write_function(stream.get(), writeOutput);
    opj_stream_set_skip_function(stream.get(), skipOutput);
    opj_stream_set_seek_function(stream.get(), seekOutput);
    if (!opj_start_compress(codec.get(), out.get(), stream.get()) ||
        !opj_encode(codec.get(), stream.get()) || !opj_end_compress(codec.get(), stream.get()))
        return std::nullopt;
    stream.reset();
    return std::move(output.data);
}

} // namespace platform
