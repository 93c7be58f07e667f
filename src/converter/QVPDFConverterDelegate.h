#pragma once
// The driver's reports. Every method is optional (empty by default). The
// start report runs on the caller's thread; all others on the main queue.

#include "platform/QVError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class QVPDFConverter;

class QVPDFConverterDelegate {
public:
    virtual ~QVPDFConverterDelegate() = default;

    virtual void didStartConversion(QVPDFConverter&, const std::optional<QVError>&) {}
    /// Last report of a run: the run's error, or none.
    virtual void didEndConversion(QVPDFConverter&, const std::optional<QVError>&) {}
    /// A page converted: page number, 1-based position in the request, pages done.
    virtual void convertPDFPageIndex(QVPDFConverter&, int64_t /*pageNumber*/,
                                     size_t /*writeWordPageIndex*/,
                                     size_t /*finshedWordPageCount*/) {}
    virtual void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t /*pageNumber*/,
                                                   const QVError&) {}
    /// Before a page's converted report: what the user should know of the
    /// page's output (a page without text, a page whose text was left out).
    virtual void convertPDFPageIndexWarning(QVPDFConverter&, int64_t /*pageNumber*/,
                                            const std::string& /*message*/) {}
    virtual void willSaveDoc(QVPDFConverter&) {}
    virtual void catchException(QVPDFConverter&, const QVException&) {}
};
