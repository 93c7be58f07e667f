#pragma once
// Type 7, tensor-product patch mesh.
// Only its kind is kept: nothing paints shadings.

#include "pdf/shading/QVPDFShading.h"

class QVPDFShadingPathMeshTensor : public QVPDFShading {
public:
    QVPDFShadingPathMeshTensor() : QVPDFShading(7) {}
};
