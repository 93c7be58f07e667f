#include "platform/image/ImageColorSpace.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

uint8_t toByte(double v) {
    if (!(v > 0))
        return 0;
    if (v >= 1)
        return 255;
    return uint8_t(v * 255.0 + 0.5);
}

// RGB of each corner of the CMYK unit hypercube, indexed by the bits C M Y K
// (C the most significant): printed inks rather than the naive 1 - ink. The
// interpreter's device CMYK space blends the same corners.
constexpr double kCmykCorners[16][3] = {
    {1, 1, 1},
    {0.1373, 0.1216, 0.1255},
    {1, 0.949, 0},
    {0.1098, 0.102, 0},
    {0.9255, 0, 0.549},
    {0.1412, 0, 0},
    {0.9294, 0.1098, 0.1412},
    {0.1333, 0, 0},
    {0, 0.6784, 0.9373},
    {0, 0.0588, 0.1412},
    {0, 0.651, 0.3137},
    {0, 0.0745, 0},
    {0.1804, 0.1922, 0.5725},
    {0, 0, 0.0078},
    {0.2118, 0.2119, 0.2235},
    {0, 0, 0},
};

void cmykToRGB(const double* ink, uint8_t rgb[3]) {
    double out[3] = {0, 0, 0};
    double in[4];
    for (int i = 0; i < 4; ++i)
        in[i] = std::clamp(std::isnan(ink[i]) ? 0.0 : ink[i], 0.0, 1.0);
    for (int corner = 0; corner < 16; ++corner) {
        double weight = 1;
        for (int i = 0; i < 4; ++i)
            weight *= ((corner >> (3 - i)) & 1) ? in[i] : 1 - in[i];
        if (weight == 0)
            continue;
        for (int ch = 0; ch < 3; ++ch)
            out[ch] += weight * kCmykCorners[corner][ch];
    }
    // Truncated, as the interpreter's CMYK space converts fill colours.
    for (int ch = 0; ch < 3; ++ch)
        rgb[ch] = uint8_t(std::clamp(out[ch], 0.0, 1.0) * 255.0);
}

// XYZ (D65-relative sRGB primaries) rows, as the interpreter's Lab space uses them.
constexpr double kXyzToRgb[3][3] = {{3.240449, -1.537136, -0.498531},
                                    {-0.969265, 1.876011, 0.041556},
                                    {0.055643, -0.204026, 1.057229}};

double labF(double t) {
    return t >= 6.0 / 29.0 ? t * t * t : (108.0 / 841.0) * (t - 4.0 / 29.0);
}

} // namespace

std::shared_ptr<const ImageColorSpace> ImageColorSpace::deviceGray() {
    static const std::shared_ptr<const ImageColorSpace> s(new ImageColorSpace(Kind::DeviceGray, 1));
    return s;
}

std::shared_ptr<const ImageColorSpace> ImageColorSpace::deviceRGB() {
    static const std::shared_ptr<const ImageColorSpace> s(new ImageColorSpace(Kind::DeviceRGB, 3));
    return s;
}

std::shared_ptr<const ImageColorSpace> ImageColorSpace::deviceCMYK() {
    static const std::shared_ptr<const ImageColorSpace> s(new ImageColorSpace(Kind::DeviceCMYK, 4));
    return s;
}

std::shared_ptr<const ImageColorSpace>
ImageColorSpace::calibratedGray(std::array<double, 3> whitePoint, std::array<double, 3> blackPoint,
                                double gamma) {
    std::shared_ptr<ImageColorSpace> s(new ImageColorSpace(Kind::CalGray, 1));
    s->white_ = whitePoint;
    s->black_ = blackPoint;
    s->gamma_ = {gamma, gamma, gamma};
    return s;
}

std::shared_ptr<const ImageColorSpace>
ImageColorSpace::calibratedRGB(std::array<double, 3> whitePoint, std::array<double, 3> blackPoint,
                               std::array<double, 3> gamma, std::array<double, 9> matrix) {
    std::shared_ptr<ImageColorSpace> s(new ImageColorSpace(Kind::CalRGB, 3));
    s->white_ = whitePoint;
    s->black_ = blackPoint;
    s->gamma_ = gamma;
    s->matrix_ = matrix;
    return s;
}

std::shared_ptr<const ImageColorSpace> ImageColorSpace::lab(std::array<double, 3> whitePoint,
                                                            std::array<double, 3> blackPoint,
                                                            std::array<double, 4> range) {
    std::shared_ptr<ImageColorSpace> s(new ImageColorSpace(Kind::Lab, 3));
    s->white_ = whitePoint;
    s->black_ = blackPoint;
    s->range_.assign(range.begin(), range.end());
    for (int ch = 0; ch < 3; ++ch) {
        double d = kXyzToRgb[ch][0] * whitePoint[0] + kXyzToRgb[ch][1] * whitePoint[1] +
                   kXyzToRgb[ch][2] * whitePoint[2];
        s->labScale_[ch] = (d != 0 && std::isfinite(d)) ? 1.0 / d : 1.0;
    }
    return s;
}

