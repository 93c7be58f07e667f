#include "cli/InfoCommand.h"

#include "app/QVCPDFUtilities.h"
#include "app/QVCUtilities.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

int corvalaInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "usage: corvala info FILE...\n";
        return 2;
    }
    int status = 0;
    for (const std::string& path : args) {
        if (!platform::pathExists(path)) {
            err << path << ": no such file\n";
            status = 1;
            continue;
        }
        if (platform::isDirectory(path)) {
            err << path << ": is a directory\n";
            status = 1;
            continue;
        }
        auto doc = QVCPDFUtilities::initPDFDocumentAtPath(path, std::nullopt);
        if (!doc) {
            err << path << ": is not a PDF file (or is too damaged to open)\n";
            status = 1;
            continue;
        }
        const bool locked = doc->isEncrypted() && !doc->isUnlocked();
        out << path << "\n";
        out << "  pages: " << (locked ? std::string("unknown (locked)")
                                      : std::to_string(doc->pageCount()))
            << "\n";
        out << "  encryption: "
            << (!doc->isEncrypted() ? "none"
                : locked            ? "needs a password to open"
                                    : "permissions only (opens without a password)")
            << "\n";
        out << "  printing: " << (doc->allowsPrinting() ? "allowed" : "not allowed") << "\n";
        out << "  size: " << QVCUtilities::StringFileSizeAtPath(path) << "\n";
    }
    return status;
}
