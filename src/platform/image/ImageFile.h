#pragma once
// Image files: writing a raster image as PNG, JPEG or JPEG 2000 with its
// resolution, and loading an image file whatever its extension says.

#include "platform/image/RasterImage.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class ImageFileType { PNG, JPEG, JPEG2000 };

/// The usual extension of the type, without the dot: "png", "jpeg", "jp2".
std::string extensionForImageFileType(ImageFileType type);

/// The encoded bytes of the image: PNG keeps alpha, JPEG drops it, JPEG 2000 is
/// lossless. `quality` (0..1) matters for JPEG only. None when encoding fails.
std::optional<std::string> encodeImage(const RasterImage& image, ImageFileType type, double dpiX,
                                       double dpiY, double quality);

/// The type of encoded bytes from their signature (a bare JPEG 2000
/// codestream counts as JPEG 2000); none for anything else.
std::optional<ImageFileType> imageFileTypeOfData(std::string_view bytes);

/// The decoded image of PNG, JPEG (gray, RGB or CMYK, Adobe-inverted CMYK
/// undone as JPEG files expect) or JPEG 2000 bytes; none for other data.
std::optional<RasterImage> decodeImageData(std::string_view bytes);

/// decodeImageData of the file's bytes.
std::optional<RasterImage> loadImageFile(const std::string& path);

} // namespace platform
