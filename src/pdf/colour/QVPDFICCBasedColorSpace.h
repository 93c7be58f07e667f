#pragma once
// ICCBased: N components described by an ICC profile. The profile is only
// referenced, never read: colours convert through the alternate space (the
// given /Alternate, else device gray, RGB or CMYK by N).

#include "pdf/colour/QVPDFColorSpace.h"

#include <array>
#include <optional>

class QVPDFICCBasedColorSpace : public QVPDFColorSpace {
public:
    /// [/ICCBased stream]; fails (and keeps no alternate) when N is not 1, 3
    /// or 4 and no usable /Alternate is given.
    bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache) override;

    int getMode() const override { return kICCBased; }
    int getNComps() const override { return static_cast<int>(nComps_); }
    /// Per component, the end of its range nearest to 0.
    QVPDFColor getDefaultColor() const override;
    /// The alternate's conversions; 0 (black) without one.
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;

    int64_t nComps() const { return nComps_; }
    const std::shared_ptr<const QVPDFColorSpace>& alt() const { return alt_; }
    const std::array<double, QVPDFColor::kMaxComponents>& rangeMin() const { return rangeMin_; }
    const std::array<double, QVPDFColor::kMaxComponents>& rangeMax() const { return rangeMax_; }
    /// The profile stream, valid while the document is open.
    const std::optional<platform::PdfObject>& iccProfileStream() const { return iccProfileStream_; }

private:
    int64_t nComps_ = 0;
    std::shared_ptr<const QVPDFColorSpace> alt_;
    std::array<double, QVPDFColor::kMaxComponents> rangeMin_{};
    std::array<double, QVPDFColor::kMaxComponents> rangeMax_ = [] {
        std::array<double, QVPDFColor::kMaxComponents> ones;
        ones.fill(1.0);
        return ones;
    }();
    std::optional<platform::PdfObject> iccProfileStream_;
};
