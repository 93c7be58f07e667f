#pragma once
// Type 0: a table of samples on a grid over the domain, read with 1 to 32
// bits per sample and interpolated multilinearly between grid points.

#include "pdf/function/QVPDFFunction.h"

#include <vector>

class QVPDFSampledFunction : public QVPDFFunction {
public:
    /// More inputs would make the 2^m corners of one evaluation too many.
    static constexpr int kMaxSampledInputs = 16;
    /// Bound on the table (8 bytes a sample): real tables hold well under a
    /// million samples; bogus sizes must not allocate gigabytes.
    static constexpr long long kMaxSamples = 1LL << 22;

    int getType() const override { return 0; }
    bool parse(const platform::PdfObject& object, const platform::PdfObject& funcDict,
               QVPDFResourceCache& cache) override;
    /// All outputs 0 unless the table was read.
    void transformInput(const Values& input, Values& output) const override;

    bool ok() const { return ok_; }
    int nSamples() const { return nSamples_; }

private:
    std::array<int32_t, kMaxInputs> sampleSize_{};
    std::array<Interval, kMaxInputs> encode_{};
    std::array<Interval, kMaxOutputs> decode_{};
    std::array<double, kMaxInputs> inputMul_{};
    std::array<int32_t, kMaxInputs> idxMul_{};
    std::vector<double> samples_;
    int32_t nSamples_ = 0;
    bool ok_ = false;
};
