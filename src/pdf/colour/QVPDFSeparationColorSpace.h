#pragma once
// Separation: one tint component of a named colorant, turned into a colour of
// the alternate space by the tint transform function.

#include "pdf/colour/QVPDFColorSpace.h"
#include "pdf/function/QVPDFFunction.h"

#include <string>

class QVPDFSeparationColorSpace : public QVPDFColorSpace {
public:
    /// [/Separation name alternate tintTransform].
    bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache) override;

    int getMode() const override { return kSeparation; }
    int getNComps() const override { return 1; }
    /// The alternate's conversions of the transformed tint; 0 (black) without
    /// an alternate.
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;

    /// The alternate-space colour of a tint: each function output times 255,
    /// truncated, not clamped (the alternate clamps).
    QVPDFColor transformedColor(const QVPDFColor& color) const;

    const std::string& name() const { return name_; }
    const std::shared_ptr<const QVPDFColorSpace>& alt() const { return alt_; }
    const std::shared_ptr<const QVPDFFunction>& func() const { return func_; }
    /// The colorant "None", which never marks the page.
    bool nonMarking() const { return nonMarking_; }

private:
    std::string name_;
    std::shared_ptr<const QVPDFColorSpace> alt_;
    std::shared_ptr<const QVPDFFunction> func_;
    bool nonMarking_ = false;
};
