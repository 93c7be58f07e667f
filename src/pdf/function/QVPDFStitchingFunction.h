#pragma once
// Type 3: one input; the domain is cut at /Bounds into k pieces, each mapped
// through /Encode onto the input of one of k one-input functions.

#include "pdf/function/QVPDFFunction.h"

#include <vector>

class QVPDFStitchingFunction : public QVPDFFunction {
public:
    int getType() const override { return 3; }
    bool parse(const platform::PdfObject& object, const platform::PdfObject& funcDict,
               QVPDFResourceCache& cache) override;
    /// All outputs 0 unless the parse succeeded.
    void transformInput(const Values& input, Values& output) const override;

    bool ok() const { return ok_; }

private:
    std::vector<std::shared_ptr<const QVPDFFunction>> functions_;
    std::vector<double> bounds_;
    std::vector<Interval> encode_;
    bool ok_ = false;
};
