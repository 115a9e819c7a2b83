// The File menu's Export Titles, Import Titles and Back Up Catalogue through the whole
// program: dialogs answered, what each says, the list refreshed. What they write and refuse
// is tested on the core (tests/core).
#include "FileDialogAnswers.h"
#include "ImportPlan.h"
#include "Story.h"
#include "TransferCommands.h"
#include "ForeignCsv.h"
#include "frmImportColumns.h"
#include "frmImportPreview.h"
#include "TestSeams.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProgressDialog>
#include <QSettings>
#include <QTableWidget>
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
    void otherProgramsFiles();
    void previewWords_data();
    void previewWords();
};

void TestTransfer::previewWords_data()
{
    QTest::addColumn<QByteArray>("rows"); // after "Title,Year,Genres", against "Alien" and Drama
    QTest::addColumn<QString>("words");   // the summary, then the genres line
    QTest::newRow("every row similar")
        << QByteArray("Alien,1979,\r\nalien,1979,\r\n")
        << "All 2 rows look like titles already there (in the catalogue or earlier in the file): "
           "Add All adds them anyway.\nNo new genres are needed.";
    QTest::newRow("some similar, odd years, genres with commas")
        << QByteArray("Alien,1979,\r\nBrazil,c. 1985,\"Rom, Com; Sci Fi;drama\"\r\nBrazil,,\r\n")
        << "3 titles will be added.\n2 rows look like titles already there (in the catalogue or "
           "earlier in the file); Skip Similar adds only the other 1 title.\n2 rows keep their "
           "year as written, empty or not four digits (the Year rows below).\n"
           "Genres to be created: \u201CRom, Com\u201D, \u201CSci Fi\u201D";
    QTest::newRow("a long title") << QByteArray("The Discreet Charm of the Bourgeoisie,1972,\r\n")
                                  << "1 title will be added.\nNo new genres are needed.";
}

// What the preview says before anything is added.
void TestTransfer::previewWords()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, words);
    TitleTransfer::Existing existing;
    existing.titleKeys << TitleTransfer::SimilarKey("Alien", "");
    existing.genres.insert(TitleTransfer::GenreKey("Drama"), "Drama");
    ImportPlan plan;
    QVERIFY(plan.Analyse("Title,Year,Genres\r\n" + rows, existing,
                         [](qint64, qint64) { return true; }));
    frmImportPreview preview(plan, "titles.csv");
    const QString shown = preview.lblSummary->text() + "\n" + preview.lblGenres->text();
    QCOMPARE(shown, "From titles.csv:\n" + words);
    // No title cut: its column fits the longest.
    const QAbstractItemModel &shownRows = *preview.RowsView->model();
    for (int row = 0; row < shownRows.rowCount(); ++row)
        QVERIFY(preview.RowsView->columnWidth(2)
                > preview.RowsView->fontMetrics().horizontalAdvance(
                    shownRows.index(row, 2).data().toString()));
}

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
    waiter.Expect<frmImportPreview>([&](frmImportPreview *preview) {
        summary = preview->lblSummary->text();
        // Another program rewrites the file, shorter, while the preview is open: the rows
        // checked are the rows written.
        QVERIFY(TestFolder::WriteFile(file, "Title,Year\r\nZed,19x9\r\n"));
        preview->cmdSkipSimilar->click();
    });
    QCOMPARE(fromMenu(program.main().mnuImport, file), QString("2 titles were imported."));
    QVERIFY2(summary.contains("Skip Similar adds only the other 2 titles"), qPrintable(summary));
    QCOMPARE(program.folder.Scalar("SELECT Summary FROM DVD_Title WHERE Title = 'Alien'"),
             QVariant("mine"));
    QCOMPARE(program.main().RecordCount(), 3); // the list was refreshed
    QCOMPARE(program.folder.Scalar("SELECT COUNT(*) FROM DVD_Title WHERE Title = 'Zed'").toInt(),
             0);

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
    QTest::qWait(1200); // a progress window never comes after its work
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<QProgressDialog *>(window) || !window->isVisible(),
                 qPrintable(window->windowTitle()));
    QVERIFY(TestFolder::ReadFile(file).startsWith("\xEF\xBB\xBFTitle,Edition,Year,"));
    program.folder.WriteImageFile("1.jpg", "a cover");
    const QString backedUp = fromMenu(program.main().mnuBackup, destination.path());
    QVERIFY2(backedUp.startsWith("The catalogue and its cover were backed up to\r\n"
                                 + QDir::toNativeSeparators(destination.path())
                                 + "/Reelvane backup "),
             qPrintable(backedUp)); // the two fixed pictures are no covers
}

