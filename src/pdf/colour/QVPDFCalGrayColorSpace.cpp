#include "pdf/colour/QVPDFCalGrayColorSpace.h"

#include "pdf/colour/QVPDFColorSpaceHelpers.h"
#include "pdf/colour/QVPDFDeviceGrayColorSpace.h"

bool QVPDFCalGrayColorSpace::parse(const platform::PdfObject& object, QVPDFResourceCache&) {
    std::optional<platform::PdfObject> dict =
        QVPDFColorSpaceHelpers::familyDictionary(object, "CalGray");
    if (!dict)
        return false;
    QVPDFColorSpaceHelpers::readTriple(*dict, "WhitePoint", whiteX_, whiteY_, whiteZ_);
    QVPDFColorSpaceHelpers::readTriple(*dict, "BlackPoint", blackX_, blackY_, blackZ_);
    gamma_ = dict->getNumber("Gamma").value_or(gamma_);
    return true;
}

int QVPDFCalGrayColorSpace::getGray(const QVPDFColor& color) const {
    return QVPDFDeviceGrayColorSpace::shared()->getGray(color);
}

QVPDFRGB QVPDFCalGrayColorSpace::getRGB(const QVPDFColor& color) const {
    return QVPDFDeviceGrayColorSpace::shared()->getRGB(color);
}

QVPDFCMYK QVPDFCalGrayColorSpace::getCMYK(const QVPDFColor& color) const {
    return QVPDFDeviceGrayColorSpace::shared()->getCMYK(color);
}
