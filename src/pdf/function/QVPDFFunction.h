#pragma once
// A PDF function: m input numbers to n output numbers. Tint transforms of
// Separation and DeviceN colour spaces and the colour function of an axial
// shading. Made by the factory, parsed once and never changed afterwards, so
// colour spaces share it through std::shared_ptr<const QVPDFFunction>.

#include "platform/pdf/PdfObject.h"

#include <array>
#include <memory>

class QVPDFResourceCache;

class QVPDFFunction {
public:
    static constexpr int kMaxInputs = 32;
    static constexpr int kMaxOutputs = 32;
    /// Inputs (the first m are read) or outputs (all 32 are written).
    using Values = std::array<double, kMaxOutputs>;
    struct Interval {
        double min = 0.0;
        double max = 0.0;
    };

    QVPDFFunction() = default;
    virtual ~QVPDFFunction();
    QVPDFFunction(const QVPDFFunction&) = delete;
    QVPDFFunction& operator=(const QVPDFFunction&) = delete;

    /// The name "Identity", or a function dictionary or stream with a
    /// FunctionType of 0, 2, 3 or 4; handed out even when the parse found the
    /// definition malformed (it then works with its defaults). None otherwise.
    static std::shared_ptr<const QVPDFFunction>
    FuntionWithObject(const platform::PdfObject& object);
    /// The same, sharing what `cache` already holds for indirect objects and
    /// refusing definitions that contain themselves.
    static std::shared_ptr<const QVPDFFunction> FuntionWithObject(const platform::PdfObject& object,
                                                                  QVPDFResourceCache& cache);

    /// 0 for the base and sampled kinds, 2 exponential, 3 stitching,
    /// 4 calculator, -1 identity.
    virtual int getType() const { return 0; }
    /// Reads Domain and Range (the shared part of every kind); true when well
    /// formed. Called once by the factory before the function is shared.
    virtual bool parse(const platform::PdfObject& object, const platform::PdfObject& funcDict,
                       QVPDFResourceCache& cache);
    /// Computes the outputs of the first m inputs. Outputs beyond n are 0.
    virtual void transformInput(const Values& input, Values& output) const;

    int m() const { return m_; }
    int n() const { return n_; }
    const Interval& domain(int i) const { return domain_[static_cast<size_t>(i)]; }
    const Interval& range(int j) const { return range_[static_cast<size_t>(j)]; }
    bool hasRange() const { return hasRange_; }

protected:
    /// v limited to range j.
    double clipToRange(int j, double v) const;

    int m_ = 0;
    int n_ = 0;
    std::array<Interval, kMaxInputs> domain_{};
    std::array<Interval, kMaxOutputs> range_{};
    bool hasRange_ = false;
};
