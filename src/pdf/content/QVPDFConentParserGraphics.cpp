// Colour, line style, graphics-state dictionaries, the CTM, save and restore.
#include "pdf/colour/QVPDFDeviceCMYKColorSpace.h"
#include "pdf/colour/QVPDFDeviceGrayColorSpace.h"
#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"
#include "pdf/content/QVPDFConentParserOperators.h"

using platform::PdfScanner;
using O = QVPDFConentParser::Operators;

namespace {

// CS/cs: a named space of the resources, else one the object itself names.
void setColorSpace(PdfScanner& s, void* info, bool stroke) {
    QVPDFConentParser& p = O::parser(info);
    platform::PdfObject object;
    if (!s.popObject(object))
        return;
    std::shared_ptr<const QVPDFColorSpace> space;
    if (auto name = object.name())
        space = p.colorSpaceCollection().colorSpaceNamed(*name);
    if (!space)
        space = QVPDFColorSpace::colorSpaceWithObject(object);
    QVPDFRenderState* st = p.currentRenderingState();
    if (!space || !st)
        return;
    QVPDFColor color = space->getDefaultColor();
    if (stroke) {
        st->setStrokeColorSpace(std::move(space));
        st->setStrokeColor(color);
    } else {
        st->setFillColorSpace(std::move(space));
        st->setFillColor(color);
    }
}

// G/g, RG/rg, K/k: a device space with the operands as its colour.
void setDeviceColor(PdfScanner& s, void* info, bool stroke, int n,
                    const std::shared_ptr<const QVPDFColorSpace>& space) {
    double v[4];
    if (!O::popReals(s, v, n))
        return;
    QVPDFRenderState* st = O::parser(info).currentRenderingState();
    if (!st)
        return;
    QVPDFColor color;
    for (int i = 0; i < n; ++i)
        color.c[static_cast<size_t>(i)] = QVPDF_ColorComponentFromOperand(v[i]);
    if (stroke) {
        st->setStrokeColorSpace(space);
        st->setStrokeColor(color);
        st->setStrokePattern(nullptr);
    } else {
        st->setFillColorSpace(space);
        st->setFillColor(color);
        st->setFillPattern(nullptr);
    }
}

// SC/sc, SCN/scn: as many operands as the current space has components.
void setColor(PdfScanner& s, void* info, bool stroke, bool allowPatternName) {
    QVPDFRenderState* st = O::parser(info).currentRenderingState();
    if (!st)
        return;
    const auto& space = stroke ? st->strokeColorSpace() : st->fillColorSpace();
    if (!space)
        return;
    // Patterns are not painted: a colour in a pattern space changes nothing.
    if (allowPatternName && space->getMode() == QVPDFColorSpace::kPattern)
        return;
    int n = std::clamp(space->getNComps(), 0, QVPDFColor::kMaxComponents);
    double v[QVPDFColor::kMaxComponents];
    if (!O::popReals(s, v, n))
        return;
    QVPDFColor color;
    for (int i = 0; i < n; ++i)
        color.c[static_cast<size_t>(i)] = QVPDF_ColorComponentFromOperand(v[i]);
    if (stroke) {
        st->setStrokeColor(color);
        st->setStrokePattern(nullptr);
    } else {
        st->setFillColor(color);
        st->setFillPattern(nullptr);
    }
}

} // namespace

