// The main window: the list, counter, commands and detail panel after each way of moving
// through the titles; the find box; the browse panel; the grid and a column's widest text.
#include "BrowsePanel.h"
#include "ColumnFit.h"
#include "ElidedLabel.h"
#include "FilteredRowsModel.h"
#include "FindBox.h"
#include "ListColumns.h"
#include "MainWindowFixture.h"
#include "PictureDecoder.h"
#include "SearchTitles.h"
#include "TitleListFilter.h"
#include "TitleOrder.h"
#include "WidestText.h"
#include "frmMain.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTest>
#include <QTreeView>

namespace {

// A picture red on its left half and blue on its right, as `format`; a JPEG carries the
// orientation tag a camera writes (6: shown turned a quarter clockwise, red on top).
QByteArray halves(const QSize &size, const char *format, quint16 orientation = 0)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    if (orientation == 0)
        return bytes;
    // APP1 "Exif": a big-endian TIFF header and one IFD entry, Orientation (0x0112, SHORT).
    QByteArray exif("\xFF\xE1\x00\x22"
                    "Exif\x00\x00"
                    "MM\x00\x2A\x00\x00\x00\x08"
                    "\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00",
                    36);
    exif[29] = char(orientation);
    return bytes.insert(2, exif);
}

// The counter, the title shown and the find box's note.
QString state(const frmMain &main)
{
    return main.lblRecordSelected->text() + " | " + main.Detail()->lblTitle->FullText() + " | "
           + main.Find->Note();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shown_data();
    void shown();
    void pastSixteenBits();
    void gridAndFilteredRows();
    void widestText_data();
    void widestText();
    void findKeysAndKeptFilter();
    void pictureDecoder_data();
    void pictureDecoder();
    void browsePanel();
    void titleElision_data();
    void titleElision();
    void openingSize_data();
    void openingSize();
    void titleOrder_data();
    void titleOrder();
    void columnsAndOrder_data();
    void columnsAndOrder();
};

void TestMainWindow::shown_data()
{
    // shown: counter | title | date | director | genre line | features | tab text | cover |
    // cast rows. The cover is its file name, then "red" when the picture shown is red,
    // "placeholder" when the file could not be shown.
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("shown");
    const QString first = "1 of 2 | A Full | 1995 | Michael Mann | Drama, War | Commentary | "
                          "A summary | nothing.jpg | 2";
    const QString second = "2 of 2 | B Sparse |  |  |  |  |  | 1.jpg red | 0";
    QTest::newRow("first title") << "" << first;
    QTest::newRow("Down key, no click first") << "key Down" << second;
    QTest::newRow("eggs tab by keyboard") << "tab key" << QString(first).replace("summary", "eggs");
    QTest::newRow("eggs tab kept on the next title")
        << "tab click, row 2" << QString(second).replace("|  | 1.jpg", "| B eggs | 1.jpg");
    // The fixed picture is decoded once, yet a changed or removed file is seen at the next title.
    QTest::newRow("fixed picture after a cover") << "row 2, row 1" << first;
    QTest::newRow("fixed picture rewritten")
        << "row 2, rewrite fixed, row 1" << QString(first).replace(".jpg", ".jpg red");
    QTest::newRow("fixed picture removed")
        << "row 2, remove fixed, row 1" << QString(first).replace(".jpg", ".jpg placeholder");
    QTest::newRow("wish list")
        << "wish list"
        << "1 of 1 | C Wished | 1999 | Some Director | Comedy |  |  | nothing.jpg | 0";
    QTest::newRow("list emptied") << "emptied"
                                  << "0 of 0 |  |  |  |  |  |  | no_records.jpg | 0";
}

