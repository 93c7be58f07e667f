#pragma once
// Opening files and addresses with the desktop's default applications and
// showing files in the file manager. Process-wide, so tests can put a
// recording stand-in in its place.

#include <QString>
#include <QUrl>

#include <memory>

class QVWorkspace {
public:
    virtual ~QVWorkspace() = default;

    /// Opens a web or mail address; false when no application took it.
    virtual bool openURL(const QUrl& url);
    /// Opens a file or folder with its default application.
    virtual bool openFile(const QString& path);
    /// Shows the file selected in the file manager (its D-Bus ShowItems),
    /// else opens the folder holding it.
    virtual void selectFile(const QString& path);

    static QVWorkspace& sharedWorkspace();
    static void setSharedWorkspace(std::shared_ptr<QVWorkspace> workspace);
};
