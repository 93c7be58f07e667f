#include "pdf/shading/QVPDFShadingAxial.h"

#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"

QVPDFShadingAxial::QVPDFShadingAxial(const platform::PdfObject& dictionary,
                                     QVPDFResourceCache& cache)
    : QVPDFShading(2) {
    platform::PdfObject space = dictionary.get("ColorSpace");
    if (space.isArray())
        colorSpace_ = QVPDFColorSpace::colorSpaceWithObject(space, cache);
    if (!colorSpace_)
        colorSpace_ = QVPDFDeviceRGBColorSpace::shared();

    platform::PdfObject function = dictionary.get("Function");
    if (!function.isNull())
        pdfFuntion_ = QVPDFFunction::FuntionWithObject(function, cache);

    if (std::optional<platform::PdfObject> coords = dictionary.getArray("Coords");
        coords && coords->arraySize() == 4) {
        coordsStart_.x = coords->numberAt(0).value_or(coordsStart_.x);
        coordsStart_.y = coords->numberAt(1).value_or(coordsStart_.y);
        coordsEnd_.x = coords->numberAt(2).value_or(coordsEnd_.x);
        coordsEnd_.y = coords->numberAt(3).value_or(coordsEnd_.y);
    }
    if (std::optional<platform::PdfObject> domain = dictionary.getArray("Domain");
        domain && domain->arraySize() == 2) {
        domainRange_.x = domain->numberAt(0).value_or(domainRange_.x);
        domainRange_.y = domain->numberAt(1).value_or(domainRange_.y);
    }
    if (std::optional<platform::PdfObject> extend = dictionary.getArray("Extend");
        extend && extend->arraySize() == 2) {
        extendStart_ = extend->at(0).boolean().value_or(extendStart_);
        extendEnd_ = extend->at(1).boolean().value_or(extendEnd_);
    }
}
