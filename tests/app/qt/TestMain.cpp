// Runs the desktop test classes: all of them, or the one named first.

#include "TestSupport.h"

#include "QVSourceFileViewController.h"
#include "app/QVSourceFileItem.h"
#include "platform/Files.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

#include <functional>
#include <vector>

std::unique_ptr<QObject> makeSourceListTest();
std::unique_ptr<QObject> makeSettingsPanelTest();
std::unique_ptr<QObject> makeAppDelegateTest();
std::unique_ptr<QObject> makeSupportTest();
std::unique_ptr<QObject> makeEndToEndTest();
std::unique_ptr<QObject> makeUpdateTest();

QString TestEnvironment::settingsText() const {
    defaults->settings().sync();
    QFile f(QString::fromStdString(dir + "/settings.ini"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList listedNames(const QVSourceFileViewController& list) {
    QStringList names;
    for (const auto& item : list.ma_sourceItems())
        names << QString::fromStdString(platform::lastPathComponent(item->sourcePath()));
    return names;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const std::vector<std::function<std::unique_ptr<QObject>()>> suites{
        makeSourceListTest, makeSettingsPanelTest, makeAppDelegateTest, makeSupportTest, makeEndToEndTest, makeUpdateTest};
    QStringList args{QString::fromLocal8Bit(argv[0])};
    for (int i = 2; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int failed = 0;
    bool ran = false;
    for (const auto& make : suites) {
        std::unique_ptr<QObject> suite = make();
        if (!only.isEmpty() && only != QLatin1String(suite->metaObject()->className()))
            continue;
        ran = true;
        failed += QTest::qExec(suite.get(), args);
    }
    return ran ? failed : 1;
}
