#pragma once
// The device gray colour space.

#include "pdf/colour/QVPDFColorSpace.h"

class QVPDFDeviceGrayColorSpace : public QVPDFColorSpace {
public:
    /// One immutable instance, shared by every state that sets this space.
    static const std::shared_ptr<const QVPDFColorSpace>& shared();

    int getMode() const override { return kDeviceGray; }
    int getNComps() const override { return 1; }
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;
};
