// The column-fitting rule, and grids with a sorting or filtering proxy in front.
#include "ColumnFit.h"
#include "DataGrid.h"
#include "MainWindowFixture.h"
#include "Twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTest>

class TestGridRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitWidth_data();
    void fitWidth();
    void fitColumnHeaderPadding();
    void fitColumnShortAndLongList_data();
    void fitColumnShortAndLongList();
    void detailCastColumnCapped();
    void windowGridsFit_data();
    void windowGridsFit();

    void proxyMapsRows();
    void homeEndBehindProxy();
    void mainWindowBehindProxy();
};

namespace {

std::shared_ptr<RecordList> listOf(const QStringList &names)
{
    auto list = std::make_shared<RecordList>();
    list->AppendField(QStringLiteral("Name"));
    list->OpenInMemory();
    for (const QString &name : names) {
        list->AddNew();
        list->SetValue(0, name);
        list->Update();
    }
    return list;
}

} // namespace

void TestGridRules::fitWidth_data()
{
    // Margins as the windows use them: title list 0/200, detail cast 400/400,
    // step 3 and paste generator 0/200, genre manager 400/200.
    QTest::addColumn<int>("captionPixels");
    QTest::addColumn<int>("widestPixels");
    QTest::addColumn<int>("headerMargin");
    QTest::addColumn<int>("valueMargin");
    QTest::addColumn<int>("expected");
    const auto px = [](int pixels) { return Twips::FromPixels(pixels); };
    QTest::newRow("caption wider") << 100 << 50 << 0 << 200 << px(100);
    QTest::newRow("value wider by its margin") << 50 << 50 << 0 << 200 << px(50) + 200;
    QTest::newRow("no text: caption only") << 40 << 0 << 400 << 400 << px(40) + 400;
    QTest::newRow("both margins") << 40 << 60 << 400 << 400 << px(60) + 400;
    QTest::newRow("header margin wins") << 60 << 60 << 400 << 200 << px(60) + 400;
    QTest::newRow("value capped") << 40 << 5000 << 0 << 200 << ColumnFit::MaxTwips;
    QTest::newRow("caption capped") << 5000 << 10 << 400 << 200 << ColumnFit::MaxTwips;
}

void TestGridRules::fitWidth()
{
    QFETCH(int, captionPixels);
    QFETCH(int, widestPixels);
    QFETCH(int, headerMargin);
    QFETCH(int, valueMargin);
    QFETCH(int, expected);
    QCOMPARE(ColumnFit(headerMargin, valueMargin).Width(captionPixels, widestPixels), expected);
}

void TestGridRules::fitColumnHeaderPadding()
{
    DataGrid grid;
    grid.SetDataSource(listOf({}));
    grid.SetHeaderCaption(0, QStringLiteral("Title"));
    const QFontMetrics metrics(grid.font());
    const int caption = metrics.horizontalAdvance(QStringLiteral("Title"));
    const int padding = 2 * grid.horizontalHeader()->style()->pixelMetric(QStyle::PM_HeaderMargin);
    QCOMPARE(grid.FitColumn(0, metrics, ColumnFit(0, 200)), Twips::FromPixels(caption));
    QCOMPARE(grid.FitColumn(0, metrics, ColumnFit(0, 200, true)),
             Twips::FromPixels(caption + padding));
    QVERIFY(grid.columnWidth(0) >= caption + padding);
}

void TestGridRules::fitColumnShortAndLongList_data()
{
    // Short lists are shaped text by text, long ones through the widest-text estimate.
    QTest::addColumn<int>("rows");
    QTest::newRow("short") << 20;
    QTest::newRow("long") << 2000;
}

void TestGridRules::fitColumnShortAndLongList()
{
    QFETCH(int, rows);
    const QStringList words{"Ocean's", "Amélie", "WALL·E", "Москва", "千と千尋", "Ill", "Wolf"};
    QStringList names;
    for (int i = 0; i < rows; ++i)
        names << words[i % words.size()] + QLatin1Char(' ') + words[(i / 7) % words.size()];
    DataGrid grid;
    grid.SetDataSource(listOf(names));
    const QFontMetrics metrics(grid.font());
    int widest = 0;
    for (const QString &name : names)
        widest = std::max(widest, metrics.horizontalAdvance(name));
    QCOMPARE(grid.FitColumn(0, metrics, ColumnFit(0, 200)), Twips::FromPixels(widest) + 200);
}

// The same cast text reaches the detail panel, step 3 and the paste generator: one cap.
void TestGridRules::detailCastColumnCapped()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Long", .cast = {{QString(5000, QChar('W')), "Short"}}});
    w.load();
    const int width = w.main->CastUltraGRid->ColumnWidthTwips(0);
    QVERIFY2(width <= ColumnFit::MaxTwips && width >= ColumnFit::MaxTwips - Twips::FromPixels(1),
             qPrintable(QString::number(width)));
}

void TestGridRules::windowGridsFit_data()
{
    QTest::addColumn<bool>("titleList"); // else the detail panel's cast
    QTest::addColumn<QString>("text");
    QTest::newRow("title list, long title") << true << "A rather long title indeed";
    QTest::newRow("title list, short title: the caption") << true << "Up";
    QTest::newRow("detail cast, long name") << false << "A very long actor name indeed";
    QTest::newRow("detail cast, short name: the caption") << false << "Al";
}

