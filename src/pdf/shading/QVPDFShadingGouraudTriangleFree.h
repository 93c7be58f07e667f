#pragma once
// Type 4, free-form Gouraud-shaded triangle mesh.
// Only its kind is kept: nothing paints shadings.

#include "pdf/shading/QVPDFShading.h"

class QVPDFShadingGouraudTriangleFree : public QVPDFShading {
public:
    QVPDFShadingGouraudTriangleFree() : QVPDFShading(4) {}
};
