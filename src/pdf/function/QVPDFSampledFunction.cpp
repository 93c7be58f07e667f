#include "pdf/function/QVPDFSampledFunction.h"

#include <cmath>

namespace {

/// Entries 2i, 2i + 1 of an array of exactly 2 * count numbers; none when the
/// array has another size; false when an entry is not a number.
enum class PairsResult { Absent, Read, Malformed };

template <size_t N>
PairsResult readPairs(const platform::PdfObject& dict, const char* key, int count,
                      std::array<QVPDFFunction::Interval, N>& pairs) {
    std::optional<platform::PdfObject> array = dict.getArray(key);
    if (!array || array->arraySize() != static_cast<size_t>(2 * count))
        return PairsResult::Absent;
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        auto lo = array->numberAt(2 * i), hi = array->numberAt(2 * i + 1);
        if (!lo || !hi)
            return PairsResult::Malformed;
        pairs[i] = {*lo, *hi};
    }
    return PairsResult::Read;
}

} // namespace

bool QVPDFSampledFunction::parse(const platform::PdfObject& object,
                                 const platform::PdfObject& funcDict, QVPDFResourceCache& cache) {
    samples_.clear();
    ok_ = false;
    if (!QVPDFFunction::parse(object, funcDict, cache) || !hasRange_ || m_ > kMaxSampledInputs)
        return false;
    if (!object.isStream())
        return false;

    std::optional<platform::PdfObject> size = funcDict.getArray("Size");
    if (!size || size->arraySize() != static_cast<size_t>(m_))
        return false;
    for (size_t i = 0; i < static_cast<size_t>(m_); ++i) {
        std::optional<long long> count = size->integerAt(i);
        // A grid needs at least one point per input.
        if (!count || *count < 1 || *count > kMaxSamples)
            return false;
        sampleSize_[i] = static_cast<int32_t>(*count);
    }

    std::optional<long long> bits = funcDict.getInteger("BitsPerSample");
    if (!bits || *bits < 1 || *bits > 32)
        return false;
    const int b = static_cast<int>(*bits);

    long long total = n_;
    for (int i = 0; i < m_; ++i) {
        total *= sampleSize_[static_cast<size_t>(i)];
        if (total > kMaxSamples)
            return false;
    }
    // The strides are at most the table size, which fits in 32 bits.
    idxMul_[0] = n_;
    for (int i = 1; i < m_; ++i)
        idxMul_[static_cast<size_t>(i)] =
            idxMul_[static_cast<size_t>(i - 1)] * sampleSize_[static_cast<size_t>(i - 1)];

    switch (readPairs(funcDict, "Encode", m_, encode_)) {
    case PairsResult::Malformed:
        return false;
    case PairsResult::Absent:
        for (size_t i = 0; i < static_cast<size_t>(m_); ++i)
            encode_[i] = {0.0, static_cast<double>(sampleSize_[i] - 1)};
        break;
    case PairsResult::Read:
        break;
    }
    for (size_t i = 0; i < static_cast<size_t>(m_); ++i)
        inputMul_[i] = (encode_[i].max - encode_[i].min) / (domain_[i].max - domain_[i].min);

    switch (readPairs(funcDict, "Decode", n_, decode_)) {
    case PairsResult::Malformed:
        return false;
    case PairsResult::Absent:
        for (size_t j = 0; j < static_cast<size_t>(n_); ++j)
            decode_[j] = range_[j];
        break;
    case PairsResult::Read:
        break;
    }

    std::optional<std::string> data = object.streamData();
    if (!data || static_cast<unsigned long long>(data->size()) * 8 <
                     static_cast<unsigned long long>(total) * static_cast<unsigned>(b))
        return false;

    nSamples_ = static_cast<int32_t>(total);
    samples_.resize(static_cast<size_t>(total));
    const double scale = 1.0 / (std::ldexp(1.0, b) - 1.0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data->data());
    if (b == 8) {
        for (size_t k = 0; k < samples_.size(); ++k)
            samples_[k] = bytes[k] * scale;
    } else {
        // Big-endian bit stream: values may straddle bytes.
        uint64_t buffer = 0;
        int buffered = 0;
        size_t next = 0;
        const uint64_t mask = (uint64_t{1} << b) - 1;
        for (double& sample : samples_) {
            while (buffered < b) {
                buffer = (buffer << 8) | bytes[next++];
                buffered += 8;
            }
            sample = static_cast<double>((buffer >> (buffered - b)) & mask) * scale;
            buffered -= b;
        }
    }
    ok_ = true;
    return true;
}

void QVPDFSampledFunction::transformInput(const Values& input, Values& output) const {
    output.fill(0.0);
    if (!ok_)
        return;
    std::array<int32_t, kMaxInputs> e0{}, e1{};
    std::array<double, kMaxInputs> f0{}, f1{};
    for (size_t i = 0; i < static_cast<size_t>(m_); ++i) {
        double x = (input[i] - domain_[i].min) * inputMul_[i] + encode_[i].min;
        const double last = sampleSize_[i] - 1;
        // NaN (an empty domain, a NaN input) lands on the first sample.
        if (!(x > 0.0))
            x = 0.0;
        else if (x > last)
            x = last;
        e0[i] = static_cast<int32_t>(x);
        e1[i] = e0[i] + 1 < sampleSize_[i] ? e0[i] + 1 : e0[i];
        f1[i] = x - e0[i];
        f0[i] = 1.0 - f1[i];
    }
    const size_t corners = size_t{1} << m_;
    std::vector<double> sBuf(corners);
    for (size_t j = 0; j < static_cast<size_t>(n_); ++j) {
        for (size_t k = 0; k < corners; ++k) {
            size_t index = j;
            for (size_t i = 0; i < static_cast<size_t>(m_); ++i)
                index += static_cast<size_t>((k >> i) & 1 ? e1[i] : e0[i]) *
                         static_cast<size_t>(idxMul_[i]);
            sBuf[k] = samples_[index];
        }
        // Collapse one input at a time, pairing the corners that differ in it.
        size_t count = corners;
        for (size_t i = 0; i < static_cast<size_t>(m_); ++i, count /= 2)
            for (size_t k = 0; k < count; k += 2)
                sBuf[k / 2] = sBuf[k] * f0[i] + sBuf[k + 1] * f1[i];
        const Interval& d = decode_[j];
        output[j] = clipToRange(static_cast<int>(j), d.min + sBuf[0] * (d.max - d.min));
    }
}
