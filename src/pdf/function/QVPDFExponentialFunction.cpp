#include "pdf/function/QVPDFExponentialFunction.h"

#include <cmath>

namespace {

/// The numbers of `array` into `values`; false when one is not a number.
bool readNumbers(const platform::PdfObject& array, std::array<double, 32>& values) {
    for (size_t j = 0; j < array.arraySize() && j < values.size(); ++j) {
        std::optional<double> v = array.numberAt(j);
        if (!v)
            return false;
        values[j] = *v;
    }
    return true;
}

} // namespace

bool QVPDFExponentialFunction::parse(const platform::PdfObject& object,
                                     const platform::PdfObject& funcDict,
                                     QVPDFResourceCache& cache) {
    ok_ = false;
    if (!QVPDFFunction::parse(object, funcDict, cache) || m_ != 1)
        return false;

    if (std::optional<platform::PdfObject> c0 = funcDict.getArray("C0")) {
        size_t count = c0->arraySize();
        if ((hasRange_ && count != static_cast<size_t>(n_)) || count > kMaxOutputs)
            return false;
        n_ = static_cast<int>(count);
        if (!readNumbers(*c0, c0_))
            return false;
    } else {
        if (hasRange_ && n_ != 1)
            return false;
        n_ = 1;
        c0_[0] = 0.0;
    }

    if (std::optional<platform::PdfObject> c1 = funcDict.getArray("C1")) {
        if (c1->arraySize() != static_cast<size_t>(n_) || !readNumbers(*c1, c1_))
            return false;
    } else {
        if (n_ != 1)
            return false;
        c1_[0] = 1.0;
    }

    std::optional<double> exponent = funcDict.getNumber("N");
    if (!exponent)
        return false;
    e_ = *exponent;
    ok_ = true;
    return true;
}

void QVPDFExponentialFunction::transformInput(const Values& input, Values& output) const {
    output.fill(0.0);
    double x = input[0];
    if (m_ >= 1) {
        if (x < domain_[0].min)
            x = domain_[0].min;
        if (x > domain_[0].max)
            x = domain_[0].max;
    }
    const double t = std::pow(x, e_);
    for (size_t j = 0; j < static_cast<size_t>(n_); ++j) {
        double v = c0_[j] + (c1_[j] - c0_[j]) * t;
        // A negative base with a fractional exponent has no real power.
        if (std::isnan(v))
            v = 0.0;
        output[j] = hasRange_ ? clipToRange(static_cast<int>(j), v) : v;
    }
}
