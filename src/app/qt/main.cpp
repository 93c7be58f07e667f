// corvala-app: the desktop application. A launch while another is running
// hands its files to that window and ends.

#include "QVAppDelegate.h"
#include "QVImages.h"
#include "QVMainQueuePump.h"
#include "QVQtUserDefaults.h"
#include "QVSingleInstance.h"

#include "app/QVUserDefaults.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication::setApplicationName(QStringLiteral("Corvala"));
    QApplication::setOrganizationName(QStringLiteral("Corvala"));
    QApplication::setDesktopFileName(QStringLiteral("corvala-app"));
    QApplication app(argc, argv);
    app.setWindowIcon(QVImages::applicationIcon());

    QStringList files;
    for (const QString& arg : app.arguments().mid(1))
        if (!arg.startsWith('-') || QFileInfo::exists(arg))
            files << arg;

    QVSingleInstance instance(QVSingleInstance::defaultServerName());
    if (instance.sendToRunningInstance(files))
        return 0;
    instance.listen();

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