// The main window's grids fit with their own margins: the title list 0/200 (the header's
// padding on the caption), the detail cast 400/400.
void TestGridRules::windowGridsFit()
{
    QFETCH(bool, titleList);
    QFETCH(QString, text);
    MainWindowFixture w;
    w.folder.AddTitle({.title = titleList ? text : "Title",
                       .cast = {{titleList ? "A" : text, "X"}}});
    w.load();
    DataGrid *grid = titleList ? w.main->UltraGrid : w.main->CastUltraGRid;
    const int column = titleList ? 1 : 0;
    const QFontMetrics metrics(titleList ? grid->font() : w.main->font());
    const QString caption = grid->HeaderCaption(column);
    const int padding = 2 * grid->horizontalHeader()->style()->pixelMetric(QStyle::PM_HeaderMargin);
    const int expected =
        titleList ? std::max(Twips::FromPixels(metrics.horizontalAdvance(caption) + padding),
                             Twips::TextWidth(metrics, text) + 200)
                  : std::max(Twips::TextWidth(metrics, caption), Twips::TextWidth(metrics, text)) + 400;
    const int actual = grid->ColumnWidthTwips(column);
    QVERIFY2(qAbs(actual - expected) <= Twips::FromPixels(1),
             qPrintable(QString("%1 vs %2").arg(actual).arg(expected)));
}

void TestGridRules::proxyMapsRows()
{
    auto list = listOf({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")});
    DataGrid grid;
    grid.SetDataSource(list);
    QSortFilterProxyModel proxy;
    grid.SetProxy(&proxy);
    proxy.sort(0, Qt::DescendingOrder); // c, b, a
    QSignalSpy activated(&grid, &DataGrid::AfterRowActivate);

    grid.ActivateFirstRow();
    QCOMPARE(activated.takeLast().at(0).toInt(), 1);
    QCOMPARE(list->CurrentRow(), 1);
    QCOMPARE(grid.ActiveRow(), 1);
    QCOMPARE(grid.ActivePosition(), 1);
    QCOMPARE(grid.CellValue(grid.ActiveRow(), 0).toString(), QStringLiteral("c"));

    grid.ActivateRow(2); // "a", shown last
    QCOMPARE(activated.takeLast().at(0).toInt(), 2);
    QCOMPARE(grid.ActivePosition(), 3);
    QCOMPARE(grid.RecordRow(0), 1);
    QCOMPARE(grid.ViewRow(0), 1);

    proxy.setFilterFixedString(QStringLiteral("b"));
    QCOMPARE(grid.ShownRowCount(), 1);
    QCOMPARE(grid.ViewRow(2), -1);
    activated.clear();
    grid.ActivateRow(2); // not shown: nothing happens
    QVERIFY(activated.isEmpty());
    grid.ActivateFirstRow();
    QCOMPARE(list->CurrentRow(), 0);

    grid.SetProxy(nullptr);
    QCOMPARE(grid.ShownRowCount(), 3);
    grid.ActivateRow(2);
    QCOMPARE(grid.ActivePosition(), 3);
}

// Home and End go to the first and last row the view shows, not the list's.
void TestGridRules::homeEndBehindProxy()
{
    auto list = listOf({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a"),
                        QStringLiteral("d")});
    DataGrid grid;
    grid.SetDataSource(list);
    QSortFilterProxyModel proxy;
    grid.SetProxy(&proxy);
    proxy.setFilterRegularExpression(QStringLiteral("^[bc]$"));
    proxy.sort(0, Qt::DescendingOrder); // c, b
    grid.ActivateFirstRow();

    QTest::keyClick(&grid, Qt::Key_End);
    QCOMPARE(grid.CellValue(grid.ActiveRow(), 0).toString(), QStringLiteral("b"));
    QCOMPARE(grid.ActivePosition(), 2);
    QCOMPARE(list->CurrentRow(), 0);
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(grid.CellValue(grid.ActiveRow(), 0).toString(), QStringLiteral("c"));
    QCOMPARE(grid.ActivePosition(), 1);
    QCOMPARE(list->CurrentRow(), 1);

    proxy.setFilterRegularExpression(QStringLiteral("^x$"));
    QTest::keyClick(&grid, Qt::Key_End); // nothing shown: nothing to go to
    QCOMPARE(grid.ActivePosition(), 0);
    grid.SetProxy(nullptr);
}

// A proxy in front of the title list: the counter, the first title and activation follow
// what the list shows, through the window's own code paths.
void TestGridRules::mainWindowBehindProxy()
{
    MainWindowFixture w;
    for (const char *title : {"Alpha", "Beta", "Gamma"})
        w.folder.AddTitle({.title = title});
    w.shared = w.folder.MakeShared();
    w.main = std::make_unique<frmMain>(*w.shared);
    QSortFilterProxyModel proxy;
    proxy.setFilterKeyColumn(1);
    proxy.sort(1, Qt::DescendingOrder);
    w.main->UltraGrid->SetProxy(&proxy);
    w.main->Form_Load();
    QCOMPARE(w.main->lblRecordSelected->text(), QStringLiteral("1 of 3"));
    QCOMPARE(w.main->KeptTitle(), QStringLiteral("Gamma"));

    proxy.setFilterFixedString(QStringLiteral("a"));
    w.main->RefreshRecords();
    QCOMPARE(w.main->lblRecordSelected->text(), QStringLiteral("1 of 3"));
    proxy.setFilterFixedString(QStringLiteral("Be"));
    w.main->RefreshRecords();
    QCOMPARE(w.main->lblRecordSelected->text(), QStringLiteral("1 of 1"));
    QCOMPARE(w.main->KeptTitle(), QStringLiteral("Beta"));
    w.main->UltraGrid->SetProxy(nullptr);
}

QTEST_MAIN(TestGridRules)
#include "test_grid_rules.moc"
