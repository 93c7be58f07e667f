#pragma once
// Indexed: one component, an index into a table of colours of the base space
// (n bytes per entry, 0..255 standing for each base component's 0.0..1.0).

#include "pdf/colour/QVPDFColorSpace.h"

#include <array>
#include <string>

class QVPDFIndexedColorSpace : public QVPDFColorSpace {
public:
    /// [/Indexed base hival lookup] with hival 0..255 and the lookup a string
    /// or stream. A table shorter than (hival + 1) x n bytes is padded with
    /// zeros: producers that cut trailing zero entries are common.
    bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache) override;

    int getMode() const override { return kIndexed; }
    int getNComps() const override { return 1; }
    /// The base's conversions of the mapped colour; 0 (black) without a base.
    int getGray(const QVPDFColor& color) const override;
    QVPDFRGB getRGB(const QVPDFColor& color) const override;
    QVPDFCMYK getCMYK(const QVPDFColor& color) const override;

    /// The default decode range of an indexed image: 0 to maxImgPixel.
    void getDefaultRanges(std::array<double, QVPDFColor::kMaxComponents>& decodeLow,
                          std::array<double, QVPDFColor::kMaxComponents>& decodeRange,
                          int maxImgPixel) const;
    /// The base-space colour of the index colour (index x 255, rounded to the
    /// nearest index and limited to 0..indexHigh). Components past the base's
    /// count are 0.
    QVPDFColor mapColorQVPDFColor(const QVPDFColor& color) const;

    const std::shared_ptr<const QVPDFColorSpace>& base() const { return base_; }
    int64_t indexHigh() const { return indexHigh_; }
    /// (indexHigh + 1) x the base's component count bytes.
    const std::string& lookup() const { return lookup_; }

private:
    std::shared_ptr<const QVPDFColorSpace> base_;
    int64_t indexHigh_ = 0;
    std::string lookup_;
};