void TestMainWindow::shown()
{
    QFETCH(QString, actions);
    QFETCH(QString, shown);
    MainWindowFixture w;
    const qint64 sparse = w.folder.AddTitle({.title = "B Sparse",
                                             .date = QVariant(),
                                             .director = QVariant(),
                                             .summary = QVariant(),
                                             .eggs = "B eggs"});
    w.folder.WritePicture(QString("%1.jpg").arg(sparse), "JPG", 100, 140, Qt::red);
    w.folder.AddTitle({.title = "A Full",
                       .date = "1995",
                       .director = "Michael Mann",
                       .summary = "A summary",
                       .features = "Commentary",
                       .eggs = "A eggs",
                       .genres = {"Drama", "War"},
                       .cast = {{"Al Pacino", "Hanna"}, {"Robert De Niro", QVariant()}}});
    w.folder.AddTitle({.title = "C Wished", .wishList = 1, .genres = {"Comedy"}});
    w.load();
    frmMain &main = *w.main;
    TitleDetailPanel &panel = *main.Detail();
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    for (const QString &action : actions.split(", ", Qt::SkipEmptyParts)) {
        if (action == "tab click")
            w.clickTab(1);
        if (action.startsWith("row "))
            main.UltraGrid->ActivateRow(action.back().digitValue() - 1);
        if (action == "key Down")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        if (action == "tab key") {
            panel.MultiTabStrip->setFocus();
            QTest::keyClick(panel.MultiTabStrip, Qt::Key_Right);
        }
        if (action == "rewrite fixed")
            w.folder.WritePicture("nothing.jpg", "JPG", 120, 90, Qt::red);
        if (action == "remove fixed")
            QVERIFY(QFile::remove(w.folder.ImagesPath() + "/nothing.jpg"));
        if (action == "wish list")
            main.OptionWishList[1]->click();
        if (action == "emptied") {
            w.folder.Exec("DELETE FROM DVD_Title");
            main.RefreshRecords();
        }
    }

    const QImage cover = panel.ImgCover->pixmap().toImage();
    const QColor centre = cover.pixelColor(cover.width() / 2, cover.height() / 2);
    QStringList coverShown{QFileInfo(panel.CoverFile()).fileName()};
    if (panel.CoverIsPlaceholder())
        coverShown << "placeholder";
    if (centre.red() > 200 && centre.green() < 60 && centre.blue() < 60)
        coverShown << "red";
    const QString actual =
        QString("%1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9")
            .arg(main.lblRecordSelected->text(), panel.lblTitle->FullText(), panel.lblDate->text(),
                 panel.txtDirector->text(), panel.txtGenreDisplay->text(),
                 panel.txtFeatures->toPlainText(), panel.txtMulti->toPlainText(),
                 coverShown.join(' '), QString::number(panel.CastUltraGRid->model()->rowCount()));
    QCOMPARE(actual, shown);
    // Modify and Delete only while the list shows a title.
    const bool hasTitles = !shown.startsWith("0 of 0");
    for (QAction *command :
         {main.mnuModify, main.mnuDelete, main.ToolbarButton(2), main.ToolbarButton(3)})
        QCOMPARE(command->isEnabled(), hasTitles);
    QCOMPARE(panel.lblClickToEditPhoto->isVisible(), hasTitles);
    // The toolbar from the left is buttons 1 to 7 as numbered.
    QStringList tips;
    for (QAction *button : main.Toolbar1->actions())
        tips << (button == main.ToolbarButton(int(tips.size()) + 1) ? button->toolTip() : "?");
    QCOMPARE(tips.join('|'),
             "Add A Title|Modify Title|Remove Title||About Reelvane||Close Reelvane");
}

// Titles numbered and counted past 16 bits: the counter, the detail panel, the name check.
void TestMainWindow::pastSixteenBits()
{
    MainWindowFixture w;
    w.folder.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 65537) "
                  "INSERT INTO DVD_Title (ID, Title, WishList) SELECT 65536 + i, 'Same', 0 FROM n");
    w.load();
    QCOMPARE(state(*w.main), QString("1 of 65537 | Same | "));
    w.main->UltraGrid->ActivateRow(65536);
    QCOMPARE(state(*w.main), QString("65537 of 65537 | Same | "));
    QCOMPARE(w.shared->SelectedTitleId, w.main->UltraGrid->CellValue(65536, 0).toLongLong());

    w.shared->LookupTable = "Dvd_Title";
    w.shared->LookupField = "Title";
    w.shared->LookupValue = "SAME";
    w.shared->CountMatches();
    QCOMPARE(w.shared->LookupCount, 65537);
}

