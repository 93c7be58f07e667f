#pragma once
// Type 2: colours blended along the axis from coordsStart to coordsEnd,
// given by a function of t over domainRange. Kept as a model only: nothing
// paints shadings.

#include "pdf/colour/QVPDFColorSpace.h"
#include "pdf/function/QVPDFFunction.h"
#include "pdf/shading/QVPDFShading.h"
#include "platform/Geometry.h"

class QVPDFShadingAxial : public QVPDFShading {
public:
    /// Reads ColorSpace (an array definition, else device RGB), Function,
    /// Coords, Domain and Extend; entries that are missing or malformed keep
    /// their defaults.
    QVPDFShadingAxial(const platform::PdfObject& dictionary, QVPDFResourceCache& cache);

    const std::shared_ptr<const QVPDFColorSpace>& colorSpace() const { return colorSpace_; }
    bool extendStart() const { return extendStart_; }
    bool extendEnd() const { return extendEnd_; }
    platform::Point coordsStart() const { return coordsStart_; }
    platform::Point coordsEnd() const { return coordsEnd_; }
    /// t0 and t1 as x and y.
    platform::Point domainRange() const { return domainRange_; }
    /// None when the dictionary has no usable Function.
    const std::shared_ptr<const QVPDFFunction>& pdfFuntion() const { return pdfFuntion_; }

private:
    std::shared_ptr<const QVPDFColorSpace> colorSpace_;
    bool extendStart_ = false;
    bool extendEnd_ = false;
    platform::Point coordsStart_{0, 0};
    platform::Point coordsEnd_{100, 100};
    platform::Point domainRange_{0.0, 1.0};
    std::shared_ptr<const QVPDFFunction> pdfFuntion_;
};
