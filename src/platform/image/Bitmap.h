#pragma once
// An ARGB bitmap surface to draw on (over cairo), the stand-in for the
// platform's bitmap contexts: user space has its origin at the bottom-left
// pixel corner and y upward, one unit per pixel until the transform changes.
// Drawing can be clipped to paths and to masks; the result is read back as an
// RGBA image.

#include "platform/Geometry.h"
#include "platform/Path.h"
#include "platform/image/RasterImage.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

struct BitmapImpl;

class Bitmap {
public:
    /// A fully transparent surface; none when the size is not acceptable or
    /// the surface cannot be made.
    static std::unique_ptr<Bitmap> create(int width, int height);
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    int width() const;
    int height() const;

    /// Puts `transform` in front of the current transform: user coordinates go
    /// through it first (the platform's concatenation order).
    void concatTransform(const AffineTransform& transform);
    /// Saves and restores the transform, the clip and the masks.
    void saveState();
    void restoreState();

    /// Intersects the clip with the inside of the path (user space).
    void clipToPath(const Path& path, bool evenOdd);
    /// Intersects the clip with a mask drawn into `rect` (user space): the
    /// mask's gray levels act as alpha (white shows, black hides), times its
    /// own alpha when it has one.
    void clipToMask(const Rect& rect, const RasterImage& mask);

    /// Draws the image upright into `rect` (user space), smoothed when scaled
    /// unless `interpolate` is false.
    void drawImage(const Rect& rect, const RasterImage& image, bool interpolate = true);
    /// Fills the rectangle with a colour (0..255 components, straight alpha).
    void fillRect(const Rect& rect, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255);

    /// A colour to paint paths with: 0..255 components, straight alpha.
    struct Paint {
        uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    };
    /// How a path is stroked, in user space: cap and join as PDF numbers them
    /// (0 butt/miter, 1 round, 2 square/bevel); a width of 0 is the thinnest line.
    struct StrokeStyle {
        double width = 1;
        int cap = 0;
        int join = 0;
        double miterLimit = 10;
        std::vector<double> dashes;
        double dashPhase = 0;
    };
    /// Fills the inside of the path (user space) by the non-zero or even-odd rule.
    void fillPath(const Path& path, bool evenOdd, Paint paint);
    /// Strokes the path (user space).
    void strokePath(const Path& path, const StrokeStyle& style, Paint paint);

    /// The pixels as an RGBA image, top row first, alpha straight.
    RasterImage image() const;

private:
    explicit Bitmap(std::unique_ptr<BitmapImpl> impl);
    std::unique_ptr<BitmapImpl> impl_;
};

/// The pixels of `rect` (pixel coordinates, origin at the top-left corner,
/// rounded outward and limited to the image); an empty image when nothing of
/// the image is inside.
RasterImage cropImage(const RasterImage& image, const Rect& rect);

} // namespace platform
