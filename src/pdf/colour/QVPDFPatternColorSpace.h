#pragma once
// The pattern colour space: colours set in it carry no components, and the
// colour operators leave it alone (patterns are not painted).

#include "pdf/colour/QVPDFColorSpace.h"

class QVPDFPatternColorSpace : public QVPDFColorSpace {
public:
    int getMode() const override { return kPattern; }
};