void TestTransfer::otherProgramsFiles()
{
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    ProgramFixture program;
    program.start();
    // A spreadsheet's semicolon-separated export in Windows-1252, one column the matching
    // step cannot guess.
    const QString sheet = program.folder.Path() + "/liste.csv";
    QVERIFY(TestFolder::WriteFile(sheet, "Titel;Jahr;Regie;Darsteller;Bewertung\r\n"
                                         "Das Boot;1981;Wolfgang Petersen;J\xfcrgen Prochnow as "
                                         "Der Alte;5\r\nAm\xe9lie;25.04.2001;;;4\r\n"));
    QString matching;
    QString summary;
    ModalWaiter preview;
    ModalWaiter columns;
    columns.Expect<frmImportColumns>([&](frmImportColumns *step) {
        matching = step->cmbSeparator->currentText() + " " + step->cmbEncoding->currentText();
        for (int c = 0; c < step->ColumnsGrid->columnCount(); ++c)
            matching += " " + step->FieldBox(c)->currentText();
        matching += " " + step->ColumnsGrid->item(2, 0)->text();
        step->FieldBox(0)->setCurrentIndex(0); // no Title: Next is off
        matching += step->cmdNext->isEnabled() ? " on" : " off";
        step->FieldBox(0)->setCurrentText("Title");
        step->FieldBox(3)->setCurrentText("Cast");
        preview.Expect<frmImportPreview>([&summary](frmImportPreview *window) {
            summary = window->lblSummary->text();
            window->cmdAddAll->click();
        });
        step->cmdNext->click();
    });
    QCOMPARE(fromMenu(program.main().mnuImport, sheet), QString("2 titles were imported."));
    QCOMPARE(matching, QString("Semicolon Windows-1252 (Western) Title Year Director(s) "
                               "Do not import Do not import Amélie off"));
    QVERIFY2(summary.contains("1 title is added with something left empty")
                 && summary.endsWith("Columns ignored: Bewertung"),
             qPrintable(summary));
    QCOMPARE(
        program.folder.Rows("SELECT Title, Date, Director FROM DVD_Title ORDER BY ID"),
        (QVector<QVariantList>{{"Das Boot", "1981", "Wolfgang Petersen"}, {"Amélie", "2001", ""}}));
    QCOMPARE(program.folder.Scalar("SELECT Actor || '/' || Character FROM Cast_Relationships"),
             QVariant("Jürgen Prochnow/Der Alte"));
    QCOMPARE(ForeignCsv::Remembered("DARSTELLER"), ForeignCsv::Field::Cast);

    // A collection file with a real picture: the cover is the title's.
    const QByteArray png = TestFolder::PictureBytes("PNG", 30, 40, Qt::red);
    const QString collection = program.folder.Path() + "/films.tc";
    QVERIFY(TestFolder::WriteFile(
        collection,
        TestFolder::Zip(
            {{"tellico.xml", "<?xml version=\"1.0\"?><tellico><collection type=\"3\"><entry>"
                             "<title>Brazil</title><year>1985</year><cover>b.png</cover></entry>"
                             "</collection></tellico>"},
             {"images/b.png", png}})));
    preview.Expect<frmImportPreview>([&summary](frmImportPreview *window) {
        summary = window->lblSummary->text();
        window->cmdAddAll->click();
    });
    QCOMPARE(fromMenu(program.main().mnuImport, collection), QString("1 title was imported."));
    QVERIFY2(summary.contains("1 title comes with a cover picture"), qPrintable(summary));
    const QString id =
        program.folder.Scalar("SELECT ID FROM DVD_Title WHERE Title = 'Brazil'").toString();
    QCOMPARE(TestFolder::ReadFile(program.folder.ImagesPath() + "/" + id + ".jpg"), png);
    QCOMPARE(program.main().RecordCount(), 3);
}

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
