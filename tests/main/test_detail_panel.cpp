// The detail panel of the active title: texts, genre line, cast grid, cover picture.
#include "MainWindowFixture.h"
#include "frmMain.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

class TestDetailPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void genreLine_data();
    void genreLine();
    void textsOfTheTitle();
    void nullFieldsEmptyTheControls();
    void easterEggsTabFollowsTitles();
    void emptyWishlistShowsNothing();
    void castGrid();
    void cover_data();
    void cover();
};

void TestDetailPanel::genreLine_data()
{
    QTest::addColumn<QStringList>("genres");
    QTest::newRow("none") << QStringList();
    QTest::newRow("one") << QStringList{"Drama"};
    QTest::newRow("three") << QStringList{"Drama", "Thriller", "War"};
    QTest::newRow("apostrophe") << QStringList{"Children's", "Film-Noir"};
}

void TestDetailPanel::genreLine()
{
    QFETCH(QStringList, genres);
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Other", .genres = {"Comedy"}});
    w.folder.AddTitle({.title = "Alpha", .genres = genres});
    w.load();
    // The database's order; compare as sets, the separators exactly.
    const QString line = w.main->txtGenreDisplay->text();
    QStringList shown = line.isEmpty() ? QStringList() : line.split(", ");
    QCOMPARE(line.count(", "), std::max(0, int(genres.size()) - 1));
    QVERIFY(!line.startsWith(", ") && !line.endsWith(", "));
    shown.sort();
    genres.sort();
    QCOMPARE(shown, genres);
}

void TestDetailPanel::textsOfTheTitle()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Heat", .subTitle = "Special", .date = "1995",
                       .director = "Michael Mann", .summary = "Line one\nLine two",
                       .features = "Commentary", .eggs = "Hidden trailer"});
    w.load();
    QCOMPARE(w.main->lblTitle->text(), QString("Heat"));
    QCOMPARE(w.main->lblDate->text(), QString("1995"));
    QCOMPARE(w.main->txtDirector->text(), QString("Michael Mann"));
    QCOMPARE(w.main->txtFeatures->toPlainText(), QString("Commentary"));
    QCOMPARE(w.main->txtMulti->toPlainText(), QString("Line one\nLine two"));
    QCOMPARE(w.main->CurrentTab(), 1);
    QVERIFY(w.main->lblDirectedByTitle->isVisibleTo(w.main.get()));
}

void TestDetailPanel::nullFieldsEmptyTheControls()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "A Full", .director = "Someone", .summary = "Full summary",
                       .features = "Full features", .eggs = "Full eggs"});
    w.folder.AddTitle({.title = "B Sparse", .date = QVariant(), .director = QVariant(),
                       .summary = QVariant(), .features = QString(), .eggs = QVariant()});
    w.load();
    w.main->UltraGrid->ActivateRow(1);
    QCOMPARE(w.main->lblTitle->text(), QString("B Sparse"));
    QCOMPARE(w.main->lblDate->text(), QString());
    QCOMPARE(w.main->txtDirector->text(), QString());
    QCOMPARE(w.main->txtFeatures->toPlainText(), QString());
    QCOMPARE(w.main->txtMulti->toPlainText(), QString());
    QCOMPARE(w.main->KeptSummary(), QString());
    w.clickTab(1);
    QCOMPARE(w.main->txtMulti->toPlainText(), QString());
    // The title is what modify takes; it follows the active row.
    QCOMPARE(w.main->KeptTitle(), QString("B Sparse"));
}

void TestDetailPanel::easterEggsTabFollowsTitles()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "A", .summary = "A summary", .eggs = "A eggs"});
    w.folder.AddTitle({.title = "B", .summary = "B summary", .eggs = "B eggs"});
    w.load();
    w.clickTab(1);
    QCOMPARE(w.main->CurrentTab(), 2);
    QCOMPARE(w.main->txtMulti->toPlainText(), QString("A eggs"));
    w.main->UltraGrid->ActivateRow(1);
    QCOMPARE(w.main->txtMulti->toPlainText(), QString("B eggs"));
    w.main->RefreshRecords(); // the tab persists across reloads
    QCOMPARE(w.main->txtMulti->toPlainText(), QString("A eggs"));
    w.clickTab(0);
    QCOMPARE(w.main->CurrentTab(), 1);
    QCOMPARE(w.main->txtMulti->toPlainText(), QString("A summary"));
}