// The grid's adapter over a record list, then the find box's proxy over it: the model's rules
// kept through changes, edits where allowed, chosen rows in the order given, mapped both ways.
void TestMainWindow::gridAndFilteredRows()
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

    FilteredRowsModel proxy;
    QAbstractItemModelTester proxyTester(&proxy,
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
    grid.SetProxy(&proxy);
    proxy.ShowRows({3, 1, 9, 3, -1}); // rows out of range and repeated ones are left out
    QCOMPARE(grid.ShownRowCount(), 2);
    QCOMPARE((QList<int>{grid.RecordRow(0), grid.RecordRow(1), grid.RecordRow(2)}),
             (QList<int>{3, 1, -1}));
    QCOMPARE((QList<int>{grid.ViewRow(1), grid.ViewRow(3), grid.ViewRow(0)}),
             (QList<int>{1, 0, -1}));
    grid.SetCellValue(1, 0, "Renamed");
    QCOMPARE(proxy.index(1, 0).data().toString(), QString("Renamed"));
    QCOMPARE(proxy.headerData(0, Qt::Horizontal).toString(), QString("Actor"));
    // A source that changes its rows shows nothing until rows are chosen again.
    list->AddNew();
    QCOMPARE(proxy.rowCount(), 0);
    proxy.ShowRows({4, 0});
    QCOMPARE(grid.RecordRow(0), 4);
    grid.SetProxy(nullptr);
    list->SetRows({{QString(40000, QLatin1Char('a')), QVariant()}});
    QCOMPARE(grid.model()->rowCount(), 1);
    // However long a pasted text, its column stays within the widest a column can be.
    QCOMPARE(grid.FitColumn(0, grid.fontMetrics(), ColumnFit(0, 200)), ColumnFit::MaxTwips);
}

void TestMainWindow::widestText_data()
{
    QTest::addColumn<QStringList>("texts");
    // "AV" pairs kern tighter than their letters add up to: a plain text a little
    // narrower by its letters is still the wider one once shaped.
    const QFontMetrics metrics(QFont(QStringLiteral("Verdana"), 9, QFont::Bold));
    const QString kerned = QStringLiteral("AV").repeated(12);
    QString plain;
    while (metrics.horizontalAdvance(plain) <= metrics.horizontalAdvance(kerned))
        plain += QLatin1Char('n');
    QTest::newRow("kerned text beside a plain one") << QStringList{kerned, plain};
    QTest::newRow("combining marks")
        << QStringList{"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", "Amelie",
                       "a\u0308o\u0308u\u0308a\u0308o\u0308"};
    QTest::newRow("joining scripts")
        << QStringList{"السلام عليكم ورحمة الله وبركاته", "Peace be upon you", "नमस्ते दुनिया क्षत्रिय"};
    QTest::newRow("surrogate pairs") << QStringList{"🎬🎬🎬🎬🎬🎬 Movie night", "Movie night at home"};
    QTest::newRow("ligatures") << QStringList{"office affluent baffled", "officer afflicted",
                                              "Offal Waffles Efficiently Staffed"};

    // Scripts the font lacks come from fallback fonts.
    const QStringList words{"Ocean's", "Eleven", "Amélie", "WALL·E", "It",       "Ill",
                            "Mimi",    "Wolf",   "AVA",    "Москва", "千と千尋", "Ἀθῆναι",
                            "Don't",   "Zoë",    "iii",    "W."};
    QRandomGenerator random(7);
    QStringList titles;
    for (int i = 0; i < 3000; ++i) {
        QStringList title;
        for (int w = int(random.bounded(1, 10)); w > 0; --w)
            title << words.at(int(random.bounded(quint32(words.size()))));
        titles << title.join(QLatin1Char(' '));
    }
    QTest::newRow("many mixed titles") << titles;
}

