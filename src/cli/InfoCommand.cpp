#include "cli/InfoCommand.h"

#include "app/QVCPDFUtilities.h"
#include "app/QVCUtilities.h"
#include "cli/JsonText.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

#include <filesystem>
#include <istream>
#include <system_error>
#include <optional>
#include <ostream>

namespace {

struct Facts {
    std::optional<uint64_t> pages;     ///< none while locked
    std::string encryption;            ///< "none", "password", "permissions"
    std::optional<bool> printing;      ///< none while locked
};

Facts factsOf(const platform::PdfDocument& plain, const std::string& path,
              const std::optional<std::string>& password) {
    Facts f;
    const bool locked = plain.isEncrypted() && !plain.isUnlocked();
    f.encryption = !plain.isEncrypted() ? "none" : locked ? "password" : "permissions";
    // With a password, the answers it gives (an owner password lifts a
    // printing restriction); one that does not open the file tells nothing.
    if (password && plain.isEncrypted()) {
        auto opened = QVCPDFUtilities::initPDFDocumentAtPath(path, password);
        if (opened && opened->isUnlocked()) {
            f.pages = opened->pageCount();
            f.printing = opened->allowsPrinting();
            return f;
        }
    }
    if (!locked) {
        f.pages = plain.pageCount();
        f.printing = plain.allowsPrinting();
    }
    return f;
}

} // namespace

const char* corvalaInfoUsage() {
    return "usage: corvala info [--json] [--password-stdin] FILE...\n"
           "\n"
           "For each PDF: its page count, its encryption, whether it may be printed, and its\n"
           "size. A locked file's pages and printing are \"unknown (locked)\" unless its\n"
           "password is given.\n"
           "\n"
           "options:\n"
           "      --json            one JSON object per file and line\n"
           "      --password-stdin  read a password from the first line of standard input\n"
           "                        and use it for every locked or print-restricted file\n"
           "  -h, --help            this text\n"
           "\n"
           "exit status: 0 every file read, 1 a file is missing or not a PDF, 2 usage error.\n";
}

int corvalaInfo(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err) {
    bool json = false, passwordFromStdin = false, onlyFiles = false;
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            files.push_back(a);
        } else if (a == "--") {
            onlyFiles = true;
        } else if (a == "-h" || a == "--help") {
            out << corvalaInfoUsage();
            return 0;
        } else if (a == "--json") {
            json = true;
        } else if (a == "--password-stdin") {
            passwordFromStdin = true;
        } else {
            err << "corvala: unknown option " << a << "\n" << corvalaInfoUsage();
            return 2;
        }
    }
    if (files.empty()) {
        err << corvalaInfoUsage();
        return 2;
    }
    std::optional<std::string> password;
    if (passwordFromStdin) {
        std::string line;
        std::getline(in, line);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        password = line;
    }
    int status = 0;
    auto fail = [&](const std::string& path, const std::string& why) {
        if (json)
            out << "{\"file\":" << JsonText::quote(path) << ",\"error\":" << JsonText::quote(why)
                << "}\n";
        else
            err << path << ": " << why << "\n";
        status = 1;
    };
    for (const std::string& path : files) {
        if (!platform::pathExists(path)) {
            fail(path, "no such file");
            continue;
        }
        if (platform::isDirectory(path)) {
            fail(path, "is a directory");
            continue;
        }
        auto doc = QVCPDFUtilities::initPDFDocumentAtPath(path, std::nullopt);
        if (!doc) {
            fail(path, "is not a PDF file (or is too damaged to open)");
            continue;
        }
        const Facts f = factsOf(*doc, path, password);
        const std::string size = QVCUtilities::StringFileSizeAtPath(path);
        if (json) {
            std::error_code ec;
            const uintmax_t bytes = std::filesystem::file_size(path, ec);
            out << "{\"file\":" << JsonText::quote(path) << ",\"pages\":"
                << (f.pages ? std::to_string(*f.pages) : "null") << ",\"encryption\":\""
                << f.encryption << "\",\"printing\":"
                << (f.printing ? (*f.printing ? "true" : "false") : "null")
                << ",\"size\":" << JsonText::quote(size) << ",\"bytes\":" << (ec ? 0 : bytes) << "}\n";
            continue;
        }
        out << path << "\n";
        out << "  pages: " << (f.pages ? std::to_string(*f.pages) : "unknown (locked)") << "\n";
        out << "  encryption: "
            << (f.encryption == "none"       ? "none"
                : f.encryption == "password" ? "needs a password to open"
                                             : "permissions only (opens without a password)")
            << "\n";
        out << "  printing: "
            << (f.printing ? (*f.printing ? "allowed" : "not allowed") : "unknown (locked)")
            << "\n";
        out << "  size: " << size << "\n";
    }
    return status;
}
