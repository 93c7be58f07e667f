#pragma once
// JPEG (DCT) data in memory (libjpeg-turbo).

#include "platform/image/RasterImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// What the header of a JPEG says.
struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    /// An Adobe APP14 marker is present: a 4-component image then holds
    /// inverted CMYK (Adobe's convention), which readers of JPEG files undo.
    bool adobeMarker = false;
    /// The marker's colour transform (0 none, 1 YCbCr, 2 YCCK); -1 without marker.
    int adobeTransform = -1;
};

/// Interleaved 8-bit samples of an image as its codec delivers them.
struct DecodedSamples {
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<uint8_t> samples;
};

/// The header; none when it is not a readable JPEG.
std::optional<JpegInfo> readJpegInfo(std::string_view bytes);

/// Samples of 1, 3 (RGB) or 4 (CMYK, exactly as stored: Adobe-inverted data
/// stays inverted) components. `colorTransform` overrides the header's choice
/// of YCbCr/YCCK (1) or none (0); -1 keeps it. Truncated data gives the rows
/// the decoder could fill. None when the header cannot be read or the size is
/// not acceptable.
std::optional<DecodedSamples> decodeJpeg(std::string_view bytes, int colorTransform = -1);

/// A gray or RGB JPEG of the image (alpha dropped) at `quality` (0..1), with
/// its resolution in dots per inch.
std::optional<std::string> encodeJpeg(const RasterImage& image, double quality, double dpiX = 72,
                                      double dpiY = 72);

bool isJpegData(std::string_view bytes);

} // namespace platform
