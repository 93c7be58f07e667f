#pragma once
// Defaults of the slide property records, the number forms of DrawingML
// (EMU, angles, percentages) and the picture helpers of the slide exporter:
// paths drawn into pictures and free picture names.

#include "platform/Geometry.h"
#include "platform/Path.h"
#include "platform/image/RasterImage.h"
#include "pptx/QVPPTXProperties.h"

#include <optional>
#include <string>
#include <vector>

class QVPDFRenderState;

class QVPPTXUtilities {
public:
    QVPPTXUtilities() = delete;

    /// No wrapping, no insets, centred.
    static QVPPTX_TxBodyPr defaultTextBodyProperty();
    /// No margin, no line spacing, no tab stop, centred, Chinese end mark.
    static QVPPTX_PPr defaultPProperty();
    /// English with Chinese as the alternative, Times New Roman, 12 pt black, upright.
    static QVPPTX_RunPr defaultRunProperty();

    /// EMU per point.
    static constexpr double kEMUPerPoint = 12700.0;
    /// A whole number from a double, to the nearest (halves to even); 0 for
    /// what is not a number, and limited to what DrawingML coordinates hold.
    static std::string roundedInteger(double value);
    /// Points as EMU.
    static std::string emu(double points) { return roundedInteger(points * kEMUPerPoint); }

    /// The first name "image1.<ext>", "image2.<ext>", ... in the folder of
    /// `path` that names nothing, <ext> being the path's extension.
    static std::string getNewImagePath(const std::string& path);

    /// Oversampling of paths drawn into pictures: pixels per display point.
    static constexpr double kRasterScale = 3.0;
    /// The most pixels one such picture may have; larger paths are drawn at
    /// a lower scale (at least one pixel per point would exceed it only for
    /// boxes beyond any page).
    static constexpr double kMaxRasterPixels = 16.0e6;

    /// A picture of the path (display space) as the page paints it: filled
    /// by its rule and fill colour and alpha when `fill`, stroked with the
    /// state's line settings, scaled by `toDisplay` (the transform from user
    /// to display space), when `stroke`; transparent elsewhere. `box` gets
    /// the display-space rectangle the picture covers. None when nothing can
    /// be drawn.
    static std::optional<platform::RasterImage>
    makeCGPathToUIImage(const platform::Path& displayPath, const QVPDFRenderState& state,
                        const platform::AffineTransform& toDisplay, bool stroke, bool fill,
                        bool evenOdd, platform::Rect& box,
                        const std::vector<std::pair<platform::Path, bool>>& displayClips = {});

    /// The most pixels all the pictures of drawings on one slide may have
    /// together at full scale; past it, later drawings of the page are drawn
    /// at fewer pixels per point, down to one.
    static constexpr double kMaxRasterPixelsPerPage = 16.0e6;

    /// A piece of a drawing made a picture: its pixels and the display-space
    /// rectangle they cover.
    struct PathPicture {
        platform::RasterImage image;
        platform::Rect box;
    };
    /// The drawing of makeCGPathToUIImage, as one or more pictures covering
    /// only where it paints: the picture's box is cut into the rectangles of
    /// its painted regions (the four sides of a frame, the separate parts of a
    /// figure), each drawn on its own, so the empty inside of a frame is
    /// neither drawn nor stored. The pieces together hold the pixels the
    /// whole picture would (to the rasteriser's rounding at their edges). `pixelBudget` holds the pixels still free for
    /// the page's drawings; it lowers the scale when short and is charged with
    /// what is drawn.
    static std::vector<PathPicture>
    makeCGPathToPictures(const platform::Path& userPath, const QVPDFRenderState& state,
                         const platform::AffineTransform& toDisplay, bool stroke, bool fill,
                         bool evenOdd,
                         const std::vector<std::pair<platform::Path, bool>>& displayClips,
                         double& pixelBudget);

    /// Full path of a file of a resource bundle, or none when it is missing.
    static std::optional<std::string> pathInBundle(const std::string& bundle,
                                                   const std::string& filePathInBundle);
};
