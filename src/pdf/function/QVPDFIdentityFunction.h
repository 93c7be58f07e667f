#pragma once
// The name /Identity where a function is expected: outputs equal inputs.

#include "pdf/function/QVPDFFunction.h"

class QVPDFIdentityFunction : public QVPDFFunction {
public:
    /// 32 inputs and outputs over 0..1, no range.
    QVPDFIdentityFunction();

    int getType() const override { return -1; }
    /// Reads nothing.
    bool parse(const platform::PdfObject& object, const platform::PdfObject& funcDict,
               QVPDFResourceCache& cache) override;
    void transformInput(const Values& input, Values& output) const override;
};