// The same answer as shaping every text, also when asked again after more texts, in the
// grid's bold font and a small one.
void TestMainWindow::widestText()
{
    QFETCH(QStringList, texts);
    for (const QFont &font :
         {QFont(QStringLiteral("Verdana"), 9, QFont::Bold), QFont(QStringLiteral("Verdana"), 7)}) {
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
}

// What the find box shows (what a query matches is TitleFinder's, tests/core): its keys, its
// filter kept through a switch of lists and through changes made elsewhere.
void TestMainWindow::findKeysAndKeptFilter()
{
    MainWindowFixture w;
    AddSearchTitles(w.folder);
    w.load();
    frmMain &main = *w.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    main.Find->txtFind->setText("   "); // no words: no filter
    main.Find->ApplyNow();
    QCOMPARE(state(main), QString("1 of 9 | 100% Pure_Fun* | "));
    QTest::keyClick(&main, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(main.Find->txtFind->hasFocus());
    QTest::keyClicks(main.Find->txtFind, "l");
    QTRY_COMPARE(main.lblRecordSelected->text(), QString("1 of 4"));
    // Down takes the list; End and Home go to the last and first title shown.
    QTest::keyClick(main.Find->txtFind, Qt::Key_Down);
    QVERIFY(main.UltraGrid->hasFocus());
    QTest::keyClick(main.UltraGrid, Qt::Key_End);
    QCOMPARE(state(main), QString("4 of 4 | Ocean's Eleven | 4 of 9"));
    QCOMPARE(main.Detail()->CastUltraGRid->ShownRowCount(), 1);
    QTest::keyClick(main.UltraGrid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(state(main), QString("1 of 4 | Amélie | 4 of 9"));
    QTest::keyClick(main.UltraGrid, Qt::Key_End);

    // Escape empties the box; the whole list is back, the title found still active.
    main.Find->FocusBox();
    QTest::keyClick(main.Find->txtFind, Qt::Key_Escape);
    QVERIFY(main.UltraGrid->hasFocus());
    QCOMPARE(main.Find->Text(), QString());
    QCOMPARE(state(main), QString("6 of 9 | Ocean's Eleven | "));

    // A list switch under a query that hides the other list's titles: no "new title" there.
    main.Find->txtFind->setText("ocean");
    main.Find->ApplyNow();
    main.OptionWishList[1]->click();
    QCOMPARE(main.Find->Note(), QString("No title matches"));
    main.OptionWishList[0]->click();
    main.Find->txtFind->setText("amelie");
    main.Find->ApplyNow();
    main.OptionWishList[1]->click();
    QCOMPARE(w.titles(), QStringList{"Amélie on the Wish List"});
    main.OptionWishList[0]->click();
    QCOMPARE(state(main), QString("1 of 2 | Amélie | 2 of 9"));
    w.folder.AddTitle({.title = "Jabberwocky"});
    main.RefreshRecords();
    QCOMPARE(main.Find->Note(), QString("The new title is hidden by the filter"));
    w.folder.Exec("UPDATE DVD_Title SET Director = 'Amelie' WHERE Title = 'Straße'");
    w.folder.Exec("DELETE FROM DVD_Title WHERE Title = 'Amélie'");
    main.RefreshRecords();
    QCOMPARE(state(main), QString("1 of 2 | Ame\u0301lie Redux | 2 of 9"));
    w.folder.Exec("DELETE FROM DVD_Title WHERE Director = 'Amelie' OR Title LIKE 'Ame%'");
    main.RefreshRecords();
    QCOMPARE(main.Find->Text(), QString("amelie"));
    QCOMPARE(state(main), QString("0 of 0 |  | No title matches"));
    QVERIFY(!main.mnuDelete->isEnabled());
    QCOMPARE(QFileInfo(main.Detail()->CoverFile()).fileName(), QString("no_records.jpg"));
}

void TestMainWindow::pictureDecoder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<bool>("stretched");
    QTest::addColumn<QSize>("decoded"); // invalid: not a picture
    QTest::addColumn<QSize>("size");    // the picture's own size, as shown
    QTest::addColumn<bool>("redOnTop"); // else red on the left
    const QSize cover(200, 282);
    // A turned picture is fitted by its shown size: decoded at 188 x 282, not at the
    // stored picture's 200 x 133 turned to 133 x 200 and enlarged.
    QTest::newRow("camera JPEG turned, fitted") << halves({600, 400}, "JPG", 6) << cover << false
                                                << QSize(188, 282) << QSize(400, 600) << true;
    QTest::newRow("camera JPEG turned, stretched")
        << halves({600, 400}, "JPG", 6) << QSize(90, 60) << true << QSize(90, 60) << QSize(400, 600)
        << true;
    QTest::newRow("JPEG not turned") << halves({600, 400}, "JPG") << cover << false
                                     << QSize(200, 133) << QSize(600, 400) << false;
    QTest::newRow("small PNG, enlarged to fit")
        << halves({40, 20}, "PNG") << cover << false << QSize(200, 100) << QSize(40, 20) << false;
    QTest::newRow("not a picture")
        << QByteArray("GIF89a, or so it says") << cover << false << QSize() << QSize() << false;
}

void TestMainWindow::pictureDecoder()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, box);
    QFETCH(bool, stretched);
    QFETCH(QSize, decoded);
    QFETCH(QSize, size);
    QFETCH(bool, redOnTop);
    QTemporaryDir dir;
    const QString file = dir.filePath("57.jpg"); // the name says nothing of the format
    QVERIFY(TestFolder::WriteFile(file, bytes));
    QSize own(1, 1);
    const QImage image = PictureDecoder::Read(
        file, box, stretched ? Qt::IgnoreAspectRatio : Qt::KeepAspectRatio, &own);
    QCOMPARE(image.size(), decoded.isValid() ? decoded : QSize(0, 0));
    QCOMPARE(own, size);
    if (image.isNull())
        return;
    const QPoint firstHalf =
        redOnTop ? QPoint(image.width() / 2, 2) : QPoint(2, image.height() / 2);
    QVERIFY(qRed(image.pixel(firstHalf)) > 200 && qBlue(image.pixel(firstHalf)) < 60);
}

