#pragma once
// An image XObject (or an inline image): decoded and written to an image file
// when the page first paints it, not when the resources are collected, so
// images a page never paints are never decoded. The file is kept in the
// document's image cache by object id, so an image shared by many pages or
// forms is written once per document; a stencil mask is written once per fill
// colour it is painted in.

#include "pdf/QVPDFUtilities.h"
#include "pdf/colour/QVPDFColor.h"
#include "pdf/xobject/QVPDFXObject.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
struct PdfDocumentImpl;
}

class QVPDFImageXObject : public QVPDFXObject {
public:
    /// Keeps the stream; nothing is decoded yet.
    explicit QVPDFImageXObject(const platform::PdfObject& stream);

    int getType() const override { return 1; }
    /// parseImage with no colour-space resources.
    bool parse(const platform::PdfObject& stream);
    /// Keeps the stream to decode and the /ColorSpace resources that resolve
    /// an inline image's colour-space name. Always true.
    bool parseImage(const platform::PdfObject& stream,
                    const std::optional<platform::PdfObject>& colorSpaces);

    /// Makes sure the image file exists for a painting of the image, a stencil
    /// mask in `fillColor`: taken from the document's cache when written
    /// before, else extracted now into the document's scratch folder. The
    /// interpreter calls it right before it reports the image. An image with
    /// more pixels than `bound` is written scaled down to it; such a file is
    /// shared only by paintings that scale it to the same size.
    void extractForPainting(const std::shared_ptr<platform::PdfDocumentImpl>& document,
                            const QVPDFRGB& fillColor,
                            const std::optional<QVPDFImagePixelBound>& bound = std::nullopt);

    /// Resolution at which pictures are kept where they are drawn: a printed
    /// page shows no more, so pixels past it only cost memory and time.
    static constexpr double kPictureDotsPerInch = 300;
    /// The pixels an image drawn through `ctm` (its unit square to the page,
    /// in points) can show at kPictureDotsPerInch; none when the drawing is
    /// degenerate.
    static std::optional<QVPDFImagePixelBound>
    pixelBoundForCTM(const platform::AffineTransform& ctm);

    /// Path of the written file; none before the first painting and when
    /// the image could not be decoded or written.
    const std::optional<std::string>& cachedImagePath() const { return cachedImagePath_; }
    /// A stencil mask (/ImageMask true): painted in the fill colour.
    bool isImageMask() const;

private:
    platform::PdfObject imageStream_;
    std::optional<platform::PdfObject> colorSpaces_;
    std::optional<std::string> cachedImagePath_;
};
