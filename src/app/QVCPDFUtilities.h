#pragma once
// Questions the application asks a PDF before it lists or converts it: is it
// a PDF, does it need a password to open, does it forbid printing, does a
// password lift that. Each opens the file, asks, and closes it again.

#include <memory>
#include <optional>
#include <string>

namespace platform {
class PdfDocument;
}

class QVCPDFUtilities {
public:
    QVCPDFUtilities() = delete;

    /// Something that is not a folder is there and opens as a PDF.
    static bool isPDFDocumentValidAtPath(const std::string& path);
    /// It cannot be opened, or it needs a password to open.
    static bool isPDFDocumentLockedAtPath(const std::string& path);
    /// Locked as above, or printing is not allowed without a password.
    static bool isPDFDocumentLockPritingAtPath(const std::string& path);
    /// Opens; with a non-empty password, unlocks with it; then whether
    /// printing is allowed (an owner password lifts the restriction).
    static bool isAllowPrintingPDFDcoumentAtPath(const std::string& path,
                                                 const std::optional<std::string>& password);
    /// The document, unlocked with a non-empty password; still locked when
    /// none was given; none when it cannot be opened or the password fails.
    static std::unique_ptr<platform::PdfDocument>
    initPDFDocumentAtPath(const std::string& path, const std::optional<std::string>& password);
    /// Encrypted at all (even with an empty user password); false when it cannot be opened.
    static bool PDFDocumentHasPassword(const std::string& path);
};
