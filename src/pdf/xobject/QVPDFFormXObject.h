#pragma once
// A form XObject: a content stream the interpreter runs in place, with its
// matrix and bounding box.

#include "pdf/xobject/QVPDFXObject.h"

#include <array>
#include <cstdint>

class QVPDFFormXObject : public QVPDFXObject {
public:
    /// Reads the form's entries (parse's answer is not needed to run it).
    explicit QVPDFFormXObject(const platform::PdfObject& stream);
    int getType() const override { return 2; }

    /// True when /FormType is absent or 1 and /BBox holds four numbers. The
    /// matrix is read either way, so a form with a damaged box still draws
    /// where its producer put it.
    bool parse(const platform::PdfObject& stream);
    int64_t formType() const { return formType_; }
    /// /Matrix, or the identity when it is not six finite numbers.
    platform::AffineTransform matrixTransform() const;
    const std::array<double, 4>& bbox() const { return bbox_; }

private:
    int64_t formType_ = 1;
    std::array<double, 6> matrix_{1, 0, 0, 1, 0, 0};
    std::array<double, 4> bbox_{0, 0, 0, 0};
};
