#include "pdf/xobject/QVPDFFormXObject.h"

#include <cmath>

QVPDFFormXObject::QVPDFFormXObject(const platform::PdfObject& stream) : QVPDFXObject(stream) {
    (void)parse(stream);
}

bool QVPDFFormXObject::parse(const platform::PdfObject& stream) {
    platform::PdfObject dict = stream.streamDictionary();
    if (auto m = dict.getArray("Matrix"); m && m->arraySize() == 6) {
        std::array<double, 6> v{};
        bool ok = true;
        for (size_t i = 0; i < 6 && ok; ++i) {
            auto n = m->numberAt(i);
            ok = n && std::isfinite(*n);
            if (ok)
                v[i] = *n;
        }
        if (ok)
            matrix_ = v;
    }
    if (dict.hasKey("FormType")) {
        auto type = dict.getInteger("FormType");
        if (!type || *type != 1) {
            formType_ = type.value_or(0);
            return false;
        }
    }
    auto box = dict.getArray("BBox");
    if (!box || box->arraySize() != 4)
        return false;
    std::array<double, 4> b{};
    for (size_t i = 0; i < 4; ++i) {
        auto n = box->numberAt(i);
        if (!n)
            return false;
        b[i] = *n;
    }
    bbox_ = b;
    return true;
}

platform::AffineTransform QVPDFFormXObject::matrixTransform() const {
    return {matrix_[0], matrix_[1], matrix_[2], matrix_[3], matrix_[4], matrix_[5]};
}
