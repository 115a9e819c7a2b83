// Statistics and the printed list: the counts on a catalogue of awkward text, the PDF read
// back with pdftotext, and one pass through each window.
#include "ListReport.h"
#include "ReportCommands.h"
#include "ReportStatements.h"
#include "Story.h"
#include "TestSeams.h"
#include "TitleCounts.h"
#include "frmStatistics.h"
#include "FileDialogAnswers.h"
#include "FindBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QImage>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTest>

namespace {

// Title (year, director(s), genres, cast, list). IDs follow this order, and the catalogue
// (NOCASE, A to Z only) puts "Émilie" last where the list shows it first.
void addCatalogue(TestFolder &folder)
{
    using T = TestFolder::Title;
    folder.AddTitle(T{.title = "Seven Samurai",
                      .date = "1954",
                      .director = "Akira Kurosawa",
                      .genres = {"Drama", "Action"},
                      .cast = {{"Toshirō Mifune", "Kikuchiyo"}, {"Takashi Shimura", "Kambei"}}});
    folder.AddTitle(T{.title = "Ran",
                      .date = "1985",
                      .director = "akira kurosawa",
                      .genres = {"Drama", "War"},
                      .cast = {{"Tatsuya Nakadai", "Hidetora"}, {"toshirō mifune", "x"}}});
    folder.AddTitle(T{.title = "Fargo",
                      .date = "1996",
                      .director = "Joel Coen, Ethan Coen",
                      .genres = {"Crime", "Drama"},
                      .cast = {{"Frances McDormand", "Marge"}}});
    folder.AddTitle(T{.title = "No Country for Old Men",
                      .date = " 2007 ",
                      .director = "Ethan Coen & Joel Coen",
                      .genres = {"Crime"},
                      .cast = {{"Javier Bardem", "Anton"}}});
    folder.AddTitle(T{.title = "Émilie",
                      .date = "",
                      .director = "Jean-Pierre Jeunet; Zoë Ødegaard",
                      .genres = {"Romance"},
                      .cast = {{"Audrey Tautou", "Amélie"}}});
    folder.AddTitle(T{.title = "東京物語",
                      .date = "19x3",
                      .director = "小津安二郎",
                      .genres = {"Drama"},
                      .cast = {{"原節子", "紀子"}}});
    folder.AddTitle(T{.title = "Ødegaard's \"Night\"",
                      .date = "1989",
                      .director = "ZOË ØDEGAARD",
                      .genres = {"Drama"},
                      .cast = {{"Zoë Ødegaard", "Herself"}}});
    folder.AddTitle(T{.title = "Twilight; Dawn",
                      .date = "1987",
                      .director = "Zoë Ødegaard / Akira Kurosawa",
                      .genres = {"War"},
                      .cast = {{"ZOË ØDEGAARD", "Her"}}});
    folder.AddTitle(
        T{.title = "x'); DROP TABLE DVD_Title; --", .date = QVariant(), .director = QVariant()});
    folder.AddTitle(T{.title = "Dreams",
                      .date = "1990",
                      .director = "Akira Kurosawa",
                      .wishList = 1,
                      .genres = {"Drama"},
                      .cast = {{"Akira Terao", "I"}}});
}

QString joined(const QVector<TitleCounts::Count> &counts)
{
    QStringList parts;
    for (const TitleCounts::Count &count : counts)
        parts << count.name + ' ' + QString::number(count.titles);
    return parts.join(", ");
}

// The PDF's text, page by page (pdftotext ends every page with a form feed).
QStringList pdfPages(const QString &file)
{
    QProcess process;
    process.start("pdftotext", {"-layout", file, "-"});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {"pdftotext failed: " + process.readAllStandardError()};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split('\f');
    pages.removeLast();
    return pages;
}

int pdfImages(const QString &file)
{
    QProcess process;
    process.start("pdfimages", {"-list", file});
    process.waitForFinished(30000);
    return int(process.readAllStandardOutput().count('\n')) - 2; // two heading lines
}

ReportScope scopeOf(int list, QVector<qint64> ids = {}, const QString &filter = {})
{
    return {list, !filter.isEmpty(), ids, filter};
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { TestSeams::ResetAll(); }
    void counts_data();
    void counts();
    void pdfReadBack_data();
    void pdfReadBack();
    void pdfCancelAndRefusal();
    void statisticsWindow();
    void printPreview();
};

void TestReports::counts_data()
{
    QTest::addColumn<ReportScope>("scope");
    QTest::addColumn<int>("titles");
    QTest::addColumn<QString>("genres");
    QTest::addColumn<QString>("decades"); // then "no year"
    QTest::addColumn<QString>("directors");
    QTest::addColumn<QString>("actors");

    QTest::newRow("inventory") << scopeOf(0) << 9 << "Drama 5, Crime 2, War 2, Action 1, Romance 1"
                               << "1950s 1, 1980s 3, 1990s 1, 2000s 1, no year 3"
                               << "Akira Kurosawa 3, Zoë Ødegaard 3, Ethan Coen 2, Joel Coen 2, "
                                  "Jean-Pierre Jeunet 1, 小津安二郎 1"
                               << "Toshirō Mifune 2, ZOË ØDEGAARD 2, Audrey Tautou 1, Frances "
                                  "McDormand 1, Javier Bardem 1, "
                                  "Takashi Shimura 1, Tatsuya Nakadai 1, 原節子 1";
    QTest::newRow("wishlist") << scopeOf(1) << 1 << QString("Drama 1") << "1990s 1, no year 0"
                              << QString("Akira Kurosawa 1") << "Akira Terao 1";
    QTest::newRow("both lists")
        << scopeOf(ReportStatements::AllLists) << 10
        << "Drama 6, Crime 2, War 2, Action 1, Romance 1"
        << "1950s 1, 1980s 3, 1990s 2, 2000s 1, no year 3"
        << "Akira Kurosawa 4, Zoë Ødegaard 3, Ethan Coen 2, Joel Coen 2, Jean-Pierre Jeunet 1, "
           "小津安二郎 1"
        << "Toshirō Mifune 2, ZOË ØDEGAARD 2, Akira Terao 1, Audrey Tautou 1, Frances McDormand 1, "
           "Javier Bardem 1, Takashi Shimura 1, Tatsuya Nakadai 1, 原節子 1";
    // Titles 1, 3 and 7 shown by a filter; 10 (the wish list's) is not in the list counted.
    QTest::newRow("filtered")
        << scopeOf(0, {7, 1, 3, 10}, "x") << 3 << "Drama 3, Action 1, Crime 1"
        << "1950s 1, 1980s 1, 1990s 1, no year 0"
        << "Akira Kurosawa 1, Ethan Coen 1, Joel Coen 1, ZOË ØDEGAARD 1"
        << "Frances McDormand 1, Takashi Shimura 1, Toshirō Mifune 1, Zoë Ødegaard 1";
}

void TestReports::counts()
{
    QFETCH(ReportScope, scope);
    QFETCH(int, titles);
    TestFolder folder;
    addCatalogue(folder);
    const TitleCounts counts = TitleCounts::Read(folder.MakeShared()->ConnectionString, scope);
    QCOMPARE(counts.titles, titles);
    QTEST(joined(counts.genres), "genres");
    QTEST(joined(counts.decades + QVector<TitleCounts::Count>{{"no year", counts.noYear}}),
          "decades");
    QTEST(joined(counts.directors), "directors");
    QTEST(joined(counts.actors), "actors");
    QCOMPARE(joined(counts.lists), QString("Inventory 9, Wishlist 1"));
}

void TestReports::pdfReadBack_data()
{
    QTest::addColumn<int>("extra");     // plain titles added to the catalogue
    QTest::addColumn<bool>("wishlist"); // the list shown
    QTest::addColumn<QString>("find");  // the find box's text
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("pages");

    const QString longTitle = [] {
        QString text;
        for (int i = 0; text.size() < 10000; ++i)
            text += QString("Word%1 ").arg(i, 4, 10, QChar('0'));
        return text.left(10000);
    }();
    // 東京物語 last: no CJK font here.
    QTest::newRow("inventory, in the list's order")
        << 0 << false << ""
        << QString("Émilie|Fargo|No Country for Old Men|Ran|Seven Samurai|Twilight; Dawn|x'); "
                   "DROP TABLE|Ødegaard's \"Night\"")
               .split('|')
        << 1;
    QTest::newRow("found by the find box")
        << 0 << false << "kurosawa" << QStringList{"Ran", "Seven Samurai", "Twilight; Dawn"} << 1;
    QTest::newRow("empty wish list") << -1 << true << "" << QStringList{"No titles"} << 1;
    QTest::newRow("a 10,000-character title") << -2 << false << "" << QStringList{longTitle} << 0;
    QTest::newRow("120 titles over pages")
        << 120 << false << "" << QStringList{"Title 000", "Title 119"} << 0;
}

void TestReports::pdfReadBack()
{
    QFETCH(int, extra);
    QFETCH(QStringList, order);
    QFETCH(bool, wishlist);
    QFETCH(QString, find);
    QFETCH(int, pages);
    ProgramFixture program;
    if (extra >= 0)
        addCatalogue(program.folder);
    for (int i = 0; i < extra; ++i)
        program.folder.AddTitle({.title = QString("Title %1").arg(119 - i, 3, 10, QChar('0'))});
    if (extra == -2)
        program.folder.AddTitle({.title = order.first()});
    program.start();
    if (wishlist)
        program.main().OptionWishList[1]->click();
    if (!find.isEmpty()) {
        program.main().Find->txtFind->setText(find);
        program.main().Find->ApplyNow();
    }

    const QString file = program.folder.Path() + "/list.pdf";
    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::No); // without covers
    FileDialogAnswers::SetNext(file);
    program.main().mnuExportPdf->trigger();
    QVERIFY2(MessageBox::Shown().size() == 1, qPrintable(MessageBox::Shown().join('|')));
    const QStringList text = pdfPages(file);
    QVERIFY(!text.isEmpty());

