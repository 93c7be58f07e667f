// Path construction, painting and clipping.
#include "pdf/content/QVPDFConentParserOperators.h"

using platform::PdfScanner;
using platform::Point;
using O = QVPDFConentParser::Operators;

namespace {
platform::Path* pathOf(void* info) {
    QVPDFRenderState* st = O::parser(info).currentRenderingState();
    return st ? &st->mutableCgPath() : nullptr;
}
} // namespace

// Reports the path (an empty one paints nothing), then applies a clip that W
// or W* requested for it, and starts a new path.
void O::paint(QVPDFConentParser& p, bool close, bool evenOdd, bool stroke, bool fill) {
    QVPDFRenderState* st = p.currentRenderingState();
    if (!st)
        return;
    st->setUsesEvenOddFillRule(evenOdd);
    if (close && !st->cgPath().isEmpty())
        st->mutableCgPath().closeSubpath();
    if (!st->cgPath().isEmpty() && p.delegate_) {
        // The delegate gets its own copy: the state may change under it.
        platform::Path painted = st->cgPath();
        p.delegate_->didScanPath(p, painted, stroke, fill);
        st = p.currentRenderingState();
        if (!st)
            return;
    }
    if (st->clip() != QVPDFRenderState::kClipNone) {
        st->clipState(st->cgPath().transformed(st->ctm()), st->clip());
        st->setClip(QVPDFRenderState::kClipNone);
    }
    st->resetCgPath();
}

void O::b(PdfScanner&, void* info) {
    paint(parser(info), true, false, true, true);
}
void O::B(PdfScanner&, void* info) {
    paint(parser(info), false, false, true, true);
}
void O::bstar(PdfScanner&, void* info) {
    paint(parser(info), true, true, true, true);
}
void O::Bstar(PdfScanner&, void* info) {
    paint(parser(info), false, true, true, true);
}
void O::f(PdfScanner&, void* info) {
    paint(parser(info), false, false, false, true);
}
void O::F(PdfScanner&, void* info) {
    paint(parser(info), false, false, false, true);
}
void O::fstar(PdfScanner&, void* info) {
    paint(parser(info), false, true, false, true);
}
void O::s(PdfScanner&, void* info) {
    paint(parser(info), true, false, true, false);
}
void O::S(PdfScanner&, void* info) {
    paint(parser(info), false, false, true, false);
}

// Ends the path without painting; the clip it was marked for is recorded.
void O::n(PdfScanner&, void* info) {
    QVPDFRenderState* st = parser(info).currentRenderingState();
    if (!st)
        return;
    if (st->clip() != QVPDFRenderState::kClipNone)
        st->clipState(st->cgPath().transformed(st->ctm()), st->clip());
    st->setClip(QVPDFRenderState::kClipNone);
    st->resetCgPath();
}

void O::W(PdfScanner&, void* info) {
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setClip(QVPDFRenderState::kClipNonZero);
}

void O::Wstar(PdfScanner&, void* info) {
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setClip(QVPDFRenderState::kClipEvenOdd);
}

void O::re(PdfScanner& s, void* info) {
    double r[4];
    if (!popReals(s, r, 4))
        return;
    if (platform::Path* path = pathOf(info))
        path->addRect({{r[0], r[1]}, {r[2], r[3]}});
}

void O::m(PdfScanner& s, void* info) {
    double p[2];
    if (!popReals(s, p, 2))
        return;
    if (platform::Path* path = pathOf(info))
        path->moveTo({p[0], p[1]});
}

void O::l(PdfScanner& s, void* info) {
    double p[2];
    if (!popReals(s, p, 2))
        return;
    if (platform::Path* path = pathOf(info))
        path->lineTo({p[0], p[1]});
}

void O::h(PdfScanner&, void* info) {
    QVPDFRenderState* st = parser(info).currentRenderingState();
    if (st && !st->cgPath().isEmpty())
        st->mutableCgPath().closeSubpath();
}

void O::c(PdfScanner& s, void* info) {
    double p[6];
    if (!popReals(s, p, 6))
        return;
    if (platform::Path* path = pathOf(info))
        path->curveTo({p[0], p[1]}, {p[2], p[3]}, {p[4], p[5]});
}

// First control point at the current point; without one there is no curve.
void O::v(PdfScanner& s, void* info) {
    double p[4];
    if (!popReals(s, p, 4))
        return;
    QVPDFRenderState* st = parser(info).currentRenderingState();
    Point current;
    if (!st || !st->cgPath().currentPoint(current))
        return;
    st->mutableCgPath().curveTo(current, {p[0], p[1]}, {p[2], p[3]});
}

// Second control point at the end point.
void O::y(PdfScanner& s, void* info) {
    double p[4];
    if (!popReals(s, p, 4))
        return;
    if (platform::Path* path = pathOf(info))
        path->curveTo({p[0], p[1]}, {p[2], p[3]}, {p[2], p[3]});
}
