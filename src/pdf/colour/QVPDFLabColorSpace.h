#pragma once
// CIE L*a*b*: components L (0..100, held times 255), a and b (held times 255,
// may be negative). Converted to RGB through XYZ under the space's white
// point, with each channel scaled so that the white point maps to white and a
// square root standing in for the display gamma.

#include "pdf/colour/QVPDFColorSpace.h"

class QVPDFLabColorSpace : public QVPDFColorSpace {
public:
    /// [/Lab << ... >>]; true when it is that array with a dictionary.
    bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache) override;

    int getMode() const override { return kLab; }
    int getNComps() const override { return 3; }
    /// L 0, and for a and b the end of their range nearest to 0.
    QVPDFColor getDefaultColor() const override;
    /// The gray level of the RGB colour, weighed as device RGB.
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;

    double whiteX() const { return whiteX_; }
    double whiteY() const { return whiteY_; }
    double whiteZ() const { return whiteZ_; }
    double blackX() const { return blackX_; }
    double blackY() const { return blackY_; }
    double blackZ() const { return blackZ_; }
    double aMin() const { return aMin_; }
    double aMax() const { return aMax_; }
    double bMin() const { return bMin_; }
    double bMax() const { return bMax_; }
    double kr() const { return kr_; }
    double kg() const { return kg_; }
    double kb() const { return kb_; }

private:
    double whiteX_ = 1.0, whiteY_ = 1.0, whiteZ_ = 1.0;
    double blackX_ = 0.0, blackY_ = 0.0, blackZ_ = 0.0;
    double aMin_ = -100.0, aMax_ = 100.0, bMin_ = -100.0, bMax_ = 100.0;
    double kr_ = 1.0, kg_ = 1.0, kb_ = 1.0;
};
