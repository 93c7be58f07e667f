#include "pdf/colour/QVPDFIndexedColorSpace.h"

#include "pdf/colour/QVPDFColorSpaceHelpers.h"
#include "pdf/colour/QVPDFLabColorSpace.h"

#include <algorithm>
#include <cmath>

bool QVPDFIndexedColorSpace::parse(const platform::PdfObject& object, QVPDFResourceCache& cache) {
    if (!QVPDFColorSpaceHelpers::isFamilyArray(object, "Indexed") || object.arraySize() != 4)
        return false;
    base_ = QVPDFColorSpace::colorSpaceWithObject(object.at(1), cache);
    if (!base_)
        return false;
    std::optional<long long> high = object.integerAt(2);
    if (!high || *high < 0 || *high > 255)
        return false;
    indexHigh_ = *high;

    platform::PdfObject table = object.at(3);
    std::optional<std::string> bytes;
    if (table.isString())
        bytes = table.string();
    else if (table.isStream())
        bytes = table.streamData();
    if (!bytes)
        return false;
    const size_t n = static_cast<size_t>(std::max(0, base_->getNComps()));
    const size_t size = static_cast<size_t>(indexHigh_ + 1) * n;
    lookup_ = bytes->substr(0, size);
    lookup_.resize(size, '\0');
    return true;
}

void QVPDFIndexedColorSpace::getDefaultRanges(
    std::array<double, QVPDFColor::kMaxComponents>& decodeLow,
    std::array<double, QVPDFColor::kMaxComponents>& decodeRange, int maxImgPixel) const {
    decodeLow[0] = 0;
    decodeRange[0] = maxImgPixel;
}

QVPDFColor QVPDFIndexedColorSpace::mapColorQVPDFColor(const QVPDFColor& color) const {
    QVPDFColor mapped;
    if (!base_)
        return mapped;
    // Indexes outside the table are clamped to its ends.
    double index = std::trunc(color.c[0] / 255.0 + 0.5);
    int64_t i = index < 0 ? 0
                          : (index > static_cast<double>(indexHigh_) ? indexHigh_
                                                                     : static_cast<int64_t>(index));
    const size_t n = static_cast<size_t>(std::max(0, base_->getNComps()));
    for (size_t k = 0; k < n && k < mapped.c.size(); ++k) {
        size_t at = static_cast<size_t>(i) * n + k;
        if (at < lookup_.size())
            mapped.c[k] = static_cast<unsigned char>(lookup_[at]);
    }
    // Bytes span each component's range: for most spaces 0..1, which is the
    // byte itself; Lab components range over L 0..100 and the a, b ranges.
    if (const auto* lab = dynamic_cast<const QVPDFLabColorSpace*>(base_.get())) {
        const double low[3] = {0.0, lab->aMin(), lab->bMin()};
        const double high[3] = {100.0, lab->aMax(), lab->bMax()};
        for (size_t k = 0; k < 3; ++k)
            mapped.c[k] =
                QVPDF_ColorComponentFromOperand(low[k] + mapped.c[k] / 255.0 * (high[k] - low[k]));
    }
    return mapped;
}

int QVPDFIndexedColorSpace::getGray(const QVPDFColor& color) const {
    return base_ ? base_->getGray(mapColorQVPDFColor(color)) : 0;
}

QVPDFRGB QVPDFIndexedColorSpace::getRGB(const QVPDFColor& color) const {
    return base_ ? base_->getRGB(mapColorQVPDFColor(color)) : QVPDFRGB{};
}

QVPDFCMYK QVPDFIndexedColorSpace::getCMYK(const QVPDFColor& color) const {
    return base_ ? base_->getCMYK(mapColorQVPDFColor(color)) : QVPDFCMYK{};
}
