#pragma once
// One graphics and text state of a content stream. A copyable value: objects
// made from PDF resources (font, colour spaces, patterns) are immutable and
// shared, and the current path and the clip list are shared until one side
// changes them, so `q` copies pointers, not fonts or paths.

#include "pdf/QVPDFCGPathUtilities.h"
#include "pdf/colour/QVPDFColor.h"
#include "platform/Geometry.h"
#include "platform/Path.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QVPDFFont;
class QVPDFColorSpace;
class QVPDFPattern;
class QVPDFExtGState;
class QVPDFFontCollection;

/// A recorded clip: the path in page user space (CTM applied) and its rule.
struct QVPDFClipPath {
    QVPDFSerializedPath path;
    bool evenOdd = false;
    bool operator==(const QVPDFClipPath&) const = default;
};

class QVPDFRenderState {
public:
    /// Clip request of W (non-zero) and W* (even-odd), pending until painting.
    enum Clip : int32_t { kClipNone = 0, kClipNonZero = 1, kClipEvenOdd = 2 };

    QVPDFRenderState();

    // Matrices.
    const platform::AffineTransform& lineMatrix() const { return lineMatrix_; }
    void setLineMatrix(const platform::AffineTransform& m) { lineMatrix_ = m; }
    const platform::AffineTransform& textMatrix() const { return textMatrix_; }
    void setTextMatrix(const platform::AffineTransform& m) { textMatrix_ = m; }
    /// Sets the text matrix, and with `replaceLineMatrix` the line matrix too.
    void setTextMatrix(const platform::AffineTransform& m, bool replaceLineMatrix);
    const platform::AffineTransform& ctm() const { return ctm_; }
    void setCtm(const platform::AffineTransform& m) { ctm_ = m; }

    // Text parameters.
    double leading() const { return leading_; }
    void setLeading(double v) { leading_ = v; }
    double wordSpacing() const { return wordSpacing_; }
    void setWordSpacing(double v) { wordSpacing_ = v; }
    double characterSpacing() const { return characterSpacing_; }
    void setCharacterSpacing(double v) { characterSpacing_ = v; }
    /// A factor: 1.0 is 100 percent.
    double horizontalScaling() const { return horizontalScaling_; }
    void setHorizontalScaling(double v) { horizontalScaling_ = v; }
    double textRise() const { return textRise_; }
    void setTextRise(double v) { textRise_ = v; }
    /// The text rendering mode (Tr), 0 to 7; 3 paints nothing (the text
    /// layer of a searchable scan).
    int textRenderingMode() const { return textRenderingMode_; }
    void setTextRenderingMode(int v) { textRenderingMode_ = v; }
    bool isTextInvisible() const { return textRenderingMode_ == 3 || textRenderingMode_ == 7; }
    const std::shared_ptr<const QVPDFFont>& font() const { return font_; }
    void setFont(std::shared_ptr<const QVPDFFont> f) { font_ = std::move(f); }
    double fontSize() const { return fontSize_; }
    void setFontSize(double v) { fontSize_ = v; }

    /// Text matrix = T(w, h) x text matrix: a move in text space.
    void translateTextPosition(platform::Size offset);
    /// Line matrix = T(indent, leading) x line matrix, text matrix = line
    /// matrix; with `save` the leading field becomes -leading.
    void newLineWithLeading(double leading, double indent, bool save);
    void newLineWithLeading(double leading, bool save) { newLineWithLeading(leading, 0, save); }
    /// Next line: down by the leading.
    void newLine() { newLineWithLeading(-leading_, false); }

