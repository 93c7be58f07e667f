#include "cli/ConvertCommand.h"

#include "app/QVCPDFUtilities.h"
#include "app/QVPDFConverterManager.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "cli/ConvertArguments.h"
#include "cli/ConvertReporter.h"
#include "cli/PasswordPrompt.h"
#include "app/ScratchArea.h"
#include "cli/SignalWatcher.h"
#include "converter/QVPDFConverter.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <map>

#include <unistd.h>

namespace {

// How many times the terminal asks for a password before giving up on a file.
constexpr int kPasswordTries = 3;

std::string describeFormat(const std::string& key) {
    if (key == "csv")
        return "a folder NAME.csv of tab-separated UTF-16 text files, \"Table N.csv\", one per "
               "page with text (not comma-separated UTF-8)";
    if (key == "xlsx")
        return "an Excel workbook, one worksheet per page";
    if (key == "docx")
        return "a Word document: each page's text where it stood, as paragraphs, columns and "
               "sections, with turned text, drawings and pictures as floating objects";
    if (key == "pptx")
        return "a PowerPoint presentation, one slide per page: text boxes, drawings and "
               "pictures where they stood";
    if (key == "html" || key == "rtf" || key == "txt")
        return "each page's horizontal text in reading order (vertical, slanted and mirrored "
               "text, pictures and drawings are left out)";
    return "";
}

// Decides the password of a file that needs one; the reason it is turned
// away otherwise.
struct PasswordCheck {
    const std::optional<std::string>& fromStdin;

    /// `doc`: the file opened without a password (none when it does not open).
    std::optional<std::string> problem(QVSourceFileItem& item,
                                       const platform::PdfDocument* doc) const {
        const std::string& path = item.sourcePath();
        const bool locked = !doc || (doc->isEncrypted() && !doc->isUnlocked());
        if (!locked && doc->allowsPrinting())
            return std::nullopt;
        const std::string need = locked ? "it is locked: it needs its password"
                                        : "printing it is restricted: it needs its owner password";
        if (fromStdin) {
            if (QVCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(path, *fromStdin)) {
                item.setSourcePassword(*fromStdin);
                return std::nullopt;
            }
            return locked ? std::string("the password given does not open it")
                          : std::string("the password given does not lift its printing "
                                        "restriction (the owner password is needed)");
        }
        if (!PasswordPrompt::available())
            return need + "; give it with --password-stdin";
        const std::string name = platform::lastPathComponent(path);
        std::cerr << name << ": " << need << "\n";
        for (int attempt = 0; attempt < kPasswordTries; ++attempt) {
            auto password = PasswordPrompt::ask("Password for " + name + ": ");
            if (!password)
                return std::string("no password given");
            if (QVCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(path, *password)) {
                item.setSourcePassword(*password);
                return std::nullopt;
            }
            if (attempt + 1 < kPasswordTries)
                std::cerr << "That password does not open it; try again.\n";
        }
        return "wrong password (" + std::to_string(kPasswordTries) + " tries)";
    }
};

// One wording for an output folder that cannot take the output, whether
// named by -o or the source's own folder.
std::string outputFolderProblem(const std::string& folder, const std::string& problem) {
    return "output folder " + folder + " " + problem;
}

std::optional<std::string> fileProblem(const std::string& path,
                                       const platform::PdfDocument* doc) {
    if (::access(path.c_str(), R_OK) != 0)
        return std::string("cannot be read (permission denied)");
    if (!doc)
        return std::string("is not a PDF file (or is too damaged to open)");
    return std::nullopt;
}

} // namespace

int corvalaFormats() {
    auto names = QVPDFConverter::supportDocTypes();
    for (const std::string& key : QVPDFConverter::supportDocTypeKeys()) {
        std::cout << key << "\t" << names[key];
        if (!QVPDFConverter::hasExporterForDocType(key))
            std::cout << "\t(not available yet)";
        else if (auto what = describeFormat(key); !what.empty())
            std::cout << "\t" << what;
        std::cout << "\n";
    }
    return 0;
}

