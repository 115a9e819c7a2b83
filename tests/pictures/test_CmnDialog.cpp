#include "CmnDialog.h"
#include "CoverChooser.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmPic.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

// The real dialog, driven while it is open (its preview pane is in test_e2e_cover).
class TestCmnDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void emptyArgumentsGetDefaults();
    void filterIgnoresLetterCase();
};

void TestCmnDialog::cleanup()
{
    CmnDialog::Reset();
    ModalWaiter::CloseAllModals();
}

void TestCmnDialog::emptyArgumentsGetDefaults()
{
    QString filter;
    QString folder;
    QString title;
    ModalWaiter waiter;
    QString shownTitle;
    QStringList shownFilters;
    QString shownFolder;
    bool hasPane = true;
    waiter.Expect<QFileDialog>([&](QFileDialog *dialog) {
        shownTitle = dialog->windowTitle();
        shownFilters = dialog->nameFilters();
        shownFolder = dialog->directory().absolutePath();
        hasPane = dialog->findChild<frmPic *>() != nullptr;
        dialog->reject();
    });
    const QString chosen = CmnDialog::ShowOpenDialog(nullptr, filter, {}, folder, title, false);
    QVERIFY(!waiter.Failed());
    QVERIFY(chosen.isEmpty());
    // The caller sees the defaults the dialog used.
    QCOMPARE(filter, QStringLiteral("All Files (*)"));
    QCOMPARE(folder, QStringLiteral("/"));
    QCOMPARE(title, QStringLiteral("Reelvane"));
    QCOMPARE(shownTitle, QStringLiteral("Reelvane"));
    QCOMPARE(shownFilters, QStringList{QStringLiteral("All Files (*)")});
    QCOMPARE(shownFolder, QStringLiteral("/"));
    QVERIFY(!hasPane);
}

void TestCmnDialog::filterIgnoresLetterCase()
{
    TestFolder folder;
    QVERIFY(folder.IsValid());
    const QString shots = folder.Path() + QStringLiteral("/camera");
    QVERIFY(QDir().mkpath(shots));
    for (const QString &name : {QStringLiteral("DSC0001.JPG"), QStringLiteral("scan.Png"),
                                QStringLiteral("old.bmp"), QStringLiteral("photo.jpeg"),
                                QStringLiteral("notes.txt"), QStringLiteral("movie.MP4")}) {
        QFile file(shots + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QString filter = CoverChooser::ImageFilter();
    QString start = shots;
    QString title = CoverChooser::DialogTitle();
    QStringList listed;
    ModalWaiter waiter;
    waiter.Expect<QFileDialog>([&](QFileDialog *dialog) {
        auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
        if (list) {
            // The folder is read in the background.
            QTRY_VERIFY_WITH_TIMEOUT(list->model()->rowCount(list->rootIndex()) > 0, 3000);
            QTest::qWait(100);
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                listed << list->model()->index(row, 0, list->rootIndex()).data().toString();
        }
        dialog->reject();
    });
    CmnDialog::ShowOpenDialog(nullptr, filter, QFileDialog::ReadOnly, start, title, true);
    QVERIFY(!waiter.Failed());
    listed.sort();
    QCOMPARE(listed, (QStringList{QStringLiteral("DSC0001.JPG"), QStringLiteral("old.bmp"),
                                  QStringLiteral("photo.jpeg"), QStringLiteral("scan.Png")}));
}

QTEST_MAIN(TestCmnDialog)
#include "test_CmnDialog.moc"
