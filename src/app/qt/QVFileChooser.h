#pragma once
// The open dialogs of the window (files to add, the output folder), shown
// window-modal; the answer comes through a callback. Tests put a stand-in
// that answers at once in its place.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

class QVFileChooser {
public:
    virtual ~QVFileChooser() = default;

    /// Several files, no folders; an empty list when cancelled.
    virtual void chooseFiles(QWidget* parent, const QString& message,
                             std::function<void(const QStringList&)> done);
    /// One folder (a new one may be made); empty when cancelled.
    virtual void chooseDirectory(QWidget* parent, const QString& message, const QString& start,
                                 std::function<void(const QString&)> done);
};
