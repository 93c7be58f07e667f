#include "pdf/colour/QVPDFLabColorSpace.h"

#include "pdf/colour/QVPDFColorSpaceHelpers.h"
#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"

#include <cmath>

namespace {

// XYZ to linear RGB (sRGB primaries, D65).
constexpr double kXYZToRGB[3][3] = {
    {3.240449, -1.537136, -0.498531},
    {-0.969265, 1.876011, 0.041556},
    {0.055643, -0.204026, 1.057229},
};

/// The inverse of the CIE lightness function.
double labInverse(double t) {
    if (t >= 6.0 / 29.0)
        return t * t * t;
    return 108.0 / 841.0 * (t - 4.0 / 29.0);
}

/// A range bound as a default component: the bound nearest to 0 when the
/// range excludes 0, else 0.
int32_t defaultComponent(double min, double max) {
    if (min > 0)
        return QVPDF_ColorComponentFromOperand(min);
    if (max < 0)
        return QVPDF_ColorComponentFromOperand(max);
    return 0;
}

} // namespace

bool QVPDFLabColorSpace::parse(const platform::PdfObject& object, QVPDFResourceCache&) {
    std::optional<platform::PdfObject> dict =
        QVPDFColorSpaceHelpers::familyDictionary(object, "Lab");
    if (!dict)
        return false;
    QVPDFColorSpaceHelpers::readTriple(*dict, "WhitePoint", whiteX_, whiteY_, whiteZ_);
    QVPDFColorSpaceHelpers::readTriple(*dict, "BlackPoint", blackX_, blackY_, blackZ_);
    if (std::optional<platform::PdfObject> range = dict->getArray("Range");
        range && range->arraySize() == 4) {
        // An entry that is not a number keeps its bound.
        aMin_ = range->numberAt(0).value_or(aMin_);
        aMax_ = range->numberAt(1).value_or(aMax_);
        bMin_ = range->numberAt(2).value_or(bMin_);
        bMax_ = range->numberAt(3).value_or(bMax_);
    }
    // Scale factors that turn the white point into RGB white.
    kr_ = 1.0 / (kXYZToRGB[0][0] * whiteX_ + kXYZToRGB[0][1] * whiteY_ + kXYZToRGB[0][2] * whiteZ_);
    kg_ = 1.0 / (kXYZToRGB[1][0] * whiteX_ + kXYZToRGB[1][1] * whiteY_ + kXYZToRGB[1][2] * whiteZ_);
    kb_ = 1.0 / (kXYZToRGB[2][0] * whiteX_ + kXYZToRGB[2][1] * whiteY_ + kXYZToRGB[2][2] * whiteZ_);
    return true;
}

QVPDFColor QVPDFLabColorSpace::getDefaultColor() const {
    QVPDFColor color;
    color.c[1] = defaultComponent(aMin_, aMax_);
    color.c[2] = defaultComponent(bMin_, bMax_);
    return color;
}

QVPDFRGB QVPDFLabColorSpace::getRGB(const QVPDFColor& color) const {
    const double L = color.c[0] / 255.0, A = color.c[1] / 255.0, B = color.c[2] / 255.0;
    const double t1 = (L + 16.0) / 116.0;
    const double xyz[3] = {labInverse(t1 + A / 500.0) * whiteX_, labInverse(t1) * whiteY_,
                           labInverse(t1 - B / 200.0) * whiteZ_};
    const double scale[3] = {kr_, kg_, kb_};
    int32_t out[3];
    for (int ch = 0; ch < 3; ++ch) {
        double v =
            (kXYZToRGB[ch][0] * xyz[0] + kXYZToRGB[ch][1] * xyz[1] + kXYZToRGB[ch][2] * xyz[2]) *
            scale[ch];
        // NaN (a white point that makes a scale infinite) counts as 0.
        if (!(v > 0.0))
            v = 0.0;
        if (v > 1.0)
            v = 1.0;
        out[ch] = static_cast<int32_t>(std::sqrt(v) * 255.0);
    }
    return {out[0], out[1], out[2]};
}

int QVPDFLabColorSpace::getGray(const QVPDFColor& color) const {
    QVPDFRGB rgb = getRGB(color);
    QVPDFColor asRGB;
    asRGB.c[0] = rgb.r;
    asRGB.c[1] = rgb.g;
    asRGB.c[2] = rgb.b;
    return QVPDFDeviceRGBColorSpace::shared()->getGray(asRGB);
}

QVPDFCMYK QVPDFLabColorSpace::getCMYK(const QVPDFColor& color) const {
    QVPDFRGB rgb = getRGB(color);
    return QVPDFDeviceRGBColorSpace::CMYKFromRGB(rgb.r, rgb.g, rgb.b);
}