void O::CS(PdfScanner& s, void* info) {
    setColorSpace(s, info, true);
}
void O::cs(PdfScanner& s, void* info) {
    setColorSpace(s, info, false);
}
void O::G(PdfScanner& s, void* info) {
    setDeviceColor(s, info, true, 1, QVPDFDeviceGrayColorSpace::shared());
}
void O::g(PdfScanner& s, void* info) {
    setDeviceColor(s, info, false, 1, QVPDFDeviceGrayColorSpace::shared());
}
void O::RG(PdfScanner& s, void* info) {
    setDeviceColor(s, info, true, 3, QVPDFDeviceRGBColorSpace::shared());
}
void O::rg(PdfScanner& s, void* info) {
    setDeviceColor(s, info, false, 3, QVPDFDeviceRGBColorSpace::shared());
}
void O::K(PdfScanner& s, void* info) {
    setDeviceColor(s, info, true, 4, QVPDFDeviceCMYKColorSpace::shared());
}
void O::k(PdfScanner& s, void* info) {
    setDeviceColor(s, info, false, 4, QVPDFDeviceCMYKColorSpace::shared());
}
void O::SC(PdfScanner& s, void* info) {
    setColor(s, info, true, false);
}
void O::sc(PdfScanner& s, void* info) {
    setColor(s, info, false, false);
}
void O::SCN(PdfScanner& s, void* info) {
    setColor(s, info, true, true);
}
void O::scn(PdfScanner& s, void* info) {
    setColor(s, info, false, true);
}

void O::ri(PdfScanner& s, void*) {
    std::string intent;
    (void)s.popName(intent);
}

void O::gs(PdfScanner& s, void* info) {
    QVPDFConentParser& p = parser(info);
    std::string name;
    if (!s.popName(name))
        return;
    auto state = p.extGStateCollection().objectNamed(name);
    if (QVPDFRenderState* st = p.currentRenderingState())
        st->setGraphicState(state.get(), &p.fontCollection());
}

void O::cm(PdfScanner& s, void* info) {
    double m[6];
    if (!popReals(s, m, 6))
        return;
    QVPDFRenderState* st = parser(info).currentRenderingState();
    if (!st)
        return;
    // The new matrix applies first, then the current CTM.
    platform::AffineTransform ctm =
        platform::AffineTransform{m[0], m[1], m[2], m[3], m[4], m[5]}.concat(st->ctm());
    for (double v : {ctm.a, ctm.b, ctm.c, ctm.d, ctm.tx, ctm.ty})
        if (!std::isfinite(v))
            return;
    st->setCtm(ctm);
}

void O::q(PdfScanner&, void* info) {
    parser(info).saveRenderingState();
}
void O::Q(PdfScanner&, void* info) {
    parser(info).restoreRenderingState();
}

// Shadings are found but not painted.
void O::sh(PdfScanner& s, void* info) {
    std::string name;
    if (s.popName(name))
        (void)parser(info).shadingPatternCollection().objectNamed(name);
}

void O::i(PdfScanner& s, void* info) {
    double v;
    if (!popReal(s, v))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setLineFlatness(v);
}

void O::d(PdfScanner& s, void* info) {
    double phase;
    platform::PdfObject array;
    if (!popReal(s, phase) || !s.popArray(array))
        return;
    std::vector<double> dashes;
    dashes.reserve(array.arraySize());
    double previous = 0;
    for (size_t idx = 0; idx < array.arraySize(); ++idx) {
        // An entry that is not a usable number repeats the one before it.
        auto v = array.numberAt(idx);
        if (v && std::isfinite(*v) && std::fabs(*v) <= 3.403e38)
            previous = *v;
        dashes.push_back(previous);
    }
    if (QVPDFRenderState* st = parser(info).currentRenderingState()) {
        st->setLineDashPattern(std::move(dashes));
        st->setLineDashPhase(phase);
    }
}

void O::w(PdfScanner& s, void* info) {
    double v;
    if (!popReal(s, v))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setLineWidth(v);
}

void O::j(PdfScanner& s, void* info) {
    long long v;
    if (!s.popInteger(v))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setLineJoinStyle(QVPDF_ClampToInt32(v));
}

void O::J(PdfScanner& s, void* info) {
    long long v;
    if (!s.popInteger(v))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setLineCapStyle(QVPDF_ClampToInt32(v));
}

void O::M(PdfScanner& s, void* info) {
    double v;
    if (!popReal(s, v))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setLineMiterLimit(v);
}
