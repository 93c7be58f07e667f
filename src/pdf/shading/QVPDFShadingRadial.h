#pragma once
// Type 3, radial: colours blended between two circles.
// Only its kind is kept: nothing paints shadings.

#include "pdf/shading/QVPDFShading.h"

class QVPDFShadingRadial : public QVPDFShading {
public:
    QVPDFShadingRadial() : QVPDFShading(3) {}
};
