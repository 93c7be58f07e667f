#pragma once
// Type 6, Coons patch mesh.
// Only its kind is kept: nothing paints shadings.

#include "pdf/shading/QVPDFShading.h"

class QVPDFShadingPatchMeshCoons : public QVPDFShading {
public:
    QVPDFShadingPatchMeshCoons() : QVPDFShading(6) {}
};
