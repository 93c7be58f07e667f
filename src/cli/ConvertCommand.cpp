#include "cli/ConvertCommand.h"

#include "cli/PageRange.h"
#include "converter/QVPDFConverter.h"
#include "pdf/QVPDFPathUtilities.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"
#include "platform/PdfDocument.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kUsage =
    "usage: corvala convert FILE... [-f xlsx|csv|docx|pptx|txt|rtf|html] [-p \"1-3,5\"]\n"
    "                       [-o OUTDIR] [--password-stdin]\n"
    "       corvala formats\n"
    "       corvala trace FILE.pdf [-p PAGES]\n";

struct Options {
    std::vector<std::string> files;
    std::string format = "xlsx";
    bool help = false;
    std::string pages; // empty: every page
    std::string outDir;
    bool passwordFromStdin = false;
};

// Ctrl-C and SIGTERM are taken by one thread with sigwait, so the cancel runs
// as ordinary code rather than inside a signal handler.
class SignalWatcher {
public:
    explicit SignalWatcher(std::function<void()> onInterrupt) : onInterrupt_(std::move(onInterrupt)) {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        sigaddset(&set, SIGUSR1);
        // Blocked before any worker thread starts, so they all inherit it.
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
        thread_ = std::thread([this, set] {
            for (;;) {
                int sig = 0;
                if (sigwait(&set, &sig) != 0 || sig == SIGUSR1)
                    return;
                if (interrupted_.exchange(true))
                    _exit(130); // a second Ctrl-C: stop at once
                onInterrupt_();
            }
        });
    }
    ~SignalWatcher() {
        pthread_kill(thread_.native_handle(), SIGUSR1);
        thread_.join();
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    bool interrupted() const { return interrupted_.load(); }

private:
    std::function<void()> onInterrupt_;
    std::atomic<bool> interrupted_{false};
    sigset_t previous_;
    std::thread thread_;
};

class ProgressPrinter : public QVPDFConverterDelegate {
public:
    ProgressPrinter(std::string name, size_t total, bool terminal)
        : name_(std::move(name)), total_(total), terminal_(terminal) {}

    void convertPDFPageIndex(QVPDFConverter&, int64_t page, size_t, size_t done) override {
        done_ = done;
        ++seen_;
        if (terminal_) {
            drawBar();
        } else {
            std::cout << name_ << ": page " << page << " converted (" << seen_ << "/" << total_
                      << ")\n";
        }
    }
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t page,
                                           const QVError& error) override {
        ++seen_;
        ++failedPages_;
        clearBar();
        std::cerr << name_ << ": page " << page << " failed: " << error.failureReason << "\n";
        if (terminal_)
            drawBar();
    }
    void catchException(QVPDFConverter&, const QVException& e) override {
        clearBar();
        std::cerr << name_ << ": error: " << e.reason << "\n";
    }
    void willSaveDoc(QVPDFConverter&) override {
        if (terminal_) {
            clearBar();
            std::cout << name_ << ": saving..." << std::flush;
            barShown_ = true;
        }
    }
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>& error) override {
        clearBar();
        error_ = error;
        ended_ = true;
    }

    bool ended() const { return ended_; }
    const std::optional<QVError>& error() const { return error_; }
    size_t failedPages() const { return failedPages_; }
    size_t convertedPages() const { return done_; }

private:
    void drawBar() {
        const int width = 30;
        int filled = total_ ? static_cast<int>(seen_ * width / total_) : width;
        std::cout << "\r" << name_ << " [" << std::string(filled, '#')
                  << std::string(width - filled, ' ') << "] " << seen_ << "/" << total_
                  << std::flush;
        barShown_ = true;
    }
    void clearBar() {
        if (terminal_ && barShown_) {
            std::cout << "\r\033[K" << std::flush;
            barShown_ = false;
        }
    }

    std::string name_;
    size_t total_;
    bool terminal_;
    bool barShown_ = false;
    size_t seen_ = 0, done_ = 0, failedPages_ = 0;
    bool ended_ = false;
    std::optional<QVError> error_;
};

bool parseArguments(const std::vector<std::string>& args, Options& o, std::string& problem) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                problem = "option " + a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        if (a == "-f" || a == "--format") {
            if (!value(o.format))
                return false;
        } else if (a == "-p" || a == "--pages") {
            if (!value(o.pages))
                return false;
        } else if (a == "-o" || a == "--output") {
            if (!value(o.outDir))
                return false;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
            return true;
        } else if (a == "--password-stdin") {
            o.passwordFromStdin = true;
        } else if (a == "--") {
            o.files.insert(o.files.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            problem = "unknown option " + a;
            return false;
        } else {
            o.files.push_back(a);
        }
    }
    if (o.files.empty()) {
        problem = "no input file";
        return false;
    }
    if (!QVPDFConverter::supportDocTypeNameForKey(o.format)) {
        problem = "unknown format \"" + o.format + "\" (see: corvala formats)";
        return false;
    }
    if (!QVPDFConverter::hasExporterForDocType(o.format)) {
        problem = "format \"" + o.format + "\" is not available in this version (see: corvala formats)";
        return false;
    }
    return true;
}

