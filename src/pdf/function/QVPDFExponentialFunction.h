#pragma once
// Type 2: one input x, outputs C0 + x^N * (C1 - C0).

#include "pdf/function/QVPDFFunction.h"

class QVPDFExponentialFunction : public QVPDFFunction {
public:
    int getType() const override { return 2; }
    bool parse(const platform::PdfObject& object, const platform::PdfObject& funcDict,
               QVPDFResourceCache& cache) override;
    /// Also after a failed parse, with whatever values the parse had read.
    void transformInput(const Values& input, Values& output) const override;

    bool ok() const { return ok_; }
    double e() const { return e_; }

private:
    std::array<double, kMaxOutputs> c0_{};
    std::array<double, kMaxOutputs> c1_{};
    double e_ = 0.0;
    bool ok_ = false;
};
