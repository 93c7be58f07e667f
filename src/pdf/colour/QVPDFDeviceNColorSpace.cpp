#include "pdf/colour/QVPDFDeviceNColorSpace.h"

#include "pdf/colour/QVPDFColorSpaceHelpers.h"

#include <algorithm>

bool QVPDFDeviceNColorSpace::parse(const platform::PdfObject& object, QVPDFResourceCache& cache) {
    if (!QVPDFColorSpaceHelpers::isFamilyArray(object, "DeviceN") ||
        (object.arraySize() != 4 && object.arraySize() != 5))
        return false;
    platform::PdfObject names = object.at(1);
    if (!names.isArray())
        return false;
    nComps_ = static_cast<int32_t>(
        std::min<size_t>(names.arraySize(), static_cast<size_t>(QVPDFColor::kMaxComponents)));
    nonMarking_ = nComps_ > 0;
    for (size_t i = 0; i < names.arraySize(); ++i)
        if (names.nameAt(i) != "None")
            nonMarking_ = false;
    alt_ = QVPDFColorSpace::colorSpaceWithObject(object.at(2), cache);
    if (!alt_)
        return false;
    func_ = QVPDFFunction::FuntionWithObject(object.at(3), cache);
    return func_ != nullptr;
}

QVPDFColor QVPDFDeviceNColorSpace::transformedColor(const QVPDFColor& color) const {
    return QVPDFColorSpaceHelpers::tintTransform(func_.get(), color, nComps_,
                                                 alt_ ? alt_->getNComps() : 0);
}

int QVPDFDeviceNColorSpace::getGray(const QVPDFColor& color) const {
    return alt_ ? alt_->getGray(transformedColor(color)) : 0;
}

QVPDFRGB QVPDFDeviceNColorSpace::getRGB(const QVPDFColor& color) const {
    return alt_ ? alt_->getRGB(transformedColor(color)) : QVPDFRGB{};
}

QVPDFCMYK QVPDFDeviceNColorSpace::getCMYK(const QVPDFColor& color) const {
    return alt_ ? alt_->getCMYK(transformedColor(color)) : QVPDFCMYK{};
}
