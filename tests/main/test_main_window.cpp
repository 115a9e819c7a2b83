// The main window: what the list, the counter, the commands and the detail panel show
// after each way of moving through the titles, past 16 bits, and the fixed cover.
#include "MainWindowFixture.h"
#include "frmMain.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shown_data();
    void shown();
    void pastSixteenBits();
    void fixedCover_data();
    void fixedCover();
};

void TestMainWindow::shown_data()
{
    // shown: counter, title, date, director, genre line, features, tab text, cover, cast rows
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("shown");
    const QStringList first{"1 of 2", "A Full", "1995", "Michael Mann", "Drama, War", "Commentary",
                            "A summary", "nothing.jpg", "2"};
    const QStringList second{"2 of 2", "B Sparse", "", "", "", "", "", "nothing.jpg", "0"};
    const auto eggs = [](QStringList shown, const char *text) {
        shown[6] = text;
        return shown;
    };
    QTest::newRow("first title") << "" << first;
    QTest::newRow("row activated") << "row 2" << second;
    QTest::newRow("Down key, no click first") << "key Down" << second;
    QTest::newRow("eggs tab by mouse") << "tab click" << eggs(first, "A eggs");
    QTest::newRow("eggs tab by keyboard") << "tab key" << eggs(first, "A eggs");
    QTest::newRow("eggs tab by wheel") << "tab wheel" << eggs(first, "A eggs");
    QTest::newRow("eggs tab kept on the next title") << "tab click, row 2" << eggs(second, "B eggs");
    QTest::newRow("wish list") << "wish list" << QStringList{"1 of 1", "C Wished", "1999",
                                                             "Some Director", "Comedy", "", "",
                                                             "nothing.jpg", "0"};
    QTest::newRow("list emptied") << "emptied" << QStringList{"0 of 0", "", "", "", "", "", "",
                                                              "no_records.jpg", "0"};
}

void TestMainWindow::shown()
{
    QFETCH(QString, action);
    QFETCH(QStringList, shown);
    MainWindowFixture w;
    w.folder.AddTitle({.title = "B Sparse", .date = QVariant(), .director = QVariant(),
                       .summary = QVariant(), .features = QString(), .eggs = "B eggs"});
    w.folder.AddTitle({.title = "A Full", .date = "1995", .director = "Michael Mann",
                       .summary = "A summary", .features = "Commentary", .eggs = "A eggs",
                       .genres = {"Drama", "War"},
                       .cast = {{"Al Pacino", "Hanna"}, {"Robert De Niro", QVariant()}}});
    w.folder.AddTitle({.title = "C Wished", .wishList = 1, .genres = {"Comedy"}});
    w.load();
    frmMain &main = *w.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTabBar *strip = main.MultiTabStrip;

    if (action.startsWith("tab click"))
        w.clickTab(1);
    if (action.endsWith("row 2"))
        main.UltraGrid->ActivateRow(1);
    if (action == "key Down")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    if (action == "tab key") {
        strip->setFocus();
        QTest::keyClick(strip, Qt::Key_Right);
    }
    if (action == "tab wheel") {
        const QPointF at = strip->tabRect(0).center();
        QWheelEvent wheel(at, strip->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(strip, &wheel);
    }
    if (action == "wish list")
        main.OptionWishList[1]->click();
    if (action == "emptied") {
        w.folder.Exec("DELETE FROM DVD_Title");
        main.RefreshRecords();
    }

    const QStringList actual{main.lblRecordSelected->text(), main.lblTitle->FullText(),
                             main.lblDate->text(), main.txtDirector->text(),
                             main.txtGenreDisplay->text(), main.txtFeatures->toPlainText(),
                             main.txtMulti->toPlainText(), QFileInfo(main.CoverFile()).fileName(),
                             QString::number(main.CastUltraGRid->model()->rowCount())};
    QCOMPARE(actual, shown);
    // Modify and Delete only while the list shows a title.
    const bool hasTitles = shown.first() != "0 of 0";
    for (QAction *command : {main.mnuModify, main.mnuDelete, main.ToolbarButton(2),
                             main.ToolbarButton(3)})
        QCOMPARE(command->isEnabled(), hasTitles);
    QCOMPARE(main.lblClickToEditPhoto->isVisible(), hasTitles);
}

// Titles numbered and counted past 16 bits, as the counter, the detail panel and the
// name check see them.
void TestMainWindow::pastSixteenBits()
{
    MainWindowFixture w;
    w.folder.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 65537) "
                  "INSERT INTO DVD_Title (ID, Title, WishList) SELECT 65536 + i, 'Same', 0 FROM n");
    w.load();
    QCOMPARE(w.main->lblRecordSelected->text(), QString("1 of 65537"));
    w.main->UltraGrid->ActivateRow(65536);
    QCOMPARE(w.main->lblRecordSelected->text(), QString("65537 of 65537"));
    QCOMPARE(w.shared->SelectedTitleId, w.main->UltraGrid->CellValue(65536, 0).toLongLong());
    QCOMPARE(w.main->lblTitle->FullText(), QString("Same"));

    w.shared->LookupTable = "Dvd_Title";
    w.shared->LookupField = "Title";
    w.shared->LookupValue = "SAME";
    w.shared->CountMatches();
    QCOMPARE(w.shared->LookupCount, 65537);
}

void TestMainWindow::fixedCover_data()
{
    QTest::addColumn<QString>("change"); // to the fixed picture, while a title's own is shown
    QTest::newRow("unchanged") << "unchanged";
    QTest::newRow("rewritten") << "rewritten";
    QTest::newRow("removed") << "removed";
}

// The fixed picture for titles without a cover is decoded once, yet a changed or removed
// file is seen at the next title.
void TestMainWindow::fixedCover()
{
    QFETCH(QString, change);
    MainWindowFixture w;
    const auto redCentre = [&w] {
        const QImage image = w.main->ImgCover->pixmap().toImage();
        const QColor colour = image.pixelColor(image.width() / 2, image.height() / 2);
        return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
    };
    w.folder.AddTitle({.title = "Alpha"});
    const qint64 beta = w.folder.AddTitle({.title = "Beta"});
    w.folder.AddTitle({.title = "Gamma"});
    w.folder.WritePicture(QString::number(beta) + ".jpg", "JPG", 100, 140, Qt::red);
    w.load();
    QVERIFY(!redCentre());
    w.main->UltraGrid->ActivateRow(1);
    QVERIFY(redCentre());

    const QString fixedFile = w.folder.ImagesPath() + "/nothing.jpg";
    if (change == "rewritten")
        w.folder.WritePicture("nothing.jpg", "JPG", 120, 90, Qt::red);
    if (change == "removed")
        QVERIFY(QFile::remove(fixedFile));
    w.main->UltraGrid->ActivateRow(2);
    QCOMPARE(w.main->CoverFile(), fixedFile);
    QCOMPARE(w.main->CoverIsPlaceholder(), change == "removed");
    QCOMPARE(redCentre(), change == "rewritten");
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
