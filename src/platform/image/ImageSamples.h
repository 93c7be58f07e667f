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

/// The image of the samples scaled down to newWidth x newHeight (neither more
/// than the layout's): each target pixel is the mean of the source pixels its
/// box covers. The samples are converted one band of source rows at a time,
/// so only the target image and one band of pixels are held, however large
/// the source. None as for imageFromSamples or when the target is not smaller
/// or equal on both axes.
std::optional<RasterImage> scaledImageFromSamples(std::string_view data, const SampleLayout& layout,
                                                  const ImageColorSpace& space,
                                                  const std::vector<double>& decode, int newWidth,
                                                  int newHeight);

/// 1-bit one-component samples scaled down to newWidth x newHeight, packed the
/// same way (rows on byte boundaries, most significant bit first). A target
/// pixel takes `inkSample` (0 or 1) when at least a third of the source pixels
/// its box covers have it, the other value elsewhere: a stroke a third of a
/// target pixel wide still shows, which an even split would drop from scanned
/// text. Empty when the layout is not 1-bit gray or the target not within it.
std::string scaledBitsFromSamples(std::string_view data, const SampleLayout& layout, int inkSample,
                                  int newWidth, int newHeight);

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