    // Colours.
    const std::shared_ptr<const QVPDFColorSpace>& fillColorSpace() const { return fillColorSpace_; }
    void setFillColorSpace(std::shared_ptr<const QVPDFColorSpace> s) {
        fillColorSpace_ = std::move(s);
    }
    const std::shared_ptr<const QVPDFColorSpace>& strokeColorSpace() const {
        return strokeColorSpace_;
    }
    void setStrokeColorSpace(std::shared_ptr<const QVPDFColorSpace> s) {
        strokeColorSpace_ = std::move(s);
    }
    const QVPDFColor& fillColor() const { return fillColor_; }
    void setFillColor(const QVPDFColor& c) { fillColor_ = c; }
    const QVPDFColor& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const QVPDFColor& c) { strokeColor_ = c; }
    const std::shared_ptr<const QVPDFPattern>& fillPattern() const { return fillPattern_; }
    void setFillPattern(std::shared_ptr<const QVPDFPattern> p) { fillPattern_ = std::move(p); }
    const std::shared_ptr<const QVPDFPattern>& strokePattern() const { return strokePattern_; }
    void setStrokePattern(std::shared_ptr<const QVPDFPattern> p) { strokePattern_ = std::move(p); }
    /// The fill (stroke) colour through its space's getRGB; black without a space.
    QVPDFRGB currentFillRGBColor() const;
    QVPDFRGB currentStrokeRGBColor() const;
    double currentOpacity() const { return fillAlpha_; }
    double currentFillAlpha() const { return fillAlpha_; }
    double currentStrokeAlpha() const { return strokeAlpha_; }

    // Transparency and overprint.
    int32_t blendMode() const { return blendMode_; }
    void setBlendMode(int32_t v) { blendMode_ = v; }
    bool fillOverprint() const { return fillOverprint_; }
    void setFillOverprint(bool v) { fillOverprint_ = v; }
    bool strokeOverprint() const { return strokeOverprint_; }
    void setStrokeOverprint(bool v) { strokeOverprint_ = v; }
    bool strokeAdjust() const { return strokeAdjust_; }
    void setStrokeAdjust(bool v) { strokeAdjust_ = v; }
    bool alphaFlag() const { return alphaFlag_; }
    void setAlphaFlag(bool v) { alphaFlag_ = v; }
    double strokeAlpha() const { return strokeAlpha_; }
    void setStrokeAlpha(double v) { strokeAlpha_ = v; }
    double fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(double v) { fillAlpha_ = v; }

    // Line style.
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double v) { lineWidth_ = v; }
    int32_t lineJoinStyle() const { return lineJoinStyle_; }
    void setLineJoinStyle(int32_t v) { lineJoinStyle_ = v; }
    int32_t lineCapStyle() const { return lineCapStyle_; }
    void setLineCapStyle(int32_t v) { lineCapStyle_ = v; }
    double lineFlatness() const { return lineFlatness_; }
    void setLineFlatness(double v) { lineFlatness_ = v; }
    double lineMiterLimit() const { return lineMiterLimit_; }
    void setLineMiterLimit(double v) { lineMiterLimit_ = v; }
    /// None: a solid line as no `d` has set one; an empty array is solid too.
    const std::optional<std::vector<double>>& lineDashPattern() const { return lineDashPattern_; }
    void setLineDashPattern(std::optional<std::vector<double>> p) {
        lineDashPattern_ = std::move(p);
    }
    double lineDashPhase() const { return lineDashPhase_; }
    void setLineDashPhase(double v) { lineDashPhase_ = v; }

    // Path and clipping.
    bool usesEvenOddFillRule() const { return usesEvenOddFillRule_; }
    void setUsesEvenOddFillRule(bool v) { usesEvenOddFillRule_ = v; }
    /// The path under construction, in user space (CTM not applied).
    const platform::Path& cgPath() const;
    /// The path for changing; a state that shares it gets its own copy first.
    platform::Path& mutableCgPath();
    void setCgPath(const platform::Path& p);
    /// A new empty path.
    void resetCgPath() { cgPath_.reset(); }
    int32_t clip() const { return clip_; }
    void setClip(int32_t v) { clip_ = v; }
    /// Recorded clips in page user space; every entry applies (they are not
    /// intersected).
    const std::vector<QVPDFClipPath>& clipBezierPaths() const;
    void setClipBezierPaths(std::vector<QVPDFClipPath> paths);
    /// Appends the path (already in page user space) with its rule, unless it is empty.
    void clipState(const platform::Path& path, int32_t type);

    /// Applies the parameters the dictionary holds; none changes nothing. A
    /// /Font given by resource name is looked up in `fonts`; a font that cannot
    /// be had, or a missing size, leaves font and size as they are.
    void setGraphicState(const QVPDFExtGState* state, const QVPDFFontCollection* fonts = nullptr);

private:
    platform::AffineTransform lineMatrix_{};
    platform::AffineTransform textMatrix_{};
    platform::AffineTransform ctm_{};
    double leading_ = 0;
    double wordSpacing_ = 0;
    double characterSpacing_ = 0;
    double horizontalScaling_ = 1.0;
    double textRise_ = 0;
    int textRenderingMode_ = 0;
    std::shared_ptr<const QVPDFFont> font_;
    double fontSize_ = 0;
    std::shared_ptr<const QVPDFColorSpace> fillColorSpace_;
    std::shared_ptr<const QVPDFColorSpace> strokeColorSpace_;
    QVPDFColor fillColor_{};
    QVPDFColor strokeColor_{};
    std::shared_ptr<const QVPDFPattern> fillPattern_;
    std::shared_ptr<const QVPDFPattern> strokePattern_;
    int32_t blendMode_ = 0;
    bool fillOverprint_ = false;
    bool strokeOverprint_ = false;
    bool strokeAdjust_ = false;
    bool alphaFlag_ = true;
    double strokeAlpha_ = 1.0;
    double fillAlpha_ = 1.0;
    double lineWidth_ = 1.0;
    int32_t lineJoinStyle_ = 0;
    int32_t lineCapStyle_ = 0;
    double lineFlatness_ = static_cast<double>(0.6f);
    double lineMiterLimit_ = 10.0;
    std::optional<std::vector<double>> lineDashPattern_;
    double lineDashPhase_ = 0;
    bool usesEvenOddFillRule_ = false;
    // Shared between copies until one of them changes it; null is empty.
    std::shared_ptr<platform::Path> cgPath_;
    int32_t clip_ = kClipNone;
    std::shared_ptr<std::vector<QVPDFClipPath>> clipBezierPaths_;
};
