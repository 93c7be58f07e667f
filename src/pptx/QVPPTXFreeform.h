#pragma once
// A painted path on a slide: a p:sp whose custom geometry runs through the
// path's own points (display space, EMU from the top-left corner of its box),
// filled and outlined as the page paints it.

#include "platform/Geometry.h"
#include "platform/Path.h"
#include "pptx/QVPPTXShape.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct QVPPTXFreeformInfo {
    int8_t filled = 0;
    int8_t stroked = 0;
    uint32_t fillcolor = 0xffffff;   ///< 0xRRGGBB
    uint32_t strokecolor = 0xffffff; ///< 0xRRGGBB
    float fillAlphaValue = 1;
    float strokeAlphaValue = 1;
    /// Line width in display space, points: the user-space width scaled by
    /// the transform's mean scale.
    double strokeweight = 0;
    /// Dash and gap lengths as multiples of the line width, as the page set
    /// them; none or empty for a solid line.
    std::optional<std::vector<double>> strokeDashPattern;
    int64_t strokeDashPhase = 0;
    int32_t lineCap = 0;  ///< 0 butt, 1 round, 2 square
    int32_t lineJoin = 0; ///< 0 miter, 1 round, 2 bevel
    double displayWidth = 0, displayHeight = 0, displayX = 0, displayY = 0;

    void setDisplayRect(const platform::Rect& r) {
        displayX = r.origin.x;
        displayY = r.origin.y;
        displayWidth = r.size.width;
        displayHeight = r.size.height;
    }
    platform::Point displayOrigin() const { return {displayX, displayY}; }
    /// The stored alpha when filled (stroked), else 0.
    float fillAlpha() const { return filled ? fillAlphaValue : 0.0f; }
    float strokeAlpha() const { return stroked ? strokeAlphaValue : 0.0f; }
    /// Six lowercase hex digits; white when not filled (stroked).
    std::string fillcolorString() const;
    std::string strokecolorString() const;
    /// "flat", "rnd", "sq"; none for another value.
    std::optional<std::string> lineCapString() const;
};

/// One element of a freeform's path: type 0 move, 1 line, 2 quadratic curve,
/// 3 cubic curve, 4 close, with its points in display space.
struct QVPPTXPathElement {
    int32_t type = 0;
    std::vector<platform::Point> points;
};

class QVPPTXFreeform : public QVPPTXShape {
public:
    QVPPTXFreeform() : QVPPTXShape(1) {}

    const platform::Path& runCGPath() const { return runCGPath_; }
    void setRunCGPath(platform::Path v) { runCGPath_ = std::move(v); }
    const std::shared_ptr<QVPPTXFreeformInfo>& spInfo() const { return spInfo_; }
    void setSpInfo(std::shared_ptr<QVPPTXFreeformInfo> v) { spInfo_ = std::move(v); }

    static std::vector<QVPPTXPathElement> pointsWithCGPath(const platform::Path& path);

protected:
    void write_nvSpPr(XMLFileWriter& writer, uint32_t shapeId) override;
    void write_spPr(XMLFileWriter& writer) override;
    void write_style(XMLFileWriter& writer) override;
    void write_txBody(XMLFileWriter& writer) override;

private:
    void write_SpPr_custGeom(XMLFileWriter& writer, const QVPPTXFreeformInfo& info);
    void write_ln(XMLFileWriter& writer, const QVPPTXFreeformInfo& info);

    platform::Path runCGPath_;
    std::shared_ptr<QVPPTXFreeformInfo> spInfo_;
};
