#pragma once
// CalRGB: three components. The calibration (white and black points, gammas,
// matrix) is read and kept, but colours convert as device RGB, except that
// the gray level weighs the channels 0.299, 0.587, 0.114.

#include "pdf/colour/QVPDFColorSpace.h"

#include <array>

class QVPDFCalRGBColorSpace : public QVPDFColorSpace {
public:
    /// [/CalRGB << ... >>]; true when it is that array with a dictionary.
    bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache) override;

    int getMode() const override { return kCalRGB; }
    int getNComps() const override { return 3; }
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;

    double whiteX() const { return whiteX_; }
    double whiteY() const { return whiteY_; }
    double whiteZ() const { return whiteZ_; }
    double blackX() const { return blackX_; }
    double blackY() const { return blackY_; }
    double blackZ() const { return blackZ_; }
    double gammaR() const { return gammaR_; }
    double gammaG() const { return gammaG_; }
    double gammaB() const { return gammaB_; }
    /// Row by row.
    const std::array<double, 9>& mat() const { return mat_; }

private:
    double whiteX_ = 1.0, whiteY_ = 1.0, whiteZ_ = 1.0;
    double blackX_ = 0.0, blackY_ = 0.0, blackZ_ = 0.0;
    double gammaR_ = 1.0, gammaG_ = 1.0, gammaB_ = 1.0;
    std::array<double, 9> mat_ = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};
