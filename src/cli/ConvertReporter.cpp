#include "cli/ConvertReporter.h"

#include "app/QVPageRange.h"
#include "app/QVSourceFileItem.h"
#include "cli/JsonText.h"
#include "app/ScratchArea.h"
#include "platform/Files.h"

namespace {

std::string nameOf(const std::shared_ptr<QVSourceFileItem>& item) {
    return platform::lastPathComponent(item->sourcePath());
}

std::string jsonError(const std::optional<QVError>& error) {
    if (!error)
        return "null";
    return "{\"code\":" + std::to_string(error->code) +
           ",\"reason\":" + JsonText::quote(error->failureReason) + "}";
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string s;
    for (const std::string& p : parts)
        s += (s.empty() ? "" : separator) + p;
    return s;
}

} // namespace

ConvertReporter::ConvertReporter(std::ostream& out, std::ostream& err, bool terminal, bool json,
                                 ScratchArea* scratch)
    : out_(out), err_(err), terminal_(terminal && !json), json_(json), scratch_(scratch) {}

void ConvertReporter::refused(const std::string& file, const std::string& reason) {
    ++failed_;
    if (json_)
        out_ << "{\"event\":\"refused\",\"file\":" << JsonText::quote(file)
             << ",\"reason\":" << JsonText::quote(reason) << "}\n";
    else
        err_ << platform::lastPathComponent(file) << ": failed: " << reason << "\n";
}

void ConvertReporter::skipped(const std::string& file, const std::string& reason) {
    ++skipped_;
    if (json_)
        out_ << "{\"event\":\"skipped\",\"file\":" << JsonText::quote(file)
             << ",\"reason\":" << JsonText::quote(reason) << "}\n";
    else
        err_ << "skipping " << file << ": " << reason << "\n";
}

void ConvertReporter::summary(size_t notStarted) {
    if (json_) {
        out_ << "{\"event\":\"summary\",\"converted\":" << succeeded_ << ",\"failed\":" << failed_
             << ",\"skipped\":" << skipped_ << ",\"canceled\":" << canceled_
             << ",\"not_started\":" << notStarted << "}\n";
        return;
    }
    out_ << succeeded_ << " converted, " << failed_ << " failed";
    if (skipped_)
        out_ << ", " << skipped_ << " skipped";
    if (canceled_)
        out_ << ", " << canceled_ << " canceled";
    if (notStarted)
        out_ << ", " << notStarted << " not started";
    out_ << "\n";
}

void ConvertReporter::didStartConversion(QVPDFConverterManager&,
                                         const std::shared_ptr<QVSourceFileItem>& item,
                                         const std::optional<QVError>& error) {
    name_ = nameOf(item);
    seen_ = done_ = failedPages_ = 0;
    lastException_.clear();
    total_ = error ? 0 : item->outputPDFPageIndexs().size();
    if (scratch_ && !error && item->outputPath())
        scratch_->recordReservation(*item->outputPath());
    std::vector<std::string> outside;
    if (!error && item->settings_pageRangeType() == 1)
        outside = QVPageRange::pagesOutside(item->settings_customPageRange(), item->sourcePages());
    if (json_) {
        std::vector<std::string> quoted;
        for (const std::string& p : outside)
            quoted.push_back(JsonText::quote(p));
        out_ << "{\"event\":\"start\",\"file\":" << JsonText::quote(item->sourcePath())
             << ",\"output\":"
             << (item->outputPath() && !error ? JsonText::quote(*item->outputPath()) : "null")
             << ",\"pages\":" << total_ << ",\"outside\":[" << joined(quoted, ",") << "]}\n"
             << std::flush;
        return;
    }
    if (!outside.empty())
        err_ << name_ << ": the document has " << item->sourcePages()
             << (item->sourcePages() == 1 ? " page" : " pages") << "; skipping "
             << joined(outside, ", ") << "\n";
}

void ConvertReporter::didConversionConvertPDFPageIndex(QVPDFConverterManager&,
                                                       const std::shared_ptr<QVSourceFileItem>& item,
                                                       int64_t page, size_t position, size_t done) {
    done_ = done;
    ++seen_;
    if (json_) {
        out_ << "{\"event\":\"page\",\"file\":" << JsonText::quote(item->sourcePath())
             << ",\"page\":" << page << ",\"position\":" << position << ",\"done\":" << done
             << "}\n"
             << std::flush;
    } else if (terminal_) {
        drawBar();
    } else {
        out_ << name_ << ": page " << page << " converted (" << seen_ << "/" << total_ << ")\n";
    }
}

