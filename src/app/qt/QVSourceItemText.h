#pragma once
// What the window says about one listed file: its picture, its page count
// and size (or that it cannot be opened), its status (a canceled file reads
// "Canceled", not "Failed!") and why it failed, in the command line's words.

#include <QString>

#include <string>

class QVSourceFileItem;

namespace QVSourceItemText {
/// The cancel error's code, as the converter reports it.
constexpr long kCanceledCode = 406;

/// "1 Page", "12 Pages".
QString pagesText(int64_t pages);
/// The file is there and opens as a PDF (locked ones included).
bool opens(const QVSourceFileItem& item);
/// "12 Pages, 1.5 MB"; for a file that is gone or does not open as a PDF,
/// that it cannot be opened and why.
QString info(QVSourceFileItem& item);
/// "icon_pdf", "icon_pdf_pw", or "icon_unknown" for a file that cannot be opened.
QString icon(const QVSourceFileItem& item);
/// The item's status text with "Canceled" for a canceled run.
QString status(const QVSourceFileItem& item);
bool isCanceled(const QVSourceFileItem& item);
bool isFailed(const QVSourceFileItem& item);
/// "Failed: <reason>" (with the last error, when one was caught), as the
/// command line words it; empty unless the item failed.
QString failure(const QVSourceFileItem& item, const std::string& lastError = {});
} // namespace QVSourceItemText
