#include "pdf/function/QVPDFStitchingFunction.h"

#include <algorithm>

bool QVPDFStitchingFunction::parse(const platform::PdfObject& object,
                                   const platform::PdfObject& funcDict, QVPDFResourceCache& cache) {
    ok_ = false;
    if (!QVPDFFunction::parse(object, funcDict, cache) || m_ != 1)
        return false;

    std::optional<platform::PdfObject> functions = funcDict.getArray("Functions");
    if (!functions || functions->arraySize() == 0)
        return false;
    const size_t k = functions->arraySize();
    std::vector<std::shared_ptr<const QVPDFFunction>> parts;
    int outputs = 0;
    for (size_t i = 0; i < k; ++i) {
        std::shared_ptr<const QVPDFFunction> part =
            QVPDFFunction::FuntionWithObject(functions->at(i), cache);
        // Each piece takes the one (encoded) input.
        if (!part || (part->getType() != -1 && part->m() != 1))
            return false;
        outputs = std::max(outputs, part->n());
        parts.push_back(std::move(part));
    }

    std::optional<platform::PdfObject> bounds = funcDict.getArray("Bounds");
    if (!bounds || bounds->arraySize() != k - 1)
        return false;
    std::vector<double> cuts;
    for (size_t i = 0; i + 1 < k; ++i) {
        std::optional<double> b = bounds->numberAt(i);
        if (!b || (!cuts.empty() && *b < cuts.back()))
            return false;
        cuts.push_back(*b);
    }

    std::optional<platform::PdfObject> encode = funcDict.getArray("Encode");
    if (!encode || encode->arraySize() != 2 * k)
        return false;
    std::vector<Interval> maps;
    for (size_t i = 0; i < k; ++i) {
        auto lo = encode->numberAt(2 * i), hi = encode->numberAt(2 * i + 1);
        if (!lo || !hi)
            return false;
        maps.push_back({*lo, *hi});
    }

    // Without a Range the outputs are those of the pieces.
    if (!hasRange_)
        n_ = std::min(outputs, static_cast<int>(kMaxOutputs));
    functions_ = std::move(parts);
    bounds_ = std::move(cuts);
    encode_ = std::move(maps);
    ok_ = true;
    return true;
}

void QVPDFStitchingFunction::transformInput(const Values& input, Values& output) const {
    output.fill(0.0);
    if (!ok_)
        return;
    double x = input[0];
    // NaN counts as the domain's start.
    if (!(x >= domain_[0].min))
        x = domain_[0].min;
    if (x > domain_[0].max)
        x = domain_[0].max;

    // Piece i covers [bounds[i-1], bounds[i]); the last one also the domain's end.
    size_t i =
        static_cast<size_t>(std::upper_bound(bounds_.begin(), bounds_.end(), x) - bounds_.begin());
    const double low = i == 0 ? domain_[0].min : bounds_[i - 1];
    const double high = i == bounds_.size() ? domain_[0].max : bounds_[i];
    const Interval& e = encode_[i];
    double t = high > low ? e.min + (x - low) * (e.max - e.min) / (high - low) : e.min;

    Values in{};
    in[0] = t;
    functions_[i]->transformInput(in, output);
    if (hasRange_)
        for (int j = 0; j < n_; ++j)
            output[static_cast<size_t>(j)] = clipToRange(j, output[static_cast<size_t>(j)]);
}
