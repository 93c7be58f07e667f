// corvala-app: the desktop application. A launch while another is running
// hands its files to that window and ends.

#include "QVAppDelegate.h"
#include "QVImages.h"
#include "QVMainQueuePump.h"
#include "QVQtUserDefaults.h"
#include "QVSingleInstance.h"

#include "app/QVUserDefaults.h"
#include "app/ScratchArea.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication::setApplicationName(QStringLiteral("Corvala"));
    QApplication::setOrganizationName(QStringLiteral("Corvala"));
    QApplication::setDesktopFileName(QStringLiteral("corvala-app"));

    // The options are read before the window system is opened, so --help
    // and --version answer without a display. Qt's own options (-platform,
    // -style...) are left for QApplication.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Corvala: convert PDF documents to xlsx, csv, txt, rtf "
                                                    "and html in a window."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help and exit."));
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")},
                                     QStringLiteral("Print the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("PDF files or folders to add to the list."),
                                 QStringLiteral("[FILE...]"));
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    parser.parse(args);
    if (parser.isSet(help)) {
        // Without an application object the parser cannot name the program.
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                        QStringLiteral("corvala-app"))),
                   stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("corvala-app %s\n", platform::applicationVersion().c_str());
        return 0;
    }

    QApplication app(argc, argv);
    app.setWindowIcon(QVImages::applicationIcon());

    // What QApplication left: file names, and unknown options, which are
    // not files unless a file has that name.
    QStringList files;
    for (const QString& arg : app.arguments().mid(1)) {
        if (arg.startsWith('-') && !QFileInfo::exists(arg)) {
            std::fprintf(stderr, "corvala-app: unknown option %s (see --help)\n", qPrintable(arg));
            continue;
        }
        // Absolute, so a running window elsewhere finds it too.
        files << QDir::current().absoluteFilePath(arg);
    }

    QVSingleInstance instance(QVSingleInstance::defaultServerName());
    if (instance.sendToRunningInstance(files))
        return 0;
    instance.listen();
    // What windows or commands that were killed left in the temporary folder.
    ScratchArea::sweepStaleFolders();

    QVUserDefaults::setStandardUserDefaults(std::make_shared<QVQtUserDefaults>());
    QVMainQueuePump pump;
    QVAppDelegate window;
    QObject::connect(&instance, &QVSingleInstance::filesReceived, &window, &QVAppDelegate::application_openFiles);
    QObject::connect(&window, &QVAppDelegate::quitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    // Once the window is up, so a password sheet comes up over it.
    if (!files.isEmpty())
        QTimer::singleShot(0, &window, [&window, files] { window.application_openFiles(files); });
    return app.exec();
}
