#pragma once
// A painted path of the page: a floating VML shape that draws the path in
// display space, filled and/or stroked, placed absolutely on the page.

#include "docx/QVDocxRunPict.h"
#include "pdf/colour/QVPDFColor.h"
#include "platform/Path.h"
#include "platform/image/RasterImage.h"

#include <memory>
#include <optional>
#include <vector>

/// Fill, stroke and box of a path shape (display points).
struct QVDocxPathInfo {
    bool filled = false;
    bool stroked = false;
    std::optional<QVPDFRGB> fillcolor;
    std::optional<QVPDFRGB> strokecolor;
    float fillAlpha = 1;
    float strokeAlpha = 1;
    /// Line width as the page shows it (the width scaled by the square root
    /// of the transform's area factor), display points.
    double strokeweight = 0;
    /// Dash and gap lengths in multiples of the line width; none for a solid line.
    std::optional<std::vector<double>> strokeDashPattern;
    double displayWidth = 0;
    double displayHeight = 0;
    double displayX = 0;
    double displayY = 0;

    /// "1.5 0.75 ..." of the dash lengths; none for a solid line.
    std::optional<std::string> strokeDashPatternString() const;
};

class QVDocxRunPath : public QVDocxRunPict {
public:
    const platform::Path& runCGPath() const { return runCGPath_; }
    void setRunCGPath(platform::Path v) { runCGPath_ = std::move(v); }
    const QVDocxPathInfo& pictInfo() const { return pictInfo_; }
    void setPictInfo(QVDocxPathInfo v) { pictInfo_ = std::move(v); }

    platform::Rect displayRect() const override {
        return {{pictInfo_.displayX, pictInfo_.displayY},
                {pictInfo_.displayWidth, pictInfo_.displayHeight}};
    }
    void writeWithXMLWriter(XMLFileWriter& writer) const override;

    /// The VML path text of a display-space path in twentieths of a point:
    /// m, l and c commands, x at each close (a line after a close starts
    /// again at the subpath's start), e at the end.
    static std::string pathString(const platform::Path& path);

    /// The style and path as written: a thin fill turned into a line, the
    /// box at least as thick as the stroke.
    struct Prepared {
        QVDocxPathInfo info;
        platform::Path path;
    };
    Prepared prepared() const;
    /// Writes the v:shape of a prepared path: placed on the page (with
    /// `zIndex`), or, without it, as a member of a v:group whose coordinate
    /// space is the page in twentieths of a point.
    static void writeShape(XMLFileWriter& writer, const Prepared& shape,
                           std::optional<int64_t> zIndex);

private:
    void _writePath2006(XMLFileWriter& writer) const;

    platform::Path runCGPath_;
    QVDocxPathInfo pictInfo_;
};

/// Paths painted one after another on the same side of the text, written as
/// one v:group of their shapes in painting order. A reader lays out each
/// floating object against the text of its page, and thousands of them on a
/// page (a plotted surface, a map) take it minutes; a group is one object.
class QVDocxRunPathGroup : public QVDocxRunPict {
public:
    using Members = std::vector<std::shared_ptr<const QVDocxRunPath>>;
    explicit QVDocxRunPathGroup(Members members);

    const Members& members() const { return members_; }
    /// The union of the members' boxes.
    platform::Rect displayRect() const override;
    /// The members painted in order on a transparent picture of `box` (set
    /// to the members' box as written, strokes included) at `dotsPerInch`,
    /// fewer when a side would pass `maxPixels`; none when it cannot be made.
    std::optional<platform::RasterImage> picture(double dotsPerInch, int maxPixels,
                                                 platform::Rect& box) const;
    void writeWithXMLWriter(XMLFileWriter& writer) const override;

private:
    Members members_;
};
