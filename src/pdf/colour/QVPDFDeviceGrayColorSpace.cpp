#include "pdf/colour/QVPDFDeviceGrayColorSpace.h"

const std::shared_ptr<const QVPDFColorSpace>& QVPDFDeviceGrayColorSpace::shared() {
    static const std::shared_ptr<const QVPDFColorSpace> instance =
        std::make_shared<const QVPDFDeviceGrayColorSpace>();
    return instance;
}

int QVPDFDeviceGrayColorSpace::getGray(const QVPDFColor& color) const {
    return QVPDF_ClampColorComponent(color.c[0]);
}

QVPDFRGB QVPDFDeviceGrayColorSpace::getRGB(const QVPDFColor& color) const {
    int32_t g = getGray(color);
    return {g, g, g};
}

QVPDFCMYK QVPDFDeviceGrayColorSpace::getCMYK(const QVPDFColor& color) const {
    return {0, 0, 0, QVPDF_ClampColorComponent(255LL - color.c[0])};
}
