#pragma once
// PNG files in memory (libpng).

#include "platform/image/RasterImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// The image as a PNG of its own format, with its resolution in dots per inch
/// (a pHYs chunk); none when the image is invalid or encoding fails.
std::optional<std::string> encodePng(const RasterImage& image, double dpiX = 72, double dpiY = 72);

/// The same pixels as a small PNG made quickly, for drawings rendered to
/// pictures: a palette (1 to 8 bits, transparency in tRNS) when the image has
/// at most 256 distinct colours, grey when every pixel is grey, alpha only
/// when some pixel is not opaque; fast zlib level, one cheap filter per row.
/// Decodes to exactly the pixels given.
std::optional<std::string> encodePngCompact(const RasterImage& image, double dpiX = 72,
                                            double dpiY = 72);

/// A two-colour image as a 1-bit PNG: `rows` holds width x height samples
/// packed most significant bit first, each row starting on a byte; a 0 sample
/// shows `colour0`, a 1 sample `colour1` (RGBA, straight alpha). Black and
/// white opaque colours make a 1-bit grey PNG, any other pair a two-entry
/// palette (with transparency when either is not opaque). None when `rows`
/// is too short for the size or encoding fails.
std::optional<std::string> encodePngBilevel(std::string_view rows, int width, int height,
                                            const std::array<uint8_t, 4>& colour0,
                                            const std::array<uint8_t, 4>& colour1, double dpiX = 72,
                                            double dpiY = 72);

/// A PNG decoded to 8 bits per channel: palettes expanded, transparency
/// (tRNS) turned into alpha, 16-bit channels rounded. None for anything that is
/// not a whole, readable PNG of an acceptable size.
std::optional<RasterImage> decodePng(std::string_view bytes);

/// True when the bytes start with the PNG signature.
bool isPngData(std::string_view bytes);

} // namespace platform
