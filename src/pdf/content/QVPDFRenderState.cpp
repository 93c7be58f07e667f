#include "pdf/content/QVPDFRenderState.h"

#include "pdf/colour/QVPDFColorSpace.h"
#include "pdf/colour/QVPDFDeviceGrayColorSpace.h"
#include "pdf/content/QVPDFExtGState.h"
#include "pdf/font/QVPDFFont.h"

namespace {
const platform::Path& emptyPath() {
    static const platform::Path empty;
    return empty;
}
const std::vector<QVPDFClipPath>& noClips() {
    static const std::vector<QVPDFClipPath> none;
    return none;
}
} // namespace

// Both colour spaces start as device gray with black, as in every reader:
// content that never names a space and sets "1 sc" paints white.
QVPDFRenderState::QVPDFRenderState()
    : fillColorSpace_(QVPDFDeviceGrayColorSpace::shared()),
      strokeColorSpace_(QVPDFDeviceGrayColorSpace::shared()) {}

void QVPDFRenderState::setTextMatrix(const platform::AffineTransform& m, bool replaceLineMatrix) {
    textMatrix_ = m;
    if (replaceLineMatrix)
        lineMatrix_ = m;
}

void QVPDFRenderState::translateTextPosition(platform::Size offset) {
    textMatrix_ = textMatrix_.translate(offset.width, offset.height);
}

void QVPDFRenderState::newLineWithLeading(double leading, double indent, bool save) {
    lineMatrix_ = lineMatrix_.translate(indent, leading);
    textMatrix_ = lineMatrix_;
    if (save)
        leading_ = -leading;
}

QVPDFRGB QVPDFRenderState::currentFillRGBColor() const {
    return fillColorSpace_ ? fillColorSpace_->getRGB(fillColor_) : QVPDFRGB{};
}

QVPDFRGB QVPDFRenderState::currentStrokeRGBColor() const {
    return strokeColorSpace_ ? strokeColorSpace_->getRGB(strokeColor_) : QVPDFRGB{};
}

const platform::Path& QVPDFRenderState::cgPath() const {
    return cgPath_ ? *cgPath_ : emptyPath();
}

platform::Path& QVPDFRenderState::mutableCgPath() {
    if (!cgPath_)
        cgPath_ = std::make_shared<platform::Path>();
    else if (cgPath_.use_count() > 1)
        cgPath_ = std::make_shared<platform::Path>(*cgPath_);
    return *cgPath_;
}

void QVPDFRenderState::setCgPath(const platform::Path& p) {
    cgPath_ = p.isEmpty() ? nullptr : std::make_shared<platform::Path>(p);
}

const std::vector<QVPDFClipPath>& QVPDFRenderState::clipBezierPaths() const {
    return clipBezierPaths_ ? *clipBezierPaths_ : noClips();
}

void QVPDFRenderState::setClipBezierPaths(std::vector<QVPDFClipPath> paths) {
    if (paths.empty())
        clipBezierPaths_.reset();
    else
        clipBezierPaths_ = std::make_shared<std::vector<QVPDFClipPath>>(std::move(paths));
}

void QVPDFRenderState::clipState(const platform::Path& path, int32_t type) {
    if (path.isEmpty())
        return;
    auto serialized = QVPDFCGPathUtilities::NSArrayWithCGPath(path);
    if (!serialized)
        return;
    // A list that another state shares is copied before it grows.
    if (!clipBezierPaths_)
        clipBezierPaths_ = std::make_shared<std::vector<QVPDFClipPath>>();
    else if (clipBezierPaths_.use_count() > 1)
        clipBezierPaths_ = std::make_shared<std::vector<QVPDFClipPath>>(*clipBezierPaths_);
    clipBezierPaths_->push_back({std::move(*serialized), type == kClipEvenOdd});
}

void QVPDFRenderState::setGraphicState(const QVPDFExtGState* state,
                                       const QVPDFFontCollection* fonts) {
    if (!state)
        return;
    const QVPDFExtGStateValue& v = state->gStateValue();
    if (v.LW)
        lineWidth_ = *v.LW;
    if (v.LC)
        lineCapStyle_ = *v.LC;
    if (v.LJ)
        lineJoinStyle_ = *v.LJ;
    if (v.ML)
        lineMiterLimit_ = *v.ML;
    if (v.D) {
        lineDashPattern_ = *v.D;
        if (v.DPhase)
            lineDashPhase_ = *v.DPhase;
    }
    if (v.CA)
        strokeAlpha_ = *v.CA;
    if (v.ca)
        fillAlpha_ = *v.ca;
    if (v.AIS)
        alphaFlag_ = *v.AIS;
    if (v.op)
        fillOverprint_ = *v.op;
    if (v.OP)
        strokeOverprint_ = *v.OP;
    if (v.SA)
        strokeAdjust_ = *v.SA;
    if (v.BM)
        blendMode_ = *v.BM;
    if (v.fontSize) {
        std::shared_ptr<const QVPDFFont> font = v.font;
        if (!font && v.fontResourceName && fonts)
            font = fonts->fontNamed(*v.fontResourceName);
        if (font) {
            font_ = std::move(font);
            fontSize_ = *v.fontSize;
        }
    }
}
