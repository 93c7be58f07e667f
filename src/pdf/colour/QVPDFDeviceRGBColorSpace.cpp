#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"

#include <algorithm>

const std::shared_ptr<const QVPDFColorSpace>& QVPDFDeviceRGBColorSpace::shared() {
    static const std::shared_ptr<const QVPDFColorSpace> instance =
        std::make_shared<const QVPDFDeviceRGBColorSpace>();
    return instance;
}

int QVPDFDeviceRGBColorSpace::getGray(const QVPDFColor& color) const {
    double g = 0.3 * color.c[0] + 0.59 * color.c[1] + 0.11 * color.c[2] + 0.5;
    return QVPDF_ClampColorComponent(QVPDF_ClampToInt32(g));
}

QVPDFRGB QVPDFDeviceRGBColorSpace::getRGB(const QVPDFColor& color) const {
    return {QVPDF_ClampColorComponent(color.c[0]), QVPDF_ClampColorComponent(color.c[1]),
            QVPDF_ClampColorComponent(color.c[2])};
}

QVPDFCMYK QVPDFDeviceRGBColorSpace::CMYKFromRGB(long long r, long long g, long long b) {
    int32_t c = QVPDF_ClampColorComponent(255 - r);
    int32_t m = QVPDF_ClampColorComponent(255 - g);
    int32_t y = QVPDF_ClampColorComponent(255 - b);
    int32_t k = std::min({c, m, y});
    return {c - k, m - k, y - k, k};
}

QVPDFCMYK QVPDFDeviceRGBColorSpace::getCMYK(const QVPDFColor& color) const {
    return CMYKFromRGB(color.c[0], color.c[1], color.c[2]);
}
