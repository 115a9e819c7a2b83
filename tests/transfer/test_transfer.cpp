// The File menu's Export Titles, Import Titles and Back Up Catalogue through the whole
// program: dialogs answered, what each says, the list refreshed. What they write and refuse
// is tested on the core (tests/core).
#include "FileDialogAnswers.h"
#include "Story.h"
#include "TransferCommands.h"
#include "frmImportPreview.h"
#include "TestSeams.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// A File menu command, its dialog answered with path; the messages it showed.
QString fromMenu(QAction *command, const QString &path)
{
    MessageBox::Reset();
    FileDialogAnswers::SetNext(path);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    command->trigger();
    return MessageBox::Shown().join("\n");
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        TestSeams::ResetAll();
    }

    void fromTheMenu();
};

void TestTransfer::fromTheMenu()
{
    ProgramFixture program;
    // Stored without an edition (Null), as older catalogues hold it: like one exported as "".
    program.folder.AddTitle({.title = "Alien", .subTitle = QVariant(), .summary = "mine"});
    program.start();
    const QString file = program.folder.Path() + "/titles.csv";
    QVERIFY(TestFolder::WriteFile(
        file, "Title,Year,Summary\r\nAlien,1979,theirs\r\nBrazil,1985,\r\nVertigo,1958,\r\n"));
    QString summary;
    ModalWaiter waiter;
    waiter.Expect<frmImportPreview>([&summary](frmImportPreview *preview) {
        summary = preview->lblSummary->text();
        preview->cmdSkipSimilar->click();
    });
    QCOMPARE(fromMenu(program.main().mnuImport, file), QString("2 titles were imported."));
    QVERIFY2(summary.contains("Skip Similar adds only the other 2 titles"), qPrintable(summary));
    QCOMPARE(program.folder.Scalar("SELECT Summary FROM DVD_Title WHERE Title = 'Alien'"),
             QVariant("mine"));
    QCOMPARE(program.main().RecordCount(), 3); // the list was refreshed

    // Export and backup, refused (no such folder), not asked for, and made.
    QTemporaryDir destination;
    const QString missing = destination.path() + "/missing";
    const QString shown = fromMenu(program.main().mnuExport, missing + "/titles.csv")
                          + fromMenu(program.main().mnuExport, "")
                          + fromMenu(program.main().mnuBackup, missing);
    QVERIFY2(
        shown.startsWith("The titles could not be exported to " + missing + "/titles.csv:")
            && shown.endsWith("No backup was made:\r\nThe folder " + missing + " does not exist."),
        qPrintable(shown));
    QCOMPARE(fromMenu(program.main().mnuExport, file), "3 titles were exported to " + file + ".");
    QVERIFY(TestFolder::ReadFile(file).startsWith("\xEF\xBB\xBFTitle,Edition,Year,"));
    const QString backedUp = fromMenu(program.main().mnuBackup, destination.path());
    QVERIFY2(backedUp.startsWith("The catalogue and its 2 pictures were backed up to\r\n"
                                 + QDir::toNativeSeparators(destination.path())
                                 + "/Reelvane backup "),
             qPrintable(backedUp)); // the two fixed pictures
}

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
