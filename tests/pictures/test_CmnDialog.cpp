#include "CmnDialog.h"
#include "CoverChooser.h"
#include "ModalWaiter.h"
#include "SampleGif.h"
#include "TestFolder.h"
#include "frmPic.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

// The real dialog, driven while it is open.
class TestCmnDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void emptyArgumentsGetDefaults();
    void previewFollowsNamedFile();
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

void TestCmnDialog::previewFollowsNamedFile()
{
    TestFolder folder;
    QVERIFY(folder.IsValid());
    folder.WritePicture(QStringLiteral("wide.png"), "PNG", 300, 200);
    const QString tall = folder.Path() + QStringLiteral("/tall.gif");
    QVERIFY(WriteSampleGif(tall));
    QFile text(folder.ImagesPath() + QStringLiteral("/readme.jpg"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("just some text, not a picture");
    text.close();

    QString filter = CoverChooser::ImageFilter();
    QString start = folder.ImagesPath();
    QString title = CoverChooser::DialogTitle();
    QStringList steps;
    ModalWaiter waiter;
    waiter.Expect<QFileDialog>([&](QFileDialog *dialog) {
        auto *pane = dialog->findChild<frmPic *>();
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!pane || !name) {
            steps << QStringLiteral("no pane or no name box");
            dialog->reject();
            return;
        }
        auto facts = [pane] {
            const QString said = pane->Image1->text();
            return pane->lblh->text() + QLatin1Char('|') + pane->lblw->text()
                   + (pane->Image1->pixmap().isNull() ? QString() : QStringLiteral("|picture"))
                   + (said.isEmpty() ? QString() : QLatin1Char('|') + said);
        };
        // The pane polls the dialog: wait until it shows something new (or a while).
        auto record = [&](bool expectChange) {
            const QString before = steps.isEmpty() ? QString() : steps.last();
            if (expectChange)
                (void)QTest::qWaitFor([&] { return facts() != before; }, 3000);
            else
                QTest::qWait(200);
            steps << facts();
        };
        record(false);
        // A click on a file in the list, once the folder has been read. (selectFile
        // would do nothing here: it leaves a name box that has the focus alone.)
        auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
        const auto item = [list](const QString &fileName) {
            const QModelIndex root = list->rootIndex();
            for (int row = 0; row < list->model()->rowCount(root); ++row)
                if (list->model()->index(row, 0, root).data().toString() == fileName)
                    return list->model()->index(row, 0, root);
            return QModelIndex();
        };
        const QString wide = QStringLiteral("wide.png");
        if (list && QTest::qWaitFor([&] { return item(wide).isValid(); }, 3000))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(item(wide)).center());
        record(true);
        // Typing a name that names nothing keeps the last picture.
        name->clear();
        QTest::keyClicks(name, QStringLiteral("missing.png"));
        record(false);
        // A typed full path to a picture elsewhere.
        name->setText(tall);
        record(true);
        // A file that is not a picture: said so, and the dialog stays usable.
        name->setText(QStringLiteral("readme.jpg"));
        record(true);
        name->setText(QStringLiteral("wide.png"));
        record(true);
        dialog->reject();
    });
    const QString chosen = CmnDialog::ShowOpenDialog(nullptr, filter, QFileDialog::ReadOnly, start,
                                                     title, true);
    QVERIFY(!waiter.Failed());
    QVERIFY(chosen.isEmpty());
    const QStringList expected{
        QStringLiteral("Height : Not Available|Width : Not Available"),
        QStringLiteral("Image Height : 200 Pixels|Image Width : 300 Pixels|picture"),
        QStringLiteral("Image Height : 200 Pixels|Image Width : 300 Pixels|picture"),
        QStringLiteral("Image Height : 90 Pixels|Image Width : 40 Pixels|picture"),
        QStringLiteral("Height : Not Available|Width : Not Available|not a picture"),
        QStringLiteral("Image Height : 200 Pixels|Image Width : 300 Pixels|picture"),
    };
    QCOMPARE(steps, expected);
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