std::shared_ptr<const ImageColorSpace>
ImageColorSpace::iccBased(int components, std::vector<double> range, std::string profile,
                          std::shared_ptr<const ImageColorSpace> alternate) {
    if ((components != 1 && components != 3 && components != 4) || !alternate ||
        alternate->numberOfComponents() != components)
        return nullptr;
    std::shared_ptr<ImageColorSpace> s(new ImageColorSpace(Kind::ICCBased, components));
    range.resize(size_t(2 * components), 0.0);
    for (int i = 0; i < components; ++i)
        if (range[2 * i] == 0 && range[2 * i + 1] == 0)
            range[2 * i + 1] = 1;
    s->range_ = std::move(range);
    s->profile_ = std::move(profile);
    s->base_ = std::move(alternate);
    return s;
}

std::shared_ptr<const ImageColorSpace>
ImageColorSpace::indexed(std::shared_ptr<const ImageColorSpace> base, int hival,
                         std::string table) {
    if (!base || base->kind() == Kind::Indexed || hival < 0 || hival > 255)
        return nullptr;
    std::shared_ptr<ImageColorSpace> s(new ImageColorSpace(Kind::Indexed, 1));
    table.resize(size_t(hival + 1) * size_t(base->numberOfComponents()), '\0');
    s->table_ = std::move(table);
    s->hival_ = hival;
    s->base_ = std::move(base);
    return s;
}

std::shared_ptr<const ImageColorSpace>
ImageColorSpace::tinted(int components, std::shared_ptr<const ImageColorSpace> alternate,
                        TintTransform transform) {
    if (components < 1 || components > 32 || !alternate || !transform ||
        alternate->kind() == Kind::Indexed)
        return nullptr;
    std::shared_ptr<ImageColorSpace> s(new ImageColorSpace(Kind::Tinted, components));
    s->base_ = std::move(alternate);
    s->transform_ = std::move(transform);
    return s;
}

ImageColorSpace::Model ImageColorSpace::model() const {
    switch (kind_) {
    case Kind::DeviceGray:
    case Kind::CalGray:
        return Model::Monochrome;
    case Kind::DeviceRGB:
    case Kind::CalRGB:
        return Model::RGB;
    case Kind::DeviceCMYK:
        return Model::CMYK;
    case Kind::Lab:
        return Model::Lab;
    case Kind::ICCBased:
        return base_->model();
    case Kind::Indexed:
        return Model::Indexed;
    case Kind::Tinted:
        return Model::DeviceN;
    }
    return Model::RGB;
}

bool ImageColorSpace::isGrayOutput() const {
    switch (kind_) {
    case Kind::DeviceGray:
    case Kind::CalGray:
        return true;
    case Kind::ICCBased:
        return base_->isGrayOutput();
    case Kind::Indexed:
        return base_->isGrayOutput();
    default:
        return false;
    }
}

void ImageColorSpace::toRGB(const double* c, uint8_t rgb[3]) const {
    switch (kind_) {
    case Kind::DeviceGray:
    case Kind::CalGray:
        rgb[0] = rgb[1] = rgb[2] = toByte(c[0]);
        return;
    case Kind::DeviceRGB:
    case Kind::CalRGB:
        rgb[0] = toByte(c[0]);
        rgb[1] = toByte(c[1]);
        rgb[2] = toByte(c[2]);
        return;
    case Kind::DeviceCMYK:
        cmykToRGB(c, rgb);
        return;
    case Kind::Lab: {
        double t1 = (c[0] + 16.0) / 116.0;
        double xyz[3] = {labF(t1 + c[1] / 500.0) * white_[0], labF(t1) * white_[1],
                         labF(t1 - c[2] / 200.0) * white_[2]};
        for (int ch = 0; ch < 3; ++ch) {
            double v = (kXyzToRgb[ch][0] * xyz[0] + kXyzToRgb[ch][1] * xyz[1] +
                        kXyzToRgb[ch][2] * xyz[2]) *
                       labScale_[ch];
            v = std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
            rgb[ch] = uint8_t(std::sqrt(v) * 255.0);
        }
        return;
    }
    case Kind::ICCBased:
        base_->toRGB(c, rgb);
        return;
    case Kind::Indexed: {
        double v = std::isnan(c[0]) ? 0.0 : std::round(c[0]);
        int index = int(std::clamp(v, 0.0, double(hival_)));
        const int n = base_->numberOfComponents();
        double baseValues[32];
        for (int i = 0; i < n; ++i) {
            double byte = uint8_t(table_[size_t(index) * n + i]) / 255.0;
            // A Lab base spreads its bytes over L 0..100 and the a/b ranges.
            if (base_->kind() == Kind::Lab) {
                const auto& r = base_->range_;
                double lo = i == 0 ? 0 : r[2 * (i - 1)], hi = i == 0 ? 100 : r[2 * (i - 1) + 1];
                byte = lo + byte * (hi - lo);
            }
            baseValues[i] = byte;
        }
        base_->toRGB(baseValues, rgb);
        return;
    }
    case Kind::Tinted: {
        double inputs[32];
        for (int i = 0; i < components_; ++i)
            inputs[i] = std::isnan(c[i]) ? 0.0 : std::clamp(c[i], 0.0, 1.0);
        double outputs[32] = {};
        transform_(inputs, outputs);
        base_->toRGB(outputs, rgb);
        return;
    }
    }
}

} // namespace platform