void ConvertReporter::didConversionConvertPDFPageIndexFaildWithError(
    QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>& item, int64_t page,
    const QVError& error) {
    ++seen_;
    ++failedPages_;
    if (json_) {
        out_ << "{\"event\":\"page-failed\",\"file\":" << JsonText::quote(item->sourcePath())
             << ",\"page\":" << page << ",\"error\":" << jsonError(error) << "}\n"
             << std::flush;
        return;
    }
    clearBar();
    err_ << name_ << ": page " << page << " failed: " << error.failureReason << "\n";
    if (terminal_)
        drawBar();
}

void ConvertReporter::didConversionConvertPDFPageIndexWarning(
    QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>& item, int64_t page,
    const std::string& message) {
    if (json_) {
        out_ << "{\"event\":\"page-warning\",\"file\":" << JsonText::quote(item->sourcePath())
             << ",\"page\":" << page << ",\"warning\":" << JsonText::quote(message) << "}\n"
             << std::flush;
        return;
    }
    clearBar();
    err_ << name_ << ": " << message << "\n";
    if (terminal_)
        drawBar();
}

void ConvertReporter::didConversionWillSaveDoc(QVPDFConverterManager&,
                                               const std::shared_ptr<QVSourceFileItem>& item) {
    if (json_) {
        out_ << "{\"event\":\"will-save\",\"file\":" << JsonText::quote(item->sourcePath())
             << "}\n"
             << std::flush;
    } else if (terminal_) {
        clearBar();
        out_ << name_ << ": saving..." << std::flush;
        barShown_ = true;
    }
}

void ConvertReporter::didConversionCatchException(QVPDFConverterManager&,
                                                  const std::shared_ptr<QVSourceFileItem>& item,
                                                  const QVException& e) {
    if (json_) {
        out_ << "{\"event\":\"exception\",\"file\":" << JsonText::quote(item->sourcePath())
             << ",\"name\":" << JsonText::quote(e.name) << ",\"reason\":" << JsonText::quote(e.reason)
             << "}\n"
             << std::flush;
        return;
    }
    clearBar();
    lastException_ = e.reason;
    err_ << name_ << ": error: " << e.reason << "\n";
}

void ConvertReporter::didEndConversion(QVPDFConverterManager&,
                                       const std::shared_ptr<QVSourceFileItem>& item,
                                       const std::optional<QVError>& error) {
    clearBar();
    if (scratch_)
        scratch_->forgetReservation();
    const bool canceled = error && error->code == kCanceledCode;
    canceled ? ++canceled_ : error ? ++failed_ : ++succeeded_;
    if (json_) {
        out_ << "{\"event\":\"end\",\"file\":" << JsonText::quote(item->sourcePath())
             << ",\"status\":\"" << (canceled ? "canceled" : error ? "failed" : "converted")
             << "\",\"output\":"
             << (item->outputPath() && !error ? JsonText::quote(*item->outputPath()) : "null")
             << ",\"error\":" << jsonError(error) << "}\n"
             << std::flush;
        return;
    }
    if (canceled) {
        err_ << name_ << ": canceled\n";
        return;
    }
    if (error) {
        // The driver's end texts are general; the last error says what
        // actually went wrong (a full disk, a folder that went away).
        err_ << name_ << ": failed: " << error->failureReason;
        if (!lastException_.empty())
            err_ << " (last error: " << lastException_ << ")";
        err_ << "\n";
        return;
    }
    out_ << name_ << " -> " << item->outputPath().value_or("") << " (" << done_ << " of " << total_
         << " pages";
    if (failedPages_)
        out_ << ", " << failedPages_ << " failed";
    out_ << ")\n";
}

void ConvertReporter::drawBar() {
    const size_t width = 30;
    const size_t filled = total_ ? std::min(width, seen_ * width / total_) : width;
    out_ << "\r" << name_ << " [" << std::string(filled, '#') << std::string(width - filled, ' ')
         << "] " << seen_ << "/" << total_ << std::flush;
    barShown_ = true;
}

void ConvertReporter::clearBar() {
    if (terminal_ && barShown_) {
        out_ << "\r\033[K" << std::flush;
        barShown_ = false;
    }
}
