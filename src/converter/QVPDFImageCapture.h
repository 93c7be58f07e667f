#pragma once
// Placing a drawn image on a page of an output document, shared by the
// formats that keep pictures (docx, pptx): the picture's box, turn, mirror
// and opacity from the image transform, and the files that stand in for the
// interpreter's image file where the page does not show it as it is:
//
// - a mirrored image gets a copy with mirrored pixels and is placed
//   unmirrored, because readers differ in whether they honour a mirror
//   attribute on a picture (LibreOffice ignores VML's flip:y);
// - an image stored in another format (JPEG 2000) gets a PNG copy, since
//   office readers show PNG and JPEG media only;
// - an image cut by the page's clip paths gets a PNG of what the clip lets
//   through, over the box of clip, image and page together, at the image's
//   own resolution (at least one pixel per point, at most 4096 pixels a
//   side); an image its clip hides completely is not placed at all.
//
// Derived files are written beside the interpreter's file (the document's
// image folder, removed with the document) and remembered per document by a
// QVPDFDerivedImageFiles, so an image shown the same way on many pages is
// written once and becomes one medium.

#include "platform/Geometry.h"
#include "platform/image/RasterImage.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct QVPDFClipPath;
class QVPDFRenderState;

/// Where and how one picture stands on the page, in display space (points,
/// origin at the top-left corner, y downward).
struct QVPDFImagePlacement {
    /// The file to place: the interpreter's file, or a derived copy.
    std::string mediaPath;
    /// Name of the interpreter's file (the picture's title), also for a copy.
    std::string imageTitle;
    /// The unrotated box: centred on the picture, as wide as its bottom edge
    /// and as high as its right edge; the turn is about its centre.
    double displayX = 0, displayY = 0, displayWidth = 0, displayHeight = 0;
    /// Clockwise turn in degrees, 0 up to but not including 360.
    float rotation = 0;
    /// Mirrored top to bottom (then turned); only set when the capture was
    /// asked to keep mirrors as attributes.
    bool flipY = false;
    float opacity = 1;
    /// Corners of the image as drawn: the unit square's (0,0), (1,0), (1,1), (0,1).
    std::array<platform::Point, 4> vertices{};
    /// The media file is a clipped cut-out placed upright over the clip box.
    bool clipped = false;

    platform::Rect displayRect() const {
        return {{displayX, displayY}, {displayWidth, displayHeight}};
    }
    /// The box the picture covers on the page (the corners' bounding box).
    platform::Rect coveredRect() const;
};

/// Files derived from image files during one document, by what they show.
class QVPDFDerivedImageFiles {
public:
    struct Entry {
        enum class Kind { Hidden, Unchanged, File } kind = Kind::File;
        /// The derived file (Kind::File).
        std::string path;
        /// Where a clipped cut-out stands (display space).
        platform::Rect box;
    };
    const Entry* find(const std::string& key) const;
    void store(const std::string& key, Entry entry) { files_[key] = std::move(entry); }
    size_t size() const { return files_.size(); }

private:
    std::map<std::string, Entry> files_;
};

class QVPDFImageCapture {
public:
    QVPDFImageCapture() = delete;

    /// Largest side of a clipped cut-out, in pixels.
    static constexpr int kMaxClipPixels = 4096;

    /// The placement of an image whose unit square `transform` maps into
    /// display space; `mediaPath` and `imageTitle` are left empty.
    static QVPDFImagePlacement placementWithTransform(const platform::AffineTransform& transform,
                                                      float opacity);

    enum class ClipOutcome {
        Unclipped, ///< the clip cuts nothing off: place the image as it is
        Hidden,    ///< nothing of the image is visible: place nothing
        Clipped,   ///< `cut` holds the visible part over `clipRect`
        Failed,    ///< no surface could be made: place the image as it is
    };
    /// Draws `image` (drawn through `imageTransform`, unit square to display
    /// space) through `clipPaths` (page user space, mapped to display space by
    /// `pageTransform`) and cuts out the box of clip, image and `pageBox`.
    /// `image` may be absent (a file that cannot be read): the cut is then
    /// fully transparent and counts as hidden.
    static ClipOutcome ClipImageInContextSize(const platform::Rect& pageBox,
                                              const platform::RasterImage* image,
                                              const platform::AffineTransform& imageTransform,
                                              const std::vector<QVPDFClipPath>& clipPaths,
                                              const platform::AffineTransform& pageTransform,
                                              platform::RasterImage& cut, platform::Rect& clipRect);

    /// The whole capture of one drawn image file under the state `state`
    /// (its CTM, fill alpha and clip paths) on a page with `pageTransform`
    /// (user space to display space) and `pageBox` (display space): none when
    /// the clip hides the image. With `keepMirror` a mirrored image keeps its
    /// file and is placed with flipY; otherwise its pixels are mirrored.
    /// The file itself when it is PNG or JPEG (what every office reader
    /// shows), else a PNG copy beside it; the file itself when it cannot be read.
    static std::string pngOrJpegFile(const std::string& imagePath, QVPDFDerivedImageFiles* derived);

    static std::optional<QVPDFImagePlacement>
    captureImage(const std::string& imagePath, const QVPDFRenderState& state,
                 const platform::AffineTransform& pageTransform, const platform::Rect& pageBox,
                 QVPDFDerivedImageFiles* derived, bool keepMirror = false);
};
