#pragma once
// What every desktop test sets up: a settings file of its own, a scratch
// folder, recording stand-ins for the desktop and the open dialogs, and the
// pump that runs the engine's reports on the GUI thread.

#include "QVFileChooser.h"
#include "QVMainQueuePump.h"
#include "QVQtUserDefaults.h"
#include "QVWorkspace.h"

#include "app/QVUserDefaults.h"
#include "fixtures/PdfBuilder.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <optional>
#include <string>

class FakeChooser : public QVFileChooser {
public:
    QStringList files;
    QString folder;
    int fileCalls = 0;
    int folderCalls = 0;
    QStringList titles; ///< the dialogs' titles, in order
    void chooseFiles(QWidget*, const QString& title, std::function<void(const QStringList&)> done) override {
        ++fileCalls;
        titles << title;
        done(files);
    }
    void chooseDirectory(QWidget*, const QString& title, const QString&,
                         std::function<void(const QString&)> done) override {
        ++folderCalls;
        titles << title;
        done(folder);
    }
};

class RecordingWorkspace : public QVWorkspace {
public:
    QList<QUrl> urls;
    QStringList opened;
    QStringList selected;
    bool openURL(const QUrl& url) override {
        urls << url;
        return true;
    }
    bool openFile(const QString& path) override {
        opened << path;
        return true;
    }
    void selectFile(const QString& path) override { selected << path; }
};

struct TestEnvironment {
    explicit TestEnvironment(const std::string& name)
        : dir(fixtures::makeTestFolder("qt-" + name)),
          defaults(std::make_shared<QVQtUserDefaults>(QString::fromStdString(dir + "/settings.ini"))),
          workspace(std::make_shared<RecordingWorkspace>()), chooser(std::make_shared<FakeChooser>()),
          pump(std::make_unique<QVMainQueuePump>()) {
        QVUserDefaults::setStandardUserDefaults(defaults);
        QVWorkspace::setSharedWorkspace(workspace);
    }
    ~TestEnvironment() {
        pump.reset();
        QVWorkspace::setSharedWorkspace(nullptr);
        QVUserDefaults::setStandardUserDefaults(nullptr);
    }
    /// A PDF of `pages` text pages.
    QString pdf(const std::string& name, int pages = 1,
                std::optional<fixtures::Encryption> encryption = std::nullopt) const {
        fixtures::PdfBuilder b;
        for (int i = 0; i < pages; ++i)
            b.addTextPage({{72, 700, 12, "Item"}, {300, 700, 12, "Amount"},
                           {72, 680, 12, "page " + std::to_string(i + 1)}, {300, 680, 12, "1,250.50"}});
        return QString::fromStdString(b.writeTo(dir + "/" + name, encryption));
    }
    QString path(const std::string& name) const { return QString::fromStdString(dir + "/" + name); }
    /// The raw text of the settings file, as written so far.
    QString settingsText() const;

    std::string dir;
    std::shared_ptr<QVQtUserDefaults> defaults;
    std::shared_ptr<RecordingWorkspace> workspace;
    std::shared_ptr<FakeChooser> chooser;
    std::unique_ptr<QVMainQueuePump> pump;
};

/// Names of the source list's files, in list order.
class QVSourceFileViewController;
QStringList listedNames(const QVSourceFileViewController& list);
