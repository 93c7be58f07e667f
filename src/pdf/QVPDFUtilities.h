#pragma once
// Page and image helpers shared by every exporter: the page's media box, the
// colour spaces and decode arrays of image samples, the extraction of image
// streams to files, ARGB bitmap surfaces, image loading and the image-file
// writer.

#include "pdf/colour/QVPDFColor.h"
#include "platform/Geometry.h"
#include "platform/image/Bitmap.h"
#include "platform/image/ImageColorSpace.h"
#include "platform/image/ImageFile.h"
#include "platform/image/RasterImage.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {
class PdfPage;
}

/// The most pixels a picture can show where it is drawn, per axis of the
/// image (its columns, its rows).
struct QVPDFImagePixelBound {
    int width = 0;
    int height = 0;
};

/// How an image stream became a file.
struct QVPDFExtractedImage {
    std::string path;
    platform::ImageFileType type = platform::ImageFileType::PNG;
    int width = 0;
    int height = 0;
    /// The file holds the stream's own JPEG or JPEG 2000 bytes, unchanged.
    bool copiedEncodedData = false;
};

class QVPDFUtilities {
public:
    QVPDFUtilities() = delete;
    using ColorSpaceRef = std::shared_ptr<const platform::ImageColorSpace>;

    /// The rotated media box's size at origin (0, 0); (0, 0, 595, 842) stands
    /// in for a missing, infinite or empty box.
    static platform::Rect MediaBoxOfPDFPage(const platform::PdfPage& page);

    // Image colour spaces. None when the object names no colour space we can
    // build; the image is then skipped rather than guessed at.

    /// A name (device spaces) or an array whose first entry is a name.
    static ColorSpaceRef ColorSpaceWithPDFObject(const platform::PdfObject& object);
    /// "DeviceGray", "G", "Cs1"; "DeviceRGB", "RGB", "Cs2"; "DeviceCMYK", "CMYK".
    static ColorSpaceRef ColorSpaceFromName(const std::string& name);
    /// Device names, CalGray, CalRGB, Lab, ICCBased, Indexed (or I),
    /// Separation and DeviceN (through their tint transforms).
    static ColorSpaceRef ColorSpaceFromPDFArray(const platform::PdfObject& array);
    static ColorSpaceRef ParserCalGray(const platform::PdfObject& array);
    static ColorSpaceRef ParserCalRGB(const platform::PdfObject& array);
    static ColorSpaceRef ParserLab(const platform::PdfObject& array);
    static ColorSpaceRef ParserICCBased(const platform::PdfObject& array);
    static ColorSpaceRef ParserIndexed(const platform::PdfObject& array);

    // Image files.

    /// Decodes an image stream (an image XObject or an inline image) with its
    /// masks and writes it into `folder` as "IMG_<UUID>" with the extension
    /// of what was written: the stream's own JPEG bytes when they show the
    /// same picture on their own, else PNG (with alpha when masked); a
    /// re-encoded JPEG (at `jpegQuality`) only for JPEG data that had to be
    /// decoded and has no mask. `colorSpaces` resolves colour-space names of
    /// inline images; stencil masks (/ImageMask) are painted in
    /// `stencilColor`. An image past `bound` (by more than a quarter on an
    /// axis) is scaled down to it on that axis while its samples are
    /// converted, so that its full-size pixels are never held. A 1-bit image
    /// of two colours without a mask, and a stencil mask, are written as
    /// 1-bit PNG. None when the image cannot be decoded or written.
    static std::optional<QVPDFExtractedImage> extractPDFStream(
        const platform::PdfObject& stream, const std::optional<platform::PdfObject>& colorSpaces,
        const std::string& folder, float jpegQuality, const QVPDFRGB& stencilColor = {},
        const std::optional<QVPDFImagePixelBound>& bound = std::nullopt);
    /// The size an image of width x height pixels is written at under
    /// `bound`: an axis more than a quarter past its bound is cut down to it.
    static std::pair<int, int>
    pixelSizeWithinBound(int width, int height, const std::optional<QVPDFImagePixelBound>& bound);
    /// The pixels of an image stream with its masks applied (what would be
    /// written as PNG); none when it cannot be decoded.
    static std::optional<platform::RasterImage>
    decodePDFImage(const platform::PdfObject& stream,
                   const std::optional<platform::PdfObject>& colorSpaces,
                   const QVPDFRGB& stencilColor = {});

    // ARGB bitmap surfaces and images.

    /// Width and height truncated to whole pixels; none (with "Context not
    /// created!" on standard error) when the surface cannot be made.
    static std::unique_ptr<platform::Bitmap> CreateARGBBitmapContextSize(platform::Size size);
    /// A surface of the image's pixel size.
    static std::unique_ptr<platform::Bitmap>
    CreateARGBBitmapContextFromImage(const platform::RasterImage& image);
    /// The image drawn through the mask (gray levels as alpha) on a surface of
    /// the larger width and the larger height of the two, both stretched over
    /// it, with `transform` applied first; without a mask, at the image's size.
    static std::optional<platform::RasterImage>
    maskCGImage(const platform::RasterImage& image, const platform::RasterImage* mask,
                const platform::AffineTransform& transform);
    /// Our images are always gray or RGB, with or without alpha: unchanged.
    static platform::RasterImage ConvertToARGBImageIfNeed(const platform::RasterImage& image);
    /// The image in the file, whatever its extension (PNG, JPEG, JPEG 2000).
    static std::optional<platform::RasterImage> cgImageWithContentsOfFile(const std::string& path);
};

/// Writes the image as PNG, JPEG (with `quality`, 0..1) or JPEG 2000 at
/// `resolution` dots per inch; false, with a line on standard error, when it
/// cannot be written.
bool QVPDF_WriteImageToURL(const platform::RasterImage* image, const std::string& path,
                           platform::ImageFileType type, platform::Size resolution, float quality);

/// The image's /Decode (or /D) numbers; without them the default of the colour
/// space (0 and 1 per component, 0 and 2^bits - 1 for indexed, the ranges for
/// Lab). None without a colour space.
std::optional<std::vector<double>> QVPDF_ImageDecodeArray(const platform::PdfObject& imageDict,
                                                          const platform::ImageColorSpace* space,
                                                          int bitsPerComponent);
