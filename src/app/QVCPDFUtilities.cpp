#include "app/QVCPDFUtilities.h"

#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

namespace {
bool nonEmpty(const std::optional<std::string>& password) {
    return password && !password->empty();
}
} // namespace

std::unique_ptr<platform::PdfDocument>
QVCPDFUtilities::initPDFDocumentAtPath(const std::string& path,
                                       const std::optional<std::string>& password) {
    if (path.empty() || platform::isDirectory(path))
        return nullptr;
    auto doc = platform::PdfDocument::open(path);
    if (!doc)
        return nullptr;
    if (nonEmpty(password) && !doc->unlockWithPassword(*password))
        return nullptr;
    return doc;
}

bool QVCPDFUtilities::isPDFDocumentValidAtPath(const std::string& path) {
    return platform::pathExists(path) && initPDFDocumentAtPath(path, std::nullopt) != nullptr;
}

bool QVCPDFUtilities::isPDFDocumentLockedAtPath(const std::string& path) {
    auto doc = initPDFDocumentAtPath(path, std::nullopt);
    return !doc || (doc->isEncrypted() && !doc->isUnlocked());
}

bool QVCPDFUtilities::isPDFDocumentLockPritingAtPath(const std::string& path) {
    auto doc = initPDFDocumentAtPath(path, std::nullopt);
    return !doc || (doc->isEncrypted() && !doc->isUnlocked()) || !doc->allowsPrinting();
}

bool QVCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(const std::string& path,
                                                       const std::optional<std::string>& password) {
    auto doc = initPDFDocumentAtPath(path, password);
    if (!doc || !doc->isUnlocked())
        return false;
    return doc->allowsPrinting();
}

bool QVCPDFUtilities::PDFDocumentHasPassword(const std::string& path) {
    auto doc = initPDFDocumentAtPath(path, std::nullopt);
    return doc && doc->isEncrypted();
}
