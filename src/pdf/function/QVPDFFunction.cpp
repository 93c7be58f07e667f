#include "pdf/function/QVPDFFunction.h"

#include "pdf/QVPDFResourceCache.h"
#include "pdf/function/QVPDFExponentialFunction.h"
#include "pdf/function/QVPDFIdentityFunction.h"
#include "pdf/function/QVPDFPostScriptFunction.h"
#include "pdf/function/QVPDFSampledFunction.h"
#include "pdf/function/QVPDFStitchingFunction.h"

#include <cmath>

QVPDFFunction::~QVPDFFunction() = default;

std::shared_ptr<const QVPDFFunction>
QVPDFFunction::FuntionWithObject(const platform::PdfObject& object) {
    QVPDFResourceCache cache;
    return FuntionWithObject(object, cache);
}

namespace {

std::unique_ptr<QVPDFFunction> newFunctionOfType(long long type) {
    switch (type) {
    case 0:
        return std::make_unique<QVPDFSampledFunction>();
    case 2:
        return std::make_unique<QVPDFExponentialFunction>();
    case 3:
        return std::make_unique<QVPDFStitchingFunction>();
    case 4:
        return std::make_unique<QVPDFPostScriptFunction>();
    default:
        return nullptr;
    }
}

} // namespace

std::shared_ptr<const QVPDFFunction>
QVPDFFunction::FuntionWithObject(const platform::PdfObject& object, QVPDFResourceCache& cache) {
    if (auto name = object.name()) {
        if (*name == "Identity")
            return std::make_shared<const QVPDFIdentityFunction>();
        return nullptr;
    }
    if (!object.isDictionary() && !object.isStream())
        return nullptr;
    if (auto cached = cache.function(object))
        return cached;
    QVPDFResourceCache::Scope scope(cache, object);
    if (!scope.entered())
        return nullptr;

    platform::PdfObject dict = object.isStream() ? object.streamDictionary() : object;
    platform::PdfObject typeObject = dict.get("FunctionType");
    std::optional<long long> type = typeObject.integer();
    if (!type) {
        std::optional<double> real = typeObject.number();
        if (!real || !std::isfinite(*real) || std::fabs(*real) > 1e9)
            return nullptr;
        type = static_cast<long long>(*real);
    }
    std::unique_ptr<QVPDFFunction> function = newFunctionOfType(*type);
    if (!function)
        return nullptr;
    (void)function->parse(object, dict, cache);
    std::shared_ptr<const QVPDFFunction> shared(std::move(function));
    cache.storeFunction(object, shared);
    return shared;
}

bool QVPDFFunction::parse(const platform::PdfObject&, const platform::PdfObject& funcDict,
                          QVPDFResourceCache&) {
    std::optional<platform::PdfObject> domain = funcDict.getArray("Domain");
    if (!domain)
        return false;
    size_t inputs = domain->arraySize() / 2;
    if (inputs > kMaxInputs)
        return false;
    m_ = static_cast<int>(inputs);
    for (size_t i = 0; i < inputs; ++i) {
        auto lo = domain->numberAt(2 * i), hi = domain->numberAt(2 * i + 1);
        if (!lo || !hi)
            return false;
        domain_[i] = {*lo, *hi};
    }

    hasRange_ = false;
    n_ = 0;
    std::optional<platform::PdfObject> range = funcDict.getArray("Range");
    if (!range)
        return true;
    hasRange_ = true;
    size_t outputs = range->arraySize() / 2;
    if (outputs > kMaxOutputs) {
        // A count past the limit leaves no inputs and no outputs.
        m_ = 0;
        return false;
    }
    n_ = static_cast<int>(outputs);
    for (size_t j = 0; j < outputs; ++j) {
        auto lo = range->numberAt(2 * j), hi = range->numberAt(2 * j + 1);
        if (!lo || !hi)
            return false;
        range_[j] = {*lo, *hi};
    }
    return true;
}

void QVPDFFunction::transformInput(const Values&, Values& output) const {
    output.fill(0.0);
}

double QVPDFFunction::clipToRange(int j, double v) const {
    const Interval& r = range_[static_cast<size_t>(j)];
    if (v < r.min)
        return r.min;
    if (v > r.max)
        return r.max;
    return v;
}
