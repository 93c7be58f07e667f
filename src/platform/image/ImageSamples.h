#pragma once
// Turning the packed samples of a PDF image into pixels: 1, 2, 4, 8 or 16 bits
// per component, rows starting on byte boundaries, most significant bit first,
// each sample mapped through its decode pair and the colour space. Data shorter
// than its rows need is read as if padded with zero bytes, never past its end.

#include "platform/image/ImageColorSpace.h"
#include "platform/image/RasterImage.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

struct SampleLayout {
    int width = 0;
    int height = 0;
    int bitsPerComponent = 8;
    int components = 1;

    /// A size we decode, 1..32 components and 1, 2, 4, 8 or 16 bits.
    bool isValid() const;
    size_t rowBytes() const {
        return (size_t(width) * size_t(components) * bitsPerComponent + 7) / 8;
    }
    size_t dataBytes() const { return rowBytes() * size_t(height); }
    uint32_t maxSample() const { return (uint32_t(1) << bitsPerComponent) - 1; }
};

/// The default decode array of a space: (0, 2^bits - 1) for indexed, L 0..100
/// and the a/b ranges for Lab, the component ranges for an ICC space over Lab,
/// (0, 1) per component otherwise.
std::vector<double> defaultDecodeArray(const ImageColorSpace& space, int bitsPerComponent);

/// The image of the samples: Gray when the space only makes grays, else RGB.
/// `decode` holds a (Dmin, Dmax) pair per component; a shorter array is
/// completed from the default. None when the layout is invalid or does not
/// have the space's number of components.
std::optional<RasterImage> imageFromSamples(std::string_view data, const SampleLayout& layout,
                                            const ImageColorSpace& space,
                                            const std::vector<double>& decode);

/// One 8-bit value per pixel of a one-component layout: the sample mapped
/// through (dmin, dmax) onto 0..255. Masks are read with it.
std::vector<uint8_t> graysFromSamples(std::string_view data, const SampleLayout& layout,
                                      double dmin, double dmax);

/// Colour-key masking: alpha 0 for every pixel whose raw samples all lie in
/// their (min, max) pairs of `ranges` (2 per component), 255 elsewhere. None
/// when `ranges` has not 2 entries per component.
std::optional<std::vector<uint8_t>> colorKeyAlpha(std::string_view data, const SampleLayout& layout,
                                                  const std::vector<long long>& ranges);

/// A plane of width x height bytes scaled to newWidth x newHeight by taking,
/// for each target pixel, the source pixel under its centre.
std::vector<uint8_t> scalePlaneNearest(const std::vector<uint8_t>& plane, int width, int height,
                                       int newWidth, int newHeight);

/// The image scaled the same way.
RasterImage scaleImageNearest(const RasterImage& image, int newWidth, int newHeight);

} // namespace platform
