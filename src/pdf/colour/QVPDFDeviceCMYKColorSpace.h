#pragma once
// The device CMYK colour space.

#include "pdf/colour/QVPDFColorSpace.h"

class QVPDFDeviceCMYKColorSpace : public QVPDFColorSpace {
public:
    /// One immutable instance, shared by every state that sets this space.
    static const std::shared_ptr<const QVPDFColorSpace>& shared();

    int getMode() const override { return kDeviceCMYK; }
    int getNComps() const override { return 4; }
    /// 0, 0, 0, 255: black ink only.
    QVPDFColor getDefaultColor() const override;
    int getGray(const QVPDFColor& color) const override;
    /// The multilinear blend of the corner colours of the CMYK unit hypercube.
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;
};
