#include "pdf/colour/QVPDFDeviceCMYKColorSpace.h"

const std::shared_ptr<const QVPDFColorSpace>& QVPDFDeviceCMYKColorSpace::shared() {
    static const std::shared_ptr<const QVPDFColorSpace> instance =
        std::make_shared<const QVPDFDeviceCMYKColorSpace>();
    return instance;
}

QVPDFColor QVPDFDeviceCMYKColorSpace::getDefaultColor() const {
    QVPDFColor color;
    color.c[3] = 255;
    return color;
}

int QVPDFDeviceCMYKColorSpace::getGray(const QVPDFColor& color) const {
    double g = 255.0 - color.c[3] - 0.3 * color.c[0] - 0.59 * color.c[1] - 0.11 * color.c[2] + 0.5;
    return QVPDF_ClampColorComponent(QVPDF_ClampToInt32(g));
}

namespace {
// RGB of each corner of the CMYK unit hypercube, indexed by the bits C M Y K
// (C the most significant): printed inks rather than the naive 1 - ink.
constexpr double kCorners[16][3] = {
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
} // namespace

QVPDFRGB QVPDFDeviceCMYKColorSpace::getRGB(const QVPDFColor& color) const {
    const double ink[4] = {color.c[0] / 255.0, color.c[1] / 255.0, color.c[2] / 255.0,
                           color.c[3] / 255.0};
    double rgb[3] = {0, 0, 0};
    for (int corner = 0; corner < 16; ++corner) {
        double weight = 1;
        for (int i = 0; i < 4; ++i) {
            bool has = (corner >> (3 - i)) & 1;
            weight *= has ? ink[i] : 1 - ink[i];
        }
        for (int ch = 0; ch < 3; ++ch)
            rgb[ch] += weight * kCorners[corner][ch];
    }
    auto channel = [](double v) {
        return QVPDF_ClampColorComponent(QVPDF_ClampToInt32(v * 255.0));
    };
    return {channel(rgb[0]), channel(rgb[1]), channel(rgb[2])};
}

QVPDFCMYK QVPDFDeviceCMYKColorSpace::getCMYK(const QVPDFColor& color) const {
    return {QVPDF_ClampColorComponent(color.c[0]), QVPDF_ClampColorComponent(color.c[1]),
            QVPDF_ClampColorComponent(color.c[2]), QVPDF_ClampColorComponent(color.c[3])};
}
