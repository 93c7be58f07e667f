#pragma once
// A PostScript XObject: stored under its name, never drawn.

#include "pdf/xobject/QVPDFXObject.h"

class QVPDFPostScriptXObject : public QVPDFXObject {
public:
    using QVPDFXObject::QVPDFXObject;
    int getType() const override { return 3; }
};
