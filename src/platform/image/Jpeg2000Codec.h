#pragma once
// JPEG 2000 data in memory, JP2 files or bare codestreams (openjpeg).

#include "platform/image/JpegCodec.h"
#include "platform/image/RasterImage.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct DecodedJpeg2000 {
    enum class ColorSpace { Unspecified, Gray, RGB, CMYK };
    /// Interleaved 8-bit samples: the colour components, then the alpha
    /// component when there is one. sYCC data comes back as RGB; subsampled
    /// components are spread over the full size.
    DecodedSamples samples;
    /// The colour components (alpha not counted).
    int colorComponents = 0;
    bool hasAlpha = false;
    /// From the JP2 header's 'colr' box (ISO/IEC 15444-1, I.5.3.3), else guessed
    /// from the component count.
    ColorSpace colorSpace = ColorSpace::Unspecified;
};

/// None when the data is neither a JP2 file nor a codestream, the header
/// cannot be read, or the size is not acceptable.
std::optional<DecodedJpeg2000> decodeJpeg2000(std::string_view bytes);

/// The image as a lossless JP2 file (alpha kept).
std::optional<std::string> encodeJpeg2000(const RasterImage& image);

/// A JP2 file (signature box).
bool isJp2Data(std::string_view bytes);
/// A bare JPEG 2000 codestream (SOC and SIZ markers).
bool isJ2kData(std::string_view bytes);

} // namespace platform