// The browse panel driven through the window: hidden at first, F9, a value clicked, with a
// find query, kept through a switch and changes, remembered by the next window.
void TestMainWindow::browsePanel()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Apocalypse Now", .date = "1979", .genres = {"War", "Drama"}});
    w.folder.AddTitle({.title = "Casablanca",
                       .date = "1942",
                       .genres = {"Drama", "Romance"},
                       .cast = {{"Humphrey Bogart", "Rick"}}});
    w.folder.AddTitle({.title = "Airplane!", .date = "1980", .genres = {"Comedy"}});
    w.folder.AddTitle({.title = "Paths of Glory",
                       .wishList = 1,
                       .genres = {"Drama"},
                       .cast = {{"Kirk Douglas", "Dax"}}});
    w.load();
    frmMain &main = *w.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QVERIFY(main.Browse->isHidden());
    QVERIFY(!main.mnuBrowsePanel->isChecked());

    QTest::keyClick(&main, Qt::Key_F9);
    QVERIFY(main.Browse->isVisible());
    QVERIFY(main.mnuBrowsePanel->isChecked());
    QTreeView *tree = main.Browse->Tree();
    QTRY_COMPARE(QApplication::focusWidget(), tree);
    // Every branch is counted when the panel is shown, the closed ones too.
    QCOMPARE(tree->model()->index(0, 0, tree->model()->index(3, 0)).data().toString(),
             QString("Humphrey Bogart (1)"));
    // Until the first reset: the tester counts branches inside the reset's signal itself.
    auto tester = std::make_unique<QAbstractItemModelTester>(
        tree->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto genres = [&] {
        QStringList shown;
        const QModelIndex branch = tree->model()->index(0, 0);
        for (int row = 0; row < tree->model()->rowCount(branch); ++row)
            shown << tree->model()->index(row, 0, branch).data().toString();
        return shown;
    };
    QCOMPARE(genres(), QStringList({"Comedy (1)", "Drama (2)", "Romance (1)", "War (1)"}));
    const auto click = [&](int row) {
        const QModelIndex branch = tree->model()->index(0, 0);
        tree->expand(branch);
        const QModelIndex index = row < 0 ? branch : tree->model()->index(row, 0, branch);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualRect(index).topLeft() + QPoint(4, 4));
    };
    click(1);
    QCOMPARE(state(main), QString("1 of 2 | Apocalypse Now | 2 of 3"));
    QCOMPARE(main.Browse->ChoiceText(), QString("Genres: Drama"));
    main.Find->txtFind->setText("casa");
    main.Find->ApplyNow();
    QCOMPARE(state(main), QString("1 of 1 | Casablanca | 1 of 3"));
    main.Find->txtFind->clear();
    main.Find->ApplyNow();
    QCOMPARE(w.titles(), QStringList({"Apocalypse Now", "Casablanca"}));

    tester.reset();
    main.OptionWishList[1]->click();
    QCOMPARE(w.titles(), QStringList{"Paths of Glory"});
    QCOMPARE(genres(), QStringList{"Drama (1)"});
    const QModelIndex actors = tree->model()->index(3, 0);
    tree->expand(actors);
    QCOMPARE(tree->model()->index(0, 0, actors).data().toString(), QString("Kirk Douglas (1)"));
    main.OptionWishList[0]->click();
    QCOMPARE(state(main), QString("1 of 2 | Apocalypse Now | 2 of 3"));

    w.folder.AddTitle({.title = "Zulu", .genres = {"War"}});
    main.RefreshRecords();
    QCOMPARE(main.Find->Note(), QString("The new title is hidden by the filter"));
    QCOMPARE(genres(), QStringList({"Comedy (1)", "Drama (2)", "Romance (1)", "War (2)"}));
    w.folder.Exec("DELETE FROM Genre_Relationships WHERE Title_ID = (SELECT ID FROM DVD_Title "
                  "WHERE Title = 'Apocalypse Now') AND Genre_ID = ?",
                  {w.folder.GenreId("Drama")});
    main.RefreshRecords();
    QCOMPARE(state(main), QString("1 of 1 | Casablanca | 1 of 4"));
    QVERIFY(tree->currentIndex().data().toString() == "Drama (1)");

    // The branch itself shows every title; the panel is remembered as left.
    click(-1);
    QCOMPARE(state(main), QString("3 of 4 | Casablanca | "));
    w.main.reset();
    w.load();
    QVERIFY(w.main->Browse->IsShown());
    QVERIFY(w.main->mnuBrowsePanel->isChecked());
    QVERIFY(w.main->Browse->Tree()->isExpanded(w.main->Browse->Tree()->model()->index(0, 0)));
    // Hidden, the panel filters nothing.
    w.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.main.get()));
    tree = w.main->Browse->Tree();
    click(1);
    QCOMPARE(w.main->Find->Note(), QString("1 of 4"));
    w.main->mnuBrowsePanel->trigger();
    QCOMPARE(w.main->Find->Note(), QString());
    QCOMPARE(w.main->lblRecordSelected->text().section(" of ", 1), QString("4"));
    w.main.reset();
    w.load();
    QVERIFY(w.main->Browse->isHidden());
    QCOMPARE(w.main->lblRecordSelected->text(), QString("1 of 4"));
}