void TestDetailPanel::emptyWishlistShowsNothing()
{
    MainWindowFixture w;
    const qint64 id = w.folder.AddTitle({.title = "Owned", .summary = "Mine", .genres = {"Drama"},
                                         .cast = {{"Actor One", "Role One"}}});
    QVERIFY(QFile::copy(w.folder.ImagesPath() + "/nothing.jpg",
                        w.folder.ImagesPath() + QString("/%1.jpg").arg(id)));
    w.load();
    QCOMPARE(w.main->CastUltraGRid->model()->rowCount(), 1);
    w.main->OptionWishList[1]->click();
    QCOMPARE(w.shared->SelectedTitleId, id); // stays at its last value
    QCOMPARE(w.main->txtGenreDisplay->text(), QString());
    QCOMPARE(w.main->CastUltraGRid->model()->rowCount(), 0);
    QCOMPARE(w.main->lblTitle->text(), QString());
    QCOMPARE(w.main->txtMulti->toPlainText(), QString());
    QCOMPARE(w.main->CoverFile(), w.folder.ImagesPath() + "/no_records.jpg");
    QVERIFY(!w.main->CoverIsPlaceholder());
}

void TestDetailPanel::castGrid()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Cast", .cast = {{"Steve McQueen", "Hilts"},
                                                 {"James Garner", QVariant()},
                                                 {"Donald Pleasence", "Blythe"}}});
    w.load();
    DataGrid *grid = w.main->CastUltraGRid;
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(grid->model()->index(1, 1).data().toString(), QString());
    QCOMPARE(grid->ActiveRow(), 0);
}

void TestDetailPanel::cover_data()
{
    QTest::addColumn<QString>("own");        // what images/<ID>.jpg holds: "", jpg, gif, png
    QTest::addColumn<bool>("removeFixed");   // the fixed pictures removed
    QTest::addColumn<QString>("expectedFile");
    QTest::addColumn<bool>("placeholder");
    QTest::newRow("own jpeg") << "jpg" << false << "own" << false;
    QTest::newRow("GIF bytes named .jpg") << "gif" << false << "own" << false;
    QTest::newRow("PNG bytes named .jpg") << "png" << false << "own" << false;
    QTest::newRow("no picture") << "" << false << "nothing.jpg" << false;
    QTest::newRow("fixed picture missing") << "" << true << "nothing.jpg" << true;
}

void TestDetailPanel::cover()
{
    QFETCH(QString, own);
    QFETCH(bool, removeFixed);
    QFETCH(QString, expectedFile);
    QFETCH(bool, placeholder);
    MainWindowFixture w;
    const qint64 id = w.folder.AddTitle({.title = "Covered"});
    const QString name = QString("%1.jpg").arg(id);
    const QString ownFile = w.folder.ImagesPath() + "/" + name;
    if (own == "jpg" || own == "png") {
        w.folder.WritePicture(name, own == "jpg" ? "JPG" : "PNG", 120, 90);
    } else if (own == "gif") {
        w.folder.WriteImageFile(name, TestFolder::SampleGif());
    }
    if (removeFixed)
        QVERIFY(QFile::remove(w.folder.ImagesPath() + "/nothing.jpg"));
    w.load();
    QCOMPARE(w.main->CoverFile(),
             expectedFile == "own" ? ownFile : w.folder.ImagesPath() + "/" + expectedFile);
    QCOMPARE(w.main->CoverIsPlaceholder(), placeholder);
    const QPixmap shown = w.main->ImgCover->pixmap();
    QVERIFY(!shown.isNull());
    QVERIFY(shown.width() <= frmMain::CoverWidth && shown.height() <= frmMain::CoverHeight);
    if (own == "png") // 120x90 fitted keeping its aspect ratio
        QCOMPARE(shown.width() * 90, shown.height() * 120);
    if (own == "gif") // 40x90, within a pixel
        QVERIFY(qAbs(shown.width() * 90 - shown.height() * 40) <= 90);

    // An empty list shows no_records.jpg even though the last title has a picture.
    w.folder.Exec("DELETE FROM DVD_Title");
    w.main->RefreshRecords();
    QCOMPARE(w.main->CoverFile(), w.folder.ImagesPath() + "/no_records.jpg");
    QCOMPARE(w.shared->SelectedTitleId, id);
}

QTEST_MAIN(TestDetailPanel)
#include "test_detail_panel.moc"
