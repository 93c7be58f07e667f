#include "pdf/colour/QVPDFICCBasedColorSpace.h"

#include "pdf/colour/QVPDFColorSpaceHelpers.h"
#include "pdf/colour/QVPDFDeviceCMYKColorSpace.h"
#include "pdf/colour/QVPDFDeviceGrayColorSpace.h"
#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"

bool QVPDFICCBasedColorSpace::parse(const platform::PdfObject& object, QVPDFResourceCache& cache) {
    if (!QVPDFColorSpaceHelpers::isFamilyArray(object, "ICCBased"))
        return false;
    platform::PdfObject stream = object.at(1);
    if (!stream.isStream())
        return false;
    iccProfileStream_ = stream;
    std::optional<long long> n = stream.getInteger("N");
    if (!n)
        return false;
    // A colour value has at most 32 components; no count is negative.
    nComps_ = *n > QVPDFColor::kMaxComponents ? QVPDFColor::kMaxComponents : (*n < 0 ? 0 : *n);

    platform::PdfObject alternate = stream.get("Alternate");
    if (!alternate.isNull())
        alt_ = QVPDFColorSpace::colorSpaceWithObject(alternate, cache);
    if (!alt_) {
        switch (nComps_) {
        case 1:
            alt_ = QVPDFDeviceGrayColorSpace::shared();
            break;
        case 3:
            alt_ = QVPDFDeviceRGBColorSpace::shared();
            break;
        case 4:
            alt_ = QVPDFDeviceCMYKColorSpace::shared();
            break;
        default:
            return false;
        }
    }

    if (std::optional<platform::PdfObject> range = stream.getArray("Range");
        range && nComps_ >= 1 && range->arraySize() == static_cast<size_t>(2 * nComps_)) {
        for (size_t i = 0; i < static_cast<size_t>(nComps_); ++i) {
            rangeMin_[i] = range->numberAt(2 * i).value_or(rangeMin_[i]);
            rangeMax_[i] = range->numberAt(2 * i + 1).value_or(rangeMax_[i]);
        }
    }
    return true;
}

QVPDFColor QVPDFICCBasedColorSpace::getDefaultColor() const {
    QVPDFColor color;
    for (size_t i = 0; i < static_cast<size_t>(nComps_); ++i) {
        if (rangeMin_[i] > 0)
            color.c[i] = QVPDF_ColorComponentFromOperand(rangeMin_[i]);
        else if (rangeMax_[i] < 0)
            color.c[i] = QVPDF_ColorComponentFromOperand(rangeMax_[i]);
    }
    return color;
}

int QVPDFICCBasedColorSpace::getGray(const QVPDFColor& color) const {
    return alt_ ? alt_->getGray(color) : 0;
}

QVPDFRGB QVPDFICCBasedColorSpace::getRGB(const QVPDFColor& color) const {
    return alt_ ? alt_->getRGB(color) : QVPDFRGB{};
}

QVPDFCMYK QVPDFICCBasedColorSpace::getCMYK(const QVPDFColor& color) const {
    return alt_ ? alt_->getCMYK(color) : QVPDFCMYK{};
}
