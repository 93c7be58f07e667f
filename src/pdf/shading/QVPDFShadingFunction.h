#pragma once
// Type 1, function-based: colours as a function of the point.
// Only its kind is kept: nothing paints shadings.

#include "pdf/shading/QVPDFShading.h"

class QVPDFShadingFunction : public QVPDFShading {
public:
    QVPDFShadingFunction() : QVPDFShading(1) {}
};
