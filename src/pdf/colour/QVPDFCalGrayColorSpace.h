#pragma once
// CalGray: one component. The calibration (white and black points, gamma) is
// read and kept, but colours convert as device gray: no colour management.

#include "pdf/colour/QVPDFColorSpace.h"

class QVPDFCalGrayColorSpace : public QVPDFColorSpace {
public:
    /// [/CalGray << ... >>]; true when it is that array with a dictionary.
    bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache) override;

    int getMode() const override { return kCalGray; }
    int getNComps() const override { return 1; }
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;

    double whiteX() const { return whiteX_; }
    double whiteY() const { return whiteY_; }
    double whiteZ() const { return whiteZ_; }
    double blackX() const { return blackX_; }
    double blackY() const { return blackY_; }
    double blackZ() const { return blackZ_; }
    double gamma() const { return gamma_; }

private:
    double whiteX_ = 1.0, whiteY_ = 1.0, whiteZ_ = 1.0;
    double blackX_ = 0.0, blackY_ = 0.0, blackZ_ = 0.0;
    double gamma_ = 1.0;
};
