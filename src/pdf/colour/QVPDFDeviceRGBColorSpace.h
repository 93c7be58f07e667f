#pragma once
// The device RGB colour space.

#include "pdf/colour/QVPDFColorSpace.h"

class QVPDFDeviceRGBColorSpace : public QVPDFColorSpace {
public:
    /// One immutable instance, shared by every state that sets this space.
    static const std::shared_ptr<const QVPDFColorSpace>& shared();

    int getMode() const override { return kDeviceRGB; }
    int getNComps() const override { return 3; }
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    /// c, m, y = 255 minus each channel (clamped), k = the least of them, taken off each.
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;
    static QVPDFCMYK CMYKFromRGB(long long r, long long g, long long b);
};