    // Every page: the heading, the date, the number of titles, "Page n of N".
    const int shown = program.main().RecordCount();
    const QString heading = QString("Reelvane — ") + (wishlist ? "Wishlist" : "Inventory")
                            + (find.isEmpty() ? QString() : ", found by “" + find + "”");
    for (int page = 0; page < text.size(); ++page) {
        QVERIFY2(text[page].contains(heading), qPrintable(text[page].left(300)));
        QVERIFY(text[page].contains(ListReport::DateText(QDate::currentDate())));
        QVERIFY(text[page].contains(ReportScope::Titles(shown)));
        QVERIFY2(text[page].contains(QString("Page %1 of %2").arg(page + 1).arg(text.size())),
                 qPrintable(text[page].right(200)));
    }
    if (pages > 0)
        QCOMPARE(text.size(), pages);
    else
        QVERIFY(text.size() > 1);
    // The titles in the order shown, whole: word after word (a long one wraps over lines
    // and pages, beside the other columns).
    const QString all = text.join("");
    qsizetype at = 0;
    for (const QString &title : order)
        for (const QString &word : title.split(' ', Qt::SkipEmptyParts)) {
            const qsizetype found = all.indexOf(word, at);
            QVERIFY2(found >= 0,
                     qPrintable(word + " of " + title.left(40) + " missing or out of order"));
            at = found + word.size();
        }
}