void TestMainWindow::titleElision_data()
{
    QTest::addColumn<int>("maxLines"); // the panel's title: 2; an editor step's: 1
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines"); // shown
    QTest::addColumn<bool>("elided");
    const QString longTitle = QString("The Long Title of a Film ").repeated(40);
    QTest::newRow("short, panel") << 2 << "Alien" << 1 << false;
    QTest::newRow("long, panel") << 2 << longTitle << 2 << true;
    QTest::newRow("long, editor step") << 1 << longTitle << 1 << true;
    QTest::newRow("one word wider than the label") << 2 << QString("W").repeated(500) << 2 << true;
}

// A title of any length: at most its lines, the last ending in "…", the whole in the tooltip.
void TestMainWindow::titleElision()
{
    QFETCH(int, maxLines);
    QFETCH(QString, text);
    QFETCH(int, lines);
    QFETCH(bool, elided);
    ElidedLabel label(maxLines);
    label.SetFullText(text);
    label.resize(240, 200);
    label.show();
    const QStringList shown = label.text().split('\n');
    QCOMPARE(shown.size(), lines);
    QCOMPARE(shown.last().endsWith(QChar(0x2026)), elided);
    QCOMPARE(label.toolTip(), elided ? text : QString());
    QVERIFY(label.sizeHint().width() <= 300); // a long title never widens its window
}

