#pragma once
// Type 5, lattice-form Gouraud-shaded triangle mesh.
// Only its kind is kept: nothing paints shadings.

#include "pdf/shading/QVPDFShading.h"

class QVPDFShadingGouraudTriangleLattice : public QVPDFShading {
public:
    QVPDFShadingGouraudTriangleLattice() : QVPDFShading(5) {}
};
