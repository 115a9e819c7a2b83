// The main window: what the list, the counter, the commands and the detail panel show
// after each way of moving through the titles, past 16 bits, and the fixed cover; the
// grid below it, the column-fitting rule and the widest text of a column.
#include "ColumnFit.h"
#include "MainWindowFixture.h"
#include "Twips.h"
#include "WidestText.h"
#include "frmMain.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shown_data();
    void shown();
    void pastSixteenBits();
    void fixedCover_data();
    void fixedCover();
    void gridAdapter();
    void fitWidth_data();
    void fitWidth();
    void widestText_data();
    void widestText();
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

    if (action.startsWith("tab click"))
        w.clickTab(1);
    if (action.endsWith("row 2"))
        main.UltraGrid->ActivateRow(1);
    if (action == "key Down")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    if (action == "tab key") {
        main.MultiTabStrip->setFocus();
        QTest::keyClick(main.MultiTabStrip, Qt::Key_Right);
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

// Titles numbered and counted past 16 bits: the counter, the detail panel, the name check.
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

void TestMainWindow::gridAdapter()
{
    auto list = std::make_shared<RecordList>();
    list->AppendField("Actor");
    list->AppendField("Character");
    list->OpenInMemory();
    DataGrid grid;
    grid.SetDataSource(list);
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 0; i < 5; ++i) {
        list->AddNew();
        list->SetValue("Actor", QString("Actor %1").arg(i));
    }
    list->Move(2);
    list->Delete();
    QCOMPARE(grid.model()->rowCount(), 4);
    QCOMPARE(grid.CellValue(2, 0).toString(), QString("Actor 3"));

    const QModelIndex cell = grid.model()->index(0, 1);
    QVERIFY(!grid.model()->setData(cell, "Role"));
    grid.SetEditable(true);
    QVERIFY(grid.model()->setData(cell, "Role"));
    grid.SetBeforeCellUpdate([](int, int, const QVariant &v) { return !v.toString().isEmpty(); });
    QVERIFY(!grid.model()->setData(cell, QString()));
    QCOMPARE(list->ValueAt(0, 1).toString(), QString("Role"));
    // A cell's editor takes a value of any length.
    std::unique_ptr<QWidget> editor(grid.itemDelegate()->createEditor(
        grid.viewport(), QStyleOptionViewItem(), grid.model()->index(0, 0)));
    auto *line = qobject_cast<QLineEdit *>(editor.get());
    QVERIFY(line);
    line->setText(QString(40000, QLatin1Char('a')));
    QCOMPARE(line->text().size(), 40000);

    grid.ActivateRow(3);
    QCOMPARE(list->AbsolutePosition(), 4);
    list->SetRows({{"X", QVariant()}});
    QCOMPARE(grid.model()->rowCount(), 1);
}

void TestMainWindow::fitWidth_data()
{
    // Margins as the windows use them: title list 0/200, detail cast 400/400, genre
    // manager 400/200.
    QTest::addColumn<int>("captionPixels");
    QTest::addColumn<int>("widestPixels");
    QTest::addColumn<int>("headerMargin");
    QTest::addColumn<int>("valueMargin");
    QTest::addColumn<int>("expected");
    const auto px = [](int pixels) { return Twips::FromPixels(pixels); };
    QTest::newRow("caption wider") << 100 << 50 << 0 << 200 << px(100);
    QTest::newRow("value wider by its margin") << 50 << 50 << 0 << 200 << px(50) + 200;
    QTest::newRow("no text: caption only") << 40 << 0 << 400 << 400 << px(40) + 400;
    QTest::newRow("header margin wins") << 60 << 60 << 400 << 200 << px(60) + 400;
    QTest::newRow("value capped") << 40 << 5000 << 0 << 200 << ColumnFit::MaxTwips;
    QTest::newRow("caption capped") << 5000 << 10 << 400 << 200 << ColumnFit::MaxTwips;
}

void TestMainWindow::fitWidth()
{
    QFETCH(int, captionPixels);
    QFETCH(int, widestPixels);
    QFETCH(int, headerMargin);
    QFETCH(int, valueMargin);
    QFETCH(int, expected);
    QCOMPARE(ColumnFit(headerMargin, valueMargin).Width(captionPixels, widestPixels), expected);
}

void TestMainWindow::widestText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");

    // "AV" pairs kern tighter than their letters add up to: a plain text a little
    // narrower by its letters is still the wider one once shaped.
    QFont font(QStringLiteral("Verdana"), 9);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const QString kerned = QStringLiteral("AV").repeated(12);
    QString plain;
    while (metrics.horizontalAdvance(plain) <= metrics.horizontalAdvance(kerned))
        plain += QLatin1Char('n');
    QTest::newRow("kerned text beside a plain one") << QStringList{kerned, plain} << 9 << true;
    QTest::newRow("combining marks")
        << QStringList{"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", "Amelie",
                       "a\u0308o\u0308u\u0308a\u0308o\u0308"}
        << 9 << true;
    QTest::newRow("joining scripts") << QStringList{"السلام عليكم ورحمة الله وبركاته",
                                                    "Peace be upon you", "नमस्ते दुनिया क्षत्रिय"}
                                     << 9 << true;
    QTest::newRow("surrogate pairs") << QStringList{"🎬🎬🎬🎬🎬🎬 Movie night", "Movie night at home"}
                                     << 9 << false;
    QTest::newRow("ligatures") << QStringList{"office affluent baffled", "officer afflicted",
                                              "Offal Waffles Efficiently Staffed"}
                               << 9 << true;
    QStringList ascending;
    for (int length = 1; length <= 60; ++length)
        ascending << QString(length, QLatin1Char('n'));
    QTest::newRow("each wider than the last") << ascending << 9 << true;

    // Scripts the font lacks come from fallback fonts.
    const QStringList words{"Ocean's", "Eleven", "Amélie", "WALL·E", "It", "Ill", "Mimi", "Wolf",
                            "AVA", "Москва", "千と千尋", "Ἀθῆναι", "Don't", "Zoë", "iii", "W."};
    QRandomGenerator random(7);
    QStringList titles;
    for (int i = 0; i < 3000; ++i) {
        QStringList title;
        for (int w = int(random.bounded(1, 10)); w > 0; --w)
            title << words.at(int(random.bounded(quint32(words.size()))));
        titles << title.join(QLatin1Char(' '));
    }
    QTest::newRow("many mixed titles") << titles << 9 << true;
    QTest::newRow("many mixed titles, small font") << titles << 7 << false;
}

// The same answer as shaping every text, also when asked again after more texts.
void TestMainWindow::widestText()
{
    QFETCH(QStringList, texts);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    QFont font(QStringLiteral("Verdana"), pointSize);
    font.setBold(bold);
    const QFontMetrics metrics(font);
    WidestText widest(metrics);
    int expected = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        expected = std::max(expected, metrics.horizontalAdvance(texts[i]));
        widest.Add(texts[i]);
        if (i == texts.size() / 2)
            QCOMPARE(widest.Pixels(), expected);
    }
    QCOMPARE(widest.Pixels(), expected);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
