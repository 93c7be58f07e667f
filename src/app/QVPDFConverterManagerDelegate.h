#pragma once
// The queue manager's reports, each tagged with the item it concerns. Every
// method is optional (empty by default); all run on the main thread.

#include "platform/QVError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QVPDFConverterManager;
class QVSourceFileItem;

class QVPDFConverterManagerDelegate {
public:
    virtual ~QVPDFConverterManagerDelegate() = default;

    /// Once per run, before its first item starts.
    virtual void managerWillStartConversion(QVPDFConverterManager&) {}
    /// Once per run, when nothing is left to start.
    virtual void managerDidEndConversion(QVPDFConverterManager&) {}
    /// An item starts; an item the manager cannot hand over (no page of its
    /// range, no usable output folder) starts and ends with the error.
    virtual void didStartConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                                    const std::optional<QVError>&) {}
    virtual void didEndConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                                  const std::optional<QVError>&) {}
    /// A page converted: page number, 1-based position in the request, pages done.
    virtual void didConversionConvertPDFPageIndex(QVPDFConverterManager&,
                                                  const std::shared_ptr<QVSourceFileItem>&,
                                                  int64_t /*pageNumber*/,
                                                  size_t /*writeWordPageIndex*/,
                                                  size_t /*finshedWordPageCount*/) {}
    virtual void didConversionConvertPDFPageIndexFaildWithError(
        QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&, int64_t /*pageNumber*/,
        const QVError&) {}
    /// Before a page's converted report: what the user should know of it.
    virtual void didConversionConvertPDFPageIndexWarning(QVPDFConverterManager&,
                                                         const std::shared_ptr<QVSourceFileItem>&,
                                                         int64_t /*pageNumber*/,
                                                         const std::string& /*message*/) {}
    virtual void didConversionWillSaveDoc(QVPDFConverterManager&,
                                          const std::shared_ptr<QVSourceFileItem>&) {}
    virtual void didConversionCatchException(QVPDFConverterManager&,
                                             const std::shared_ptr<QVSourceFileItem>&,
                                             const QVException&) {}
};
