#pragma once
// PNG files in memory (libpng).

#include "platform/image/RasterImage.h"

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

/// A PNG decoded to 8 bits per channel: palettes expanded, transparency
/// (tRNS) turned into alpha, 16-bit channels rounded. None for anything that is
/// not a whole, readable PNG of an acceptable size.
std::optional<RasterImage> decodePng(std::string_view bytes);

/// True when the bytes start with the PNG signature.
bool isPngData(std::string_view bytes);

} // namespace platform
