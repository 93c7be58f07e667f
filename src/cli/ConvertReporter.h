#pragma once
// Prints the queue manager's reports for `corvala convert`: a progress bar on
// a terminal, one plain line per event otherwise, or with --json one JSON
// object per line (UTF-8) for every report:
//
//   {"event":"start","file":F,"output":O,"pages":N,"outside":["5"]}
//   {"event":"page","file":F,"page":P,"position":I,"done":D}
//   {"event":"page-failed","file":F,"page":P,"error":{"code":C,"reason":R}}
//   {"event":"page-warning","file":F,"page":P,"warning":W}
//   {"event":"exception","file":F,"name":K,"reason":R}
//   {"event":"will-save","file":F}
//   {"event":"end","file":F,"status":"converted"|"failed"|"canceled","output":O|null,
//    "error":null|{"code":C,"reason":R}}
//   {"event":"refused","file":F,"reason":R}     (turned away before the run)
//   {"event":"skipped","file":F,"reason":R}     (a folder's file that is no PDF)
//   {"event":"summary","converted":N,"failed":M,"skipped":S,"canceled":C,"not_started":K}
//
// "outside" lists the pages of the range the document lacks (skipped).

#include "app/QVPDFConverterManagerDelegate.h"

#include <cstddef>
#include <ostream>
#include <string>

class ScratchArea;

class ConvertReporter : public QVPDFConverterManagerDelegate {
public:
    ConvertReporter(std::ostream& out, std::ostream& err, bool terminal, bool json,
                    ScratchArea* scratch);

    /// A file turned away before the run (not a PDF, no password, ...).
    void refused(const std::string& file, const std::string& reason);
    /// A file of a folder left out (not a PDF); not a failure.
    void skipped(const std::string& file, const std::string& reason);
    void summary(size_t notStarted);

    size_t succeeded() const { return succeeded_; }
    size_t failed() const { return failed_; }
    size_t canceled() const { return canceled_; }
    /// The driver's code of a canceled document.
    static constexpr int kCanceledCode = 406;

    void didStartConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                            const std::optional<QVError>&) override;
    void didEndConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                          const std::optional<QVError>&) override;
    void didConversionConvertPDFPageIndex(QVPDFConverterManager&,
                                          const std::shared_ptr<QVSourceFileItem>&, int64_t pageNumber,
                                          size_t writeWordPageIndex,
                                          size_t finshedWordPageCount) override;
    void didConversionConvertPDFPageIndexFaildWithError(QVPDFConverterManager&,
                                                        const std::shared_ptr<QVSourceFileItem>&,
                                                        int64_t pageNumber, const QVError&) override;
    void didConversionConvertPDFPageIndexWarning(QVPDFConverterManager&,
                                                 const std::shared_ptr<QVSourceFileItem>&,
                                                 int64_t pageNumber,
                                                 const std::string& message) override;
    void didConversionWillSaveDoc(QVPDFConverterManager&,
                                  const std::shared_ptr<QVSourceFileItem>&) override;
    void didConversionCatchException(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                                     const QVException&) override;

private:
    void drawBar();
    void clearBar();

    std::ostream& out_;
    std::ostream& err_;
    bool terminal_;
    bool json_;
    ScratchArea* scratch_;
    std::string name_;
    std::string lastException_;
    size_t total_ = 0, seen_ = 0, done_ = 0, failedPages_ = 0;
    bool barShown_ = false;
    size_t succeeded_ = 0, failed_ = 0, skipped_ = 0, canceled_ = 0;
};
