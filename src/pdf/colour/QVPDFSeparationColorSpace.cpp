#include "pdf/colour/QVPDFSeparationColorSpace.h"

#include "pdf/colour/QVPDFColorSpaceHelpers.h"

bool QVPDFSeparationColorSpace::parse(const platform::PdfObject& object,
                                      QVPDFResourceCache& cache) {
    if (!QVPDFColorSpaceHelpers::isFamilyArray(object, "Separation") || object.arraySize() != 4)
        return false;
    std::optional<std::string> colorant = object.nameAt(1);
    if (!colorant)
        return false;
    name_ = *colorant;
    nonMarking_ = name_ == "None";
    alt_ = QVPDFColorSpace::colorSpaceWithObject(object.at(2), cache);
    if (!alt_)
        return false;
    func_ = QVPDFFunction::FuntionWithObject(object.at(3), cache);
    return func_ != nullptr;
}

QVPDFColor QVPDFSeparationColorSpace::transformedColor(const QVPDFColor& color) const {
    return QVPDFColorSpaceHelpers::tintTransform(func_.get(), color, 1,
                                                 alt_ ? alt_->getNComps() : 0);
}

int QVPDFSeparationColorSpace::getGray(const QVPDFColor& color) const {
    return alt_ ? alt_->getGray(transformedColor(color)) : 0;
}

QVPDFRGB QVPDFSeparationColorSpace::getRGB(const QVPDFColor& color) const {
    return alt_ ? alt_->getRGB(transformedColor(color)) : QVPDFRGB{};
}

QVPDFCMYK QVPDFSeparationColorSpace::getCMYK(const QVPDFColor& color) const {
    return alt_ ? alt_->getCMYK(transformedColor(color)) : QVPDFCMYK{};
}
