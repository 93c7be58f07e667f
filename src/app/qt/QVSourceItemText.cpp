#include "QVSourceItemText.h"

#include "app/QVCPDFUtilities.h"
#include "app/QVSourceFileItem.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

namespace QVSourceItemText {

QString pagesText(int64_t pages) {
    return pages == 1 ? QStringLiteral("1 Page") : QStringLiteral("%1 Pages").arg(pages);
}

bool opens(const QVSourceFileItem& item) {
    return platform::pathExists(item.sourcePath()) &&
           QVCPDFUtilities::initPDFDocumentAtPath(item.sourcePath(), std::nullopt) != nullptr;
}

QString info(QVSourceFileItem& item) {
    if (!platform::pathExists(item.sourcePath()))
        return QStringLiteral("The file cannot be opened: it is no longer there");
    const int64_t pages = item.sourcePages();
    if (pages == 0 && !opens(item))
        return QStringLiteral("The file cannot be opened, %1").arg(QString::fromStdString(item.fileSizeString()));
    return pagesText(pages) + QStringLiteral(", ") + QString::fromStdString(item.fileSizeString());
}

QString icon(const QVSourceFileItem& item) {
    if (!opens(item))
        return QStringLiteral("icon_unknown");
    return QString::fromStdString(item.sourceFileIcon());
}

bool isCanceled(const QVSourceFileItem& item) {
    const auto& e = item.conversionError();
    return e && e->code == kCanceledCode && item.outputPath() && !item.outputPath()->empty();
}

bool isFailed(const QVSourceFileItem& item) { return status(item).endsWith(QLatin1String("Failed!")); }

namespace {
// A file refused before its conversion began (no readable page) has an
// error but no output path: it failed too, not Ready.
bool refused(const QVSourceFileItem& item) {
    return item.conversionError() && item.conversionError()->code != kCanceledCode &&
           (!item.outputPath() || item.outputPath()->empty());
}
} // namespace

QString status(const QVSourceFileItem& item) {
    QString text = QString::fromStdString(item.conversionOptions());
    if (isCanceled(item) && text.endsWith(QLatin1String("Failed!")))
        text = text.left(text.size() - 7) + QStringLiteral("Canceled");
    else if (refused(item) && text.endsWith(QLatin1String("Ready!")))
        text = text.left(text.size() - 6) + QStringLiteral("Failed!");
    return text;
}

QString failure(const QVSourceFileItem& item, const std::string& lastError) {
    if (!isFailed(item))
        return {};
    const auto& e = item.conversionError();
    // No error recorded: the output never came (a reserved name left empty).
    QString text = QStringLiteral("Failed: %1")
                       .arg(e ? QString::fromStdString(e->failureReason)
                              : QStringLiteral("the output file was not written."));
    if (!lastError.empty())
        text += QStringLiteral(" (last error: %1)").arg(QString::fromStdString(lastError));
    return text;
}

} // namespace QVSourceItemText