void TestMainWindow::openingSize_data()
{
    QTest::addColumn<QRect>("available"); // the screen less its panels
    QTest::addColumn<QSize>("size");
    QTest::newRow("large screen: as designed") << QRect(0, 0, 1920, 1040) << QSize(1180, 720);
    QTest::newRow("small screen: room for the frame")
        << QRect(0, 24, 1024, 720) << QSize(1008, 680);
    QTest::newRow("tiny screen: no smaller than 640 by 480")
        << QRect(0, 0, 600, 400) << QSize(640, 480);
}

void TestMainWindow::openingSize()
{
    QFETCH(QRect, available);
    QTEST(frmMain::OpeningSize(available), "size");
}

void TestMainWindow::titleOrder_data()
{
    // values: a column's rows in title order; order: their rows as ordered.
    QTest::addColumn<bool>("years"); // false: by the letter rule
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("order");
    const QStringList letters{"émile", "Eagle", "Fargo", "Zulu", "apple"};
    QTest::newRow("letter rule") << false << false << letters << "4 1 0 2 3";
    QTest::newRow("letter rule reversed") << false << true << letters << "3 2 0 1 4";
    const QStringList ties{"B", "", "A", "B", "  ", "A"};
    QTest::newRow("ties stable, empty last") << false << false << ties << "2 5 0 3 1 4";
    QTest::newRow("reversed: ties stable, empty last") << false << true << ties << "0 3 2 5 1 4";
    const QStringList years{"1999", "c. 1960", "", "1960", "19999", " 2001 ", "1960", "987"};
    QTest::newRow("years by number, odd and empty last")
        << true << false << years << "7 3 6 0 5 1 2 4";
    QTest::newRow("years reversed") << true << true << years << "5 0 3 6 7 1 2 4";
}

void TestMainWindow::titleOrder()
{
    QFETCH(bool, years);
    QFETCH(bool, descending);
    QFETCH(QStringList, values);
    QFETCH(QString, order);
    QVector<int> rows;
    if (years) {
        QVector<qint64> numbers;
        for (const QString &value : values)
            numbers << TitleOrder::Year(value);
        rows = TitleOrder::ByNumber(numbers, descending);
    } else {
        rows = TitleOrder::ByText(
            int(values.size()), [&](int row) { return QStringView(values[row]); }, descending);
    }
    QStringList shown;
    for (const int row : rows)
        shown << QString::number(row);
    QCOMPARE(shown.join(' '), order);
}

void TestMainWindow::columnsAndOrder_data()
{
    // menu: Year chosen and the order reversed from View, Sort By, else by header clicks;
    // both give the same list, mark and checks.
    QTest::addColumn<bool>("menu");
    QTest::newRow("header clicks") << false;
    QTest::newRow("View, Sort By") << true;
}

