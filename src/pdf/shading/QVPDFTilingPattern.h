#pragma once
// A tiling pattern under its resource name; its cell is not read, since
// patterns are not painted.

#include "pdf/shading/QVPDFPattern.h"

class QVPDFTilingPattern : public QVPDFPattern {
public:
    using QVPDFPattern::QVPDFPattern;
};