void TestReports::pdfCancelAndRefusal()
{
    ProgramFixture program;
    addCatalogue(program.folder);
    // A cover that is not a picture is left out, a real one is put in.
    program.folder.WriteImageFile("1.jpg", "not a picture at all");
    program.folder.WritePicture("3.jpg", "JPG", 120, 170);
    program.start();
    ReportCommands commands(program.shared(), program.main());
    const QString file = program.folder.Path() + "/list.pdf";
    QVERIFY(commands.ExportPdfTo(file, true, {}));
    QCOMPARE(pdfImages(file), 1);
    QVERIFY(pdfPages(file).join("").contains("Seven Samurai"));

    // Cancel half way: the older file stays as it was, nothing else is left.
    const QByteArray before = TestFolder::ReadFile(file);
    int steps = 0;
    QVERIFY(!commands.ExportPdfTo(file, false, [&steps](qint64, qint64) { return ++steps < 2; }));
    QVERIFY(steps >= 2);
    QCOMPARE(TestFolder::ReadFile(file), before);
    QCOMPARE(QDir(program.folder.Path()).entryList({"*.pdf*"}, QDir::Files | QDir::Hidden),
             QStringList{"list.pdf"});

    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    const QString nowhere = program.folder.Path() + "/no such folder/list.pdf";
    QVERIFY(!commands.ExportPdfTo(nowhere, false, {}));
    QVERIFY(
        MessageBox::Shown().value(0).startsWith("The list could not be exported to " + nowhere));
    QVERIFY(!QFile::exists(nowhere));
}

void TestReports::statisticsWindow()
{
    ProgramFixture program;
    addCatalogue(program.folder);
    program.start();
    program.main().Find->txtFind->setText("kurosawa");
    program.main().Find->ApplyNow();
    const QString png = program.folder.Path() + "/chart.png";
    QString scope, genres;
    int titles = 0, allTitles = 0;
    QSize viewSize;
    ModalWaiter waiter;
    waiter.Expect<frmStatistics>([&](frmStatistics *window) {
        scope = window->cmbScope->currentText();
        titles = int(window->Counts().titles);
        for (const QStringList &row : window->ShownFigures())
            genres += row.join(' ') + ';';
        window->cmbScope->setCurrentIndex(window->cmbScope->count() - 1); // both lists
        allTitles = int(window->Counts().titles);
        window->tabCharts->setCurrentIndex(frmStatistics::Decades);
        FileDialogAnswers::SetNext(png);
        window->cmdSaveChart->click();
        viewSize = window->tabCharts->currentWidget()->findChild<QWidget *>()->size();
        window->cmdClose->click();
    });
    program.main().mnuStatistics->trigger();
    QVERIFY(waiter.Handled());
    QCOMPARE(scope, QString("Inventory, found by “kurosawa”"));
    QCOMPARE(titles, 3);
    QCOMPARE(genres, QString("Drama 2;War 2;Action 1;"));
    QCOMPARE(allTitles, 10);
    const QImage chart(png);
    QVERIFY(!chart.isNull());
    QCOMPARE(chart.size(), viewSize);
}

void TestReports::printPreview()
{
    ProgramFixture program;
    addCatalogue(program.folder);
    program.start();
    int pages = 0;
    ModalWaiter waiter;
    waiter.Expect<QPrintPreviewDialog>([&pages](QPrintPreviewDialog *dialog) {
        pages = dialog->findChild<QPrintPreviewWidget *>()->pageCount();
        dialog->reject();
    });
    MessageBox::SetNextAnswer(QMessageBox::No);
    program.main().mnuPrintList->trigger();
    QVERIFY(waiter.Handled());
    QCOMPARE(pages, 1);
}

QTEST_MAIN(TestReports)
#include "test_reports.moc"
