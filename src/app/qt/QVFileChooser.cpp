#include "QVFileChooser.h"

#include <QDir>
#include <QFileDialog>

void QVFileChooser::chooseFiles(QWidget* parent, const QString& message,
                                std::function<void(const QStringList&)> done) {
    auto* dialog = new QFileDialog(parent, message);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Select"));
    dialog->setNameFilters({QStringLiteral("PDF documents (*.pdf *.PDF)"),
                            QStringLiteral("All files (*)")});
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        done(result == QDialog::Accepted ? dialog->selectedFiles() : QStringList{});
    });
    dialog->open();
}

void QVFileChooser::chooseDirectory(QWidget* parent, const QString& message, const QString& start,
                                    std::function<void(const QString&)> done) {
    auto* dialog = new QFileDialog(parent, message, start.isEmpty() ? QDir::homePath() : start);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        const QStringList chosen = dialog->selectedFiles();
        // Only an existing folder counts as an answer.
        const QString folder = result == QDialog::Accepted && !chosen.isEmpty() &&
                                       QFileInfo(chosen.front()).isDir()
                                   ? chosen.front()
                                   : QString();
        done(folder);
    });
    dialog->open();
}