int corvalaConvert(const std::vector<std::string>& args) {
    ConvertArguments o;
    std::string problem;
    if (!ConvertArguments::parse(args, o, problem)) {
        std::cerr << "corvala: " << problem << "\n(see: corvala convert --help)\n";
        return 2;
    }
    if (o.help) {
        std::cout << ConvertArguments::usage();
        return 0;
    }
    if (o.outputFolder) {
        if (auto bad = QVSandBoxUtilities::problemWithFolder(*o.outputFolder)) {
            std::cerr << "corvala: " << outputFolderProblem(*o.outputFolder, *bad) << "\n";
            return 3;
        }
    }
    std::optional<std::string> password;
    if (o.passwordFromStdin) {
        std::string line;
        std::getline(std::cin, line);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        password = line;
    }

    // A file-size limit makes writes fail with an error the run reports,
    // instead of ending the process with the output half-made.
    std::signal(SIGXFSZ, SIG_IGN);
    ScratchArea::sweepStaleFolders();
    ScratchArea scratch;
    // Before any thread starts: whatever ends this process, the watcher
    // clears its scratch folder and reserved output after it.
    scratch.watchFromOutside();
    QVPDFConverterManager manager;
    manager.setEndsWithProcess(true);
    std::atomic<bool> running{false};
    SignalWatcher signals([&](int count) {
        if (count == 1 && running.load()) {
            // Ordinary cancel: the page in progress finishes, nothing else starts.
            platform::MainQueue::shared().async([&manager] { manager.stopConversion(); });
            return;
        }
        // Before the run (a password prompt) or a second signal: out at once,
        // leaving the terminal, the output folder and the scratch area clean.
        PasswordPrompt::restoreTerminal();
        scratch.cleanUp();
        static const char message[] = "\ncorvala: interrupted\n";
        [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, message, sizeof message - 1);
        _exit(130);
    });

    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    ConvertReporter reporter(std::cout, std::cerr, terminal, o.json, &scratch);
    const std::string title = QVPDFConverter::supportDocTypes()[o.format];
    const PasswordCheck passwords{password};

    QVPDFConverterManager::ItemList items;
    size_t considered = 0;
    // Files refused because their own folder cannot take the output: exit 3.
    size_t unusableFolders = 0;
    std::map<std::string, std::optional<std::string>> folderProblems;
    for (const std::string& arg : o.files) {
        if (!platform::pathExists(arg)) {
            ++considered;
            reporter.refused(arg, "no such file or folder");
            continue;
        }
        const bool folder = platform::isDirectory(arg);
        std::vector<std::shared_ptr<QVSourceFileItem>> found =
            QVSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(arg);
        size_t pdfs = 0;
        for (const auto& item : found) {
            // One open answers every check of the file, and its page count
            // spares the run another open; it is let go before the next file.
            auto doc = platform::pathExists(item->sourcePath())
                           ? QVCPDFUtilities::initPDFDocumentAtPath(item->sourcePath(),
                                                                    std::nullopt)
                           : nullptr;
            auto bad = fileProblem(item->sourcePath(), doc.get());
            if (bad && folder) {
                reporter.skipped(item->sourcePath(), *bad);
                continue;
            }
            ++considered;
            ++pdfs;
            if (!bad)
                bad = passwords.problem(*item, doc.get());
            if (bad) {
                reporter.refused(item->sourcePath(), *bad);
                continue;
            }
            if (!item->sourcePassword() && doc->isUnlocked())
                item->rememberSourcePages(static_cast<int64_t>(doc->pageCount()));
            doc.reset();
            item->setSettings_outputFormat(title);
            if (o.pages) {
                item->setSettings_pageRangeType(1);
                item->setSettings_customPageRange(*o.pages);
            }
            QVExcelOptions& excel = *item->convertOpts().excelOptions();
            if (o.dataStructure)
                excel.setExcelFormatOption(*o.dataStructure);
            if (o.thousandSeparator)
                excel.setThousandSepartor(*o.thousandSeparator);
            excel.setAllInOneSheet(o.oneSheet != ConvertArguments::OneSheet::Off);
            excel.setAiosAddToRow(o.oneSheet == ConvertArguments::OneSheet::Rows);
            std::string outFolder = o.outputFolder
                                        ? *o.outputFolder
                                        : platform::deletingLastPathComponent(item->sourcePath());
            if (outFolder.empty())
                outFolder = ".";
            if (!o.outputFolder) {
                auto known = folderProblems.find(outFolder);
                if (known == folderProblems.end())
                    known = folderProblems
                                .emplace(outFolder, QVSandBoxUtilities::problemWithFolder(outFolder))
                                .first;
                if (known->second) {
                    ++unusableFolders;
                    reporter.refused(item->sourcePath(),
                                     outputFolderProblem(outFolder, *known->second));
                    continue;
                }
            }
            item->setOutputFolder(outFolder);
            items.push_back(item);
        }
        if (folder && pdfs == 0) {
            ++considered;
            reporter.refused(arg, "is a directory with no PDF file in it");
        }
    }

    manager.setMa_sourceItems(items);
    manager.setDelegate(&reporter);
    running = true;
    if (!signals.interrupted()) {
        manager.startConversion();
        platform::MainQueue::shared().runUntil([&manager] { return !manager.isConverting(); });
    }
    running = false;
    manager.setDelegate(nullptr);

    const size_t ended = reporter.succeeded() + reporter.failed() + reporter.canceled();
    reporter.summary(considered > ended ? considered - ended : 0);
    if (signals.interrupted())
        return 130;
    if (unusableFolders)
        return 3;
    return reporter.failed() || reporter.canceled() ? 1 : 0;
}
