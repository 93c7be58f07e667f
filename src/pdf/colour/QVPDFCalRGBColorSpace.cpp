#include "pdf/colour/QVPDFCalRGBColorSpace.h"

#include "pdf/colour/QVPDFColorSpaceHelpers.h"
#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"

bool QVPDFCalRGBColorSpace::parse(const platform::PdfObject& object, QVPDFResourceCache&) {
    std::optional<platform::PdfObject> dict =
        QVPDFColorSpaceHelpers::familyDictionary(object, "CalRGB");
    if (!dict)
        return false;
    QVPDFColorSpaceHelpers::readTriple(*dict, "WhitePoint", whiteX_, whiteY_, whiteZ_);
    QVPDFColorSpaceHelpers::readTriple(*dict, "BlackPoint", blackX_, blackY_, blackZ_);
    QVPDFColorSpaceHelpers::readTriple(*dict, "Gamma", gammaR_, gammaG_, gammaB_);
    if (std::optional<platform::PdfObject> matrix = dict->getArray("Matrix");
        matrix && matrix->arraySize() == mat_.size())
        for (size_t i = 0; i < mat_.size(); ++i)
            mat_[i] = matrix->numberAt(i).value_or(mat_[i]);
    return true;
}

int QVPDFCalRGBColorSpace::getGray(const QVPDFColor& color) const {
    double g = 0.299 * color.c[0] + 0.587 * color.c[1] + 0.114 * color.c[2] + 0.5;
    return QVPDF_ClampColorComponent(QVPDF_ClampToInt32(g));
}

QVPDFRGB QVPDFCalRGBColorSpace::getRGB(const QVPDFColor& color) const {
    return QVPDFDeviceRGBColorSpace::shared()->getRGB(color);
}

QVPDFCMYK QVPDFCalRGBColorSpace::getCMYK(const QVPDFColor& color) const {
    return QVPDFDeviceRGBColorSpace::shared()->getCMYK(color);
}
