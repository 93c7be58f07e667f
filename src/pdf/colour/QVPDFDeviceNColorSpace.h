#pragma once
// DeviceN: one tint component per named colorant (at most 32), turned into a
// colour of the alternate space by the tint transform function.

#include "pdf/colour/QVPDFColorSpace.h"
#include "pdf/function/QVPDFFunction.h"

class QVPDFDeviceNColorSpace : public QVPDFColorSpace {
public:
    /// [/DeviceN names alternate tintTransform attributes?]; only the count
    /// of the names is used, the attributes are ignored.
    bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache) override;

    int getMode() const override { return kDeviceN; }
    int getNComps() const override { return nComps_; }
    /// The alternate's conversions of the transformed tints; 0 (black) without
    /// an alternate.
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;

    /// The alternate-space colour of the tints (see QVPDFSeparationColorSpace).
    QVPDFColor transformedColor(const QVPDFColor& color) const;

    int32_t nComps() const { return nComps_; }
    const std::shared_ptr<const QVPDFColorSpace>& alt() const { return alt_; }
    const std::shared_ptr<const QVPDFFunction>& func() const { return func_; }
    /// Every colorant is "None".
    bool nonMarking() const { return nonMarking_; }

private:
    int32_t nComps_ = 0;
    std::shared_ptr<const QVPDFColorSpace> alt_;
    bool nonMarking_ = false;
    std::shared_ptr<const QVPDFFunction> func_;
};