// Year shown from the header's menu, ordered by it and reversed, the active title kept;
// the header's mark and View, Sort By follow; the values follow a change; the next window
// remembers both; hiding the column ordered by gives back the title order.
void TestMainWindow::columnsAndOrder()
{
    QFETCH(bool, menu);
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Alien", .date = "1979", .director = QString(10000, u'é')});
    w.folder.AddTitle({.title = "Brazil", .date = "c. 1985"});
    const qint64 casablanca = w.folder.AddTitle({.title = "Casablanca", .date = "1942"});
    // A long edition: the added columns must still be in view beside it.
    w.folder.AddTitle({.title = "Duel", .subTitle = QString(300, u'x'), .date = "1971"});
    w.load();
    w.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.main.get()));
    QCOMPARE(w.main->UltraGrid->model()->columnCount(), 3); // as without the columns
    const auto shown = [&] {
        QStringList rows;
        const QAbstractItemModel *model = w.main->UltraGrid->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows << model->index(row, 1).data().toString() + " "
                        + model->index(row, ListColumns::FirstExtra).data().toString();
        return rows.join(", ") + " | " + state(*w.main);
    };
    // Sort By's entries shown, "*" before those checked, then the header's mark.
    const auto marks = [&] {
        const QAction *sortBy = w.main->mnuView->actions().value(2);
        QStringList entries{sortBy->text() + ":"};
        for (const QAction *entry : sortBy->menu()->actions())
            if (entry->isVisible() && !entry->isSeparator())
                entries << (entry->isChecked() ? "*" : "") + entry->text();
        const QHeaderView *header = w.main->UltraGrid->horizontalHeader();
        const bool down = header->sortIndicatorOrder() == Qt::DescendingOrder;
        return entries.join(' ') + " | "
               + (header->isSortIndicatorShown()
                      ? QString::number(header->sortIndicatorSection()) + (down ? " down" : " up")
                      : "");
    };
    // By the menu's entry, or by a click on Year's header.
    const auto order = [&](const QString &entry) {
        if (menu) {
            for (QAction *action : w.main->mnuView->actions().value(2)->menu()->actions())
                if (action->text() == entry)
                    action->trigger();
            return;
        }
        QHeaderView *header = w.main->UltraGrid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(ListColumns::FirstExtra) + 8,
                                 header->height() / 2));
    };
    const QString reversed = "S&ort By: &Title &Edition *&Year D&irector *&Descending | 3 down";
    w.main->Columns->HeaderMenu()->actions().at(0)->trigger(); // Year
    w.main->Columns->HeaderMenu()->actions().at(1)->trigger(); // Director
    const QHeaderView *header = w.main->UltraGrid->horizontalHeader();
    QCOMPARE(header->sectionViewportPosition(ListColumns::TitleColumn),
             0); // Title and Year in view
    QVERIFY(header->sectionViewportPosition(ListColumns::FirstExtra) + header->sectionSize(3)
            <= header->viewport()->width());
    w.main->UltraGrid->ActivateRow(3);
    order("&Year");
    QCOMPARE(shown(), "Casablanca 1942, Duel 1971, Alien 1979, Brazil c. 1985 | 2 of 4 | Duel | ");
    QCOMPARE(marks(), "S&ort By: &Title &Edition *&Year D&irector &Descending | 3 up");
    order("&Descending");
    QCOMPARE(shown(), "Alien 1979, Duel 1971, Casablanca 1942, Brazil c. 1985 | 2 of 4 | Duel | ");
    QCOMPARE(marks(), reversed);
    w.main->Find->txtFind->setText("a"); // the order kept while a query filters
    w.main->Find->ApplyNow();
    QCOMPARE(shown(), "Alien 1979, Casablanca 1942, Brazil c. 1985 | 1 of 3 | Alien | 3 of 4");
    w.main->Find->txtFind->clear();
    w.main->Find->ApplyNow();
    w.folder.Exec("UPDATE DVD_Title SET Date = '1990' WHERE ID = ?", {casablanca});
    w.main->RefreshRecords(casablanca);
    const QString changed = "Casablanca 1990, Alien 1979, Duel 1971, Brazil c. 1985";
    QCOMPARE(shown(), changed + " | 1 of 4 | Casablanca | ");
    const QVector<qint64> printed = w.main->Filter().ShownTitleIds();
    QCOMPARE(printed.first(), casablanca); // the printed list in the order shown

    w.main.reset();
    w.load();
    QCOMPARE(shown(), changed + " | 1 of 4 | Casablanca | ");
    QVERIFY(!w.main->UltraGrid->isColumnHidden(ListColumns::FirstExtra + 1));
    QVERIFY(w.main->UltraGrid->isColumnHidden(ListColumns::FirstExtra + 2));
    const QModelIndex alien = w.main->UltraGrid->model()->index(1, ListColumns::FirstExtra + 1);
    QCOMPARE(alien.data().toString(), QString(10000, u'é')); // shown whole, elided by the view
    QCOMPARE(marks(), reversed);
    w.main->Columns->HeaderMenu()->actions().at(0)->trigger(); // Year hidden
    QCOMPARE(w.titles(), QStringList({"Alien", "Brazil", "Casablanca", "Duel"}));
    QCOMPARE(marks(), "S&ort By: *&Title &Edition D&irector &Descending | ");
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
