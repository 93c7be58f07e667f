// The Support menu: the machine description and the mail addresses it
// hands to the desktop, and the sample file.

#include "TestSupport.h"

#include "QVAppDelegate.h"
#include "QVSupport.h"

#include <QDir>
#include <QFile>
#include <QListView>
#include <QTest>
#include <QUrlQuery>

class SupportTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

    void write(const QString& path, const QByteArray& text) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

private slots:
    void init() { env = std::make_unique<TestEnvironment>("support"); }
    void cleanup() { env.reset(); }

    void machineDescription() {
        const QString os = env->path("os-release");
        write(os, "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
        QCOMPARE(QV_SystemVersionString(os), QString("Debian GNU/Linux 12 (bookworm)"));
        write(os, "NAME='Fedora Linux'\nVERSION_ID=40\n");
        QCOMPARE(QV_SystemVersionString(os), QString("Fedora Linux 40"));
        QVERIFY(QV_SystemVersionString(env->path("missing")).startsWith("Linux "));

        const QString dmi = env->path("dmi");
        QDir().mkpath(dmi);
        QCOMPARE(QV_MachineModelString(dmi), QString("Unknown Machine"));
        write(dmi + "/sys_vendor", "LENOVO\n");
        write(dmi + "/product_name", "ThinkPad X1\n");
        QCOMPARE(QV_MachineModelString(dmi), QString("LENOVO ThinkPad X1"));
    }

    void mailsReachTheMailProgramIntact() {
        const QUrl url = QV_MailURL("Corvala Support<support@corvala.example>", "Grüße & \"quotes\"",
                                    "line one\nline two ü");
        QCOMPARE(url.scheme(), QString("mailto"));
        const QString encoded = QString::fromLatin1(url.toEncoded());
        QVERIFY2(encoded.startsWith("mailto:Corvala%20Support%3Csupport%40corvala.example%3E?SUBJECT="),
                 qPrintable(encoded));
        QVERIFY(encoded.contains("&BODY=line%20one%0Aline%20two%20%C3%BC"));
        const QUrlQuery q(url);
        QCOMPARE(q.queryItemValue("SUBJECT", QUrl::FullyDecoded), QString("Grüße & \"quotes\""));

        const QUrlQuery support(QV_TechnicalSupportMailURL());
        const QString body = support.queryItemValue("BODY", QUrl::FullyDecoded);
        QVERIFY(body.startsWith("\n \n \n \n \nMy Device Short Info:\n User Name:"));
        for (const char* line : {"Device Model:", "System Version:", "Country:", "Language:"})
            QVERIFY2(body.contains(QLatin1String(line)), line);
        QVERIFY(support.queryItemValue("SUBJECT", QUrl::FullyDecoded).endsWith(": Technical Support"));

        const QString text = env->path("tell.txt");
        write(text, "Try it ✓\n");
        const QUrlQuery tell(QV_TellAFriendMailURL(text));
        QCOMPARE(tell.queryItemValue("BODY", QUrl::FullyDecoded), QString("Try it ✓\n"));
        QVERIFY(tell.queryItemValue("SUBJECT", QUrl::FullyDecoded).startsWith("Try out \"Corvala\" on the "));
        QCOMPARE(QUrlQuery(QV_TellAFriendMailURL(env->path("missing"))).queryItemValue("BODY"), QString());
    }

    void menuActionsOpenTheirAddresses() {
        QVAppDelegate window;
        window.support_TechnicalSupport();
        window.support_userManual();
        QCOMPARE(env->workspace->urls.size(), 2);
        QCOMPARE(env->workspace->urls[0].scheme(), QString("mailto"));
        QCOMPARE(env->workspace->urls[1].toString(), QString(QVSupport::kSupportPage));
        // The sample report is checked and listed; asked for again, its row
        // is selected rather than the file listed twice.
        window.support_copySampleFiles();
        QTRY_COMPARE(listedNames(*window.sourceFileViewController()), (QStringList{"Print-Area.pdf"}));
        window.sourceFileViewController()->tv_sourceFileList()->clearSelection();
        window.support_copySampleFiles();
        QTRY_VERIFY(window.sourceFileViewController()->selectedItem() != nullptr);
        QCOMPARE(listedNames(*window.sourceFileViewController()), (QStringList{"Print-Area.pdf"}));
    }
};

std::unique_ptr<QObject> makeSupportTest() { return std::make_unique<SupportTest>(); }

#include "SupportTest.moc"
