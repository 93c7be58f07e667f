// The source list: adding through the open dialog and drops, the check with
// its password and unsupported-file sheets, batches that arrive while a
// sheet is up, row moves and removal.

#include "TestSupport.h"

#include "QVSourceFileListModel.h"
#include "QVSourceFileViewController.h"

#include "app/QVSourceFileItem.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QTest>

#include <fstream>

class SourceListTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<QVSourceFileViewController> list;

    void addPlain(const QStringList& names) {
        QStringList paths;
        for (const QString& n : names)
            paths << env->pdf(n.toStdString());
        list->addFilesToCheckQueue(paths);
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>("list");
        list = std::make_unique<QVSourceFileViewController>();
        list->setFileChooser(env->chooser);
        list->resize(640, 400);
        list->show();
    }
    void cleanup() {
        list.reset();
        env.reset();
    }

    void addsThroughTheOpenDialog() {
        env->chooser->files = {env->pdf("a.pdf"), env->pdf("b.pdf")};
        list->sourceFileBrowse();
        QTRY_COMPARE(listedNames(*list), (QStringList{"a.pdf", "b.pdf"}));
        QVERIFY(list->nv_emptyMsg()->isHidden());
        // Cancelling the dialog changes nothing.
        env->chooser->files.clear();
        list->sourceFileBrowse();
        QTest::qWait(600);
        QCOMPARE(listedNames(*list), (QStringList{"a.pdf", "b.pdf"}));
    }

    void dropsFileUrlsBetweenRows() {
        addPlain({"a.pdf", "b.pdf", "c.pdf"});
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(env->pdf("x.pdf")), QUrl::fromLocalFile(env->pdf("y.pdf"))});
        QVERIFY(mime.hasFormat("text/uri-list"));
        QVSourceFileListModel* m = list->model();
        // Onto a row is refused; between rows 1 and 2 is taken.
        QVERIFY(!m->canDropMimeData(&mime, Qt::CopyAction, -1, -1, m->index(1)));
        QVERIFY(m->dropMimeData(&mime, Qt::CopyAction, 1, 0, {}));
        QCOMPARE(listedNames(*list), (QStringList{"a.pdf", "x.pdf", "y.pdf", "b.pdf", "c.pdf"}));
        // A dropped folder is turned away by the check.
        QMimeData folder;
        folder.setUrls({QUrl::fromLocalFile(QString::fromStdString(env->dir))});
        QVERIFY(m->dropMimeData(&folder, Qt::CopyAction, 0, 0, {}));
        QTRY_VERIFY(list->win_unsupported()->isVisible());
        list->discardUnsupportedFile();
        QTRY_VERIFY(!list->isChecking());
        QCOMPARE(list->ma_sourceItems().size(), size_t(5));
    }

    void movesRowsKeepingTheGap_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("dropRow");
        QTest::addColumn<QString>("order");
        QTest::newRow("two rows to the top") << 5 << QList<int>{1, 3} << 0 << "1 3 0 2 4";
        // The moved row above the gap reduces the insertion index.
        QTest::newRow("first row above the fourth") << 4 << QList<int>{0} << 3 << "1 2 0 3";
        QTest::newRow("to the end") << 4 << QList<int>{1} << 4 << "0 2 3 1";
        QTest::newRow("rows around the gap") << 5 << QList<int>{0, 4} << 2 << "1 0 4 2 3";
        QTest::newRow("into its own gap") << 3 << QList<int>{1} << 1 << "0 1 2";
    }
    void movesRowsKeepingTheGap() {
        QFETCH(int, count);
        QFETCH(QList<int>, rows);
        QFETCH(int, dropRow);
        QFETCH(QString, order);
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QString::number(i) + ".pdf";
        addPlain(names);
        QVSourceFileListModel* m = list->model();
        QModelIndexList indexes;
        for (int r : rows)
            indexes << m->index(r);
        std::unique_ptr<QMimeData> mime(m->mimeData(indexes));
        m->dropMimeData(mime.get(), Qt::MoveAction, dropRow, 0, {});
        QStringList got;
        for (const QString& n : listedNames(*list))
            got << n.chopped(4);
        QCOMPARE(got.join(' '), order);
        // The moved rows are the selection, in their new place.
        QCOMPARE(static_cast<int>(list->selectedItems().size()), static_cast<int>(rows.size()));
    }

    void asksForPasswordsAndTurnsAwayNonPdfs() {
        const QString locked = env->pdf("locked.pdf", 1, fixtures::Encryption{"user", "owner", true});
        const QString text = env->path("notes.pdf");
        std::ofstream(text.toStdString()) << "not a pdf";
        const QString plain = env->pdf("plain.pdf");
        list->addFilesToCheckQueue({locked, text, plain});
        QTRY_VERIFY(list->win_inputPassword()->isVisible());
        QVERIFY(list->ma_sourceItems().empty());

        QLineEdit* field = list->tf_inputPassword_inputPassowrd();
        QTest::keyClicks(field, "wrong");
        list->finishInputPassword();
        QVERIFY(list->win_inputPassword()->isVisible());
        QVERIFY(list->tf_inputPassword_passwordInfo()->isVisibleTo(list->win_inputPassword()));
        // Typing again hides the message.
        QTest::keyClick(field, Qt::Key_Backspace);
        QVERIFY(!list->tf_inputPassword_passwordInfo()->isVisibleTo(list->win_inputPassword()));
        field->clear();
        QTest::keyClicks(field, "user");
        list->finishInputPassword();
        QTRY_VERIFY(list->win_unsupported()->isVisible());
        QVERIFY(!list->win_inputPassword()->isVisible());
        list->openCheckSourceItem();
        QCOMPARE(env->workspace->opened, QStringList{text});
        QVERIFY(list->win_unsupported()->isVisible());
        list->discardUnsupportedFile();
        QTRY_COMPARE(listedNames(*list), (QStringList{"locked.pdf", "plain.pdf"}));
        QCOMPARE(list->ma_sourceItems()[0]->sourcePassword().value_or(""), std::string("user"));
    }

    void printingRestrictionNeedsTheOwnerPassword() {
        const QString noPrint = env->pdf("noprint.pdf", 1, fixtures::Encryption{"user", "owner", false});
        list->addFilesToCheckQueue({noPrint});
        QTRY_VERIFY(list->win_inputPassword()->isVisible());
        // The user password opens it but printing stays forbidden.
        QTest::keyClicks(list->tf_inputPassword_inputPassowrd(), "user");
        list->finishInputPassword();
        QVERIFY(list->win_inputPassword()->isVisible());
        list->tf_inputPassword_inputPassowrd()->setText("owner");
        list->finishInputPassword();
        QTRY_COMPARE(listedNames(*list), QStringList{"noprint.pdf"});
    }

    void cancellingDropsOnlyThatFile() {
        const QString locked = env->pdf("locked.pdf", 1, fixtures::Encryption{"user", "owner", true});
        list->addFilesToCheckQueue({env->pdf("a.pdf"), locked, env->pdf("b.pdf")});
        QTRY_VERIFY(list->win_inputPassword()->isVisible());
        list->cancelInputPassword();
        QTRY_COMPARE(listedNames(*list), (QStringList{"a.pdf", "b.pdf"}));
    }

    void batchesWaitTheirTurn() {
        const QString locked = env->pdf("locked.pdf", 1, fixtures::Encryption{"user", "owner", true});
        addPlain({"first.pdf"});
        list->addFilesToCheckQueue({locked, env->pdf("a.pdf")});
        QTRY_VERIFY(list->win_inputPassword()->isVisible());
        // Two more batches while the sheet is up: a handed-over file and a drop.
        list->addFilesToCheckQueue({env->pdf("b.pdf")});
        list->addDroppedFilesToCheckQueue({env->pdf("c.pdf")}, 0);
        list->tf_inputPassword_inputPassowrd()->setText("user");
        list->finishInputPassword();
        QTRY_VERIFY(!list->isChecking());
        QCOMPARE(listedNames(*list), (QStringList{"c.pdf", "first.pdf", "locked.pdf", "a.pdf", "b.pdf"}));
    }

    void removalKeepsTheSelectedRowIndex() {
        addPlain({"0.pdf", "1.pdf", "2.pdf", "3.pdf", "4.pdf"});
        list->selectTableRowWithItem(list->ma_sourceItems()[4]);
        list->sourceFileRemoveItemFromQueue();
        QCOMPARE(list->selectedItem(), list->ma_sourceItems()[3]);
        list->selectTableRowWithItem(list->ma_sourceItems()[2]);
        list->removeItemsFromTable({list->ma_sourceItems()[0]});
        // Same row, now the next item.
        QCOMPARE(listedNames(*list), (QStringList{"1.pdf", "2.pdf", "3.pdf"}));
        QCOMPARE(list->selectedItem(), list->ma_sourceItems()[2]);
        list->sourceFileRemoveAllFromQueue();
        QVERIFY(!list->selectedItem());
        QVERIFY(!list->nv_emptyMsg()->isHidden());
    }
};

std::unique_ptr<QObject> makeSourceListTest() { return std::make_unique<SourceListTest>(); }

#include "SourceListTest.moc"