// Removes what was reserved for an output that never came: an empty file or
// an empty folder still sitting under the reserved name.
void releaseReservation(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISREG(st.st_mode) && st.st_size == 0)
        std::remove(path.c_str());
    else if (S_ISDIR(st.st_mode))
        ::rmdir(path.c_str()); // fails, and keeps the folder, unless it is empty
}

} // namespace

int corvalaFormats() {
    auto names = QVPDFConverter::supportDocTypes();
    for (const std::string& key : QVPDFConverter::supportDocTypeKeys())
        std::cout << key << "\t" << names[key]
                  << (QVPDFConverter::hasExporterForDocType(key) ? "" : "\t(not available yet)")
                  << "\n";
    return 0;
}

int corvalaConvert(const std::vector<std::string>& args) {
    Options o;
    std::string problem;
    if (!parseArguments(args, o, problem)) {
        std::cerr << "corvala: " << problem << "\n" << kUsage;
        return 2;
    }
    if (o.help) {
        std::cout << kUsage;
        return 0;
    }
    std::optional<std::string> password;
    if (o.passwordFromStdin) {
        std::string line;
        std::getline(std::cin, line);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        password = line;
    }
    if (!o.outDir.empty() && !platform::isDirectory(o.outDir)) {
        std::cerr << "corvala: output folder " << o.outDir << " does not exist\n";
        return 2;
    }

    QVPDFConverter converter;
    SignalWatcher signals([&converter] { converter.stopConvertsionIfNeed(); });
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    size_t succeeded = 0, failed = 0;

    for (const std::string& file : o.files) {
        if (signals.interrupted())
            break;
        const std::string name = platform::lastPathComponent(file);
        std::string folder = o.outDir.empty() ? platform::deletingLastPathComponent(file) : o.outDir;
        if (folder.empty())
            folder = ".";
        std::string stem = platform::splitExtension(platform::lastPathComponent(file)).first;
        if (stem.empty())
            stem = name.empty() ? "output" : name;
        const std::string wanted = platform::appendPathComponent(folder, stem + "." + o.format);

        // The page list needs the page count; a file that does not open gets
        // an empty list and the converter reports why it cannot be read.
        std::vector<int64_t> pages;
        if (auto doc = QVPDFConverter::initPDFDocumentAtPath(file, password)) {
            int64_t count = static_cast<int64_t>(doc->pageCount());
            pages = o.pages.empty() ? allPages(count) : pagesFromRangeText(o.pages, count);
            if (pages.empty()) {
                std::cerr << name << ": failed: no page of the range \"" << o.pages
                          << "\" is in the document (" << count << " pages)\n";
                ++failed;
                continue;
            }
        }

        // Reserve the first free name so the output never replaces a file.
        std::optional<std::string> output = o.format == "csv"
                                                ? QVPDFPathUtilities::getNewFolderPathby(wanted, " ")
                                                : QVPDFPathUtilities::getNewPathby(wanted, " ");
        if (!output) {
            std::cerr << name << ": failed: cannot create an output file in " << folder << "\n";
            ++failed;
            continue;
        }

        ProgressPrinter printer(name, pages.size(), terminal);
        converter.setDelegate(&printer);
        QVPDFOptions options;
        converter.convertPDFAtPath(file, password, pages, o.format, *output, options);
        platform::MainQueue::shared().runUntil([&printer] { return printer.ended(); });
        converter.setDelegate(nullptr);

        if (printer.error()) {
            releaseReservation(*output);
            std::cerr << name << ": failed: " << printer.error()->failureReason << "\n";
            ++failed;
        } else {
            std::cout << name << " -> " << *output << " (" << printer.convertedPages() << " of "
                      << pages.size() << " pages";
            if (printer.failedPages())
                std::cout << ", " << printer.failedPages() << " failed";
            std::cout << ")\n";
            ++succeeded;
        }
    }

    size_t skipped = o.files.size() - succeeded - failed;
    std::cout << succeeded << " converted, " << failed << " failed";
    if (skipped)
        std::cout << ", " << skipped << " not started";
    std::cout << "\n";
    if (signals.interrupted())
        return 130;
    return failed ? 1 : 0;
}
