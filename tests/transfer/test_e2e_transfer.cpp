// The File menu's Export Titles and Import Titles through the real windows: the preview,
// the progress window and its Cancel, and the list refreshed after an import.
#include "Application.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "TransferCommands.h"
#include "TransferProgress.h"
#include "frmImportPreview.h"
#include "frmMain.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

void addTitles(TestFolder &folder, int count, const QString &prefix)
{
    folder.Exec("BEGIN");
    for (int i = 0; i < count; ++i)
        folder.AddTitle({.title = QString("%1 %2").arg(prefix).arg(i, 5, 10, QChar('0')),
                         .summary = QString("Summary, \"quoted\"\nover lines. ").repeated(20),
                         .wishList = i % 3 == 0 ? 1 : 0,
                         .genres = {"Drama", "Crime"},
                         .cast = {{"Actor A", "Role; one"}, {"Actor-B", "Role \"two\""}}});
    folder.Exec("COMMIT");
}

QStringList entriesOf(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Presses Cancel in the progress window as soon as it shows.
void cancelProgress(ModalWaiter &waiter)
{
    waiter.Expect<QProgressDialog>([](QProgressDialog *dialog) { dialog->cancel(); });
}

} // namespace

class TestE2eTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { TransferProgress::SetDelay(0); }
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
        TransferCommands::Reset();
        TransferProgress::SetDelay(1000);
    }

    void exportThenImport();
    void cancelExport();
    void cancelImport();
};

void TestE2eTransfer::exportThenImport()
{
    TestFolder from;
    addTitles(from, 40, "Film");
    const QString file = from.Path() + "/Reelvane titles.csv";
    {
        Application app(from.Path());
        app.Start();
        TransferCommands::SetNextPath(file);
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        app.MainWindow().mnuExport->trigger();
        QCOMPARE(MessageBox::Shown(), QStringList(QString("40 titles were exported to %1.").arg(file)));
    }
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBFTitle,Edition,Year,Directed By,Summary,Features,"
                             "Easter Eggs,Genres,Cast,List\r\n"));

    // Into an empty catalogue that already has one of the titles: it is shown as similar
    // and skipped.
    TestFolder to;
    to.AddTitle({.title = "FILM 00007", .subTitle = "", .summary = "mine"});
    Application app(to.Path());
    app.Start();
    MessageBox::Reset();
    TransferCommands::SetNextPath(file);
    ModalWaiter waiter;
    QString summary;
    int rows = 0;
    waiter.Expect<frmImportPreview>([&](frmImportPreview *preview) {
        summary = preview->lblSummary->text();
        rows = preview->RowsView->model()->rowCount();
        preview->cmdSkipSimilar->click();
    });
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    app.MainWindow().mnuImport->trigger();
    QVERIFY(waiter.Handled());
    QVERIFY2(summary.contains("40 titles will be added.\n1 row looks like a title already there "
                              "(in the catalogue or earlier in the file); Skip Similar adds only "
                              "the other 39 titles."),
             qPrintable(summary));
    QCOMPARE(rows, 40);
    QCOMPARE(MessageBox::Shown(), QStringList("39 titles were imported."));
    QCOMPARE(to.Scalar("SELECT Count(*) FROM DVD_Title").toInt(), 40);
    QCOMPARE(to.Scalar("SELECT Summary FROM DVD_Title WHERE Title = 'FILM 00007'").toString(),
             QString("mine"));
    QCOMPARE(to.Scalar("SELECT Count(*) FROM Cast_Relationships WHERE Character = 'Role \"two\"'")
                 .toInt(),
             39);
    // The list was refreshed: the Inventory shows the imported titles.
    QCOMPARE(app.MainWindow().RecordCount(),
             to.Scalar("SELECT Count(*) FROM DVD_Title WHERE WishList = 0").toInt());
}

void TestE2eTransfer::cancelExport()
{
    TestFolder folder;
    addTitles(folder, 3000, "Film");
    QTemporaryDir destination;
    Application app(folder.Path());
    app.Start();
    TransferCommands::SetNextPath(destination.path() + "/titles.csv");
    ModalWaiter waiter;
    cancelProgress(waiter);
    app.MainWindow().mnuExport->trigger();
    QVERIFY(waiter.Handled());
    QCOMPARE(MessageBox::Shown(), QStringList());
    QCOMPARE(entriesOf(destination.path()), QStringList()); // not even a temporary file
}

void TestE2eTransfer::cancelImport()
{
    TestFolder from;
    addTitles(from, 3000, "Film");
    const QString file = from.Path() + "/titles.csv";
    {
        Application app(from.Path());
        app.Start();
        TransferProgress::SetDelay(100000);
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        TransferCommands commands(app.Shared(), app.MainWindow());
        QVERIFY(commands.ExportTo(file));
        TransferProgress::SetDelay(0);
    }
    TestFolder to;
    to.AddTitle({.title = "Mine"});
    const auto before = to.Rows("SELECT * FROM DVD_Title");
    const auto genresBefore = to.Rows("SELECT * FROM Genre");
    Application app(to.Path());
    app.Start();
    MessageBox::Reset();
    TransferCommands::SetNextPath(file);
    // The file's reading shows progress too: let it run, then cancel the writing.
    TransferProgress::SetDelay(100000);
    ModalWaiter waiter;
    waiter.Expect<frmImportPreview>([&waiter](frmImportPreview *preview) {
        TransferProgress::SetDelay(0);
        cancelProgress(waiter);
        preview->cmdAddAll->click();
    });
    app.MainWindow().mnuImport->trigger();
    QVERIFY(waiter.Handled());
    QVERIFY(!waiter.Failed());
    QCOMPARE(MessageBox::Shown(), QStringList());
    QCOMPARE(to.Rows("SELECT * FROM DVD_Title"), before);
    QCOMPARE(to.Rows("SELECT * FROM Genre"), genresBefore);
    QCOMPARE(to.Scalar("SELECT Count(*) FROM Cast_Relationships").toInt(), 0);
}

QTEST_MAIN(TestE2eTransfer)
#include "test_e2e_transfer.moc"
