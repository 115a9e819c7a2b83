// The title list: filtering, order, counter, enabled commands, activation, the grid adapter.
#include "DataGrid.h"
#include "MainWindowFixture.h"
#include "frmMain.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void inventoryAndWishlist();
    void emptyList();
    void coverClickIsLeftButtonOnly();
    void rowActivation();
    void activationEmptiesEditModeOnlyWhenEnabled();
    void gridAdapter();
    void pastSixteenBits();
};

void TestMainWindow::inventoryAndWishlist()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "banana"});
    w.folder.AddTitle({.title = "Cherry", .wishList = 1});
    w.folder.AddTitle({.title = "apple"});
    w.folder.AddTitle({.title = "Banana Split", .wishList = 1});
    w.folder.AddTitle({.title = "Stray", .wishList = 2});
    w.folder.AddTitle({.title = "Zebra"});
    w.load();

    QVERIFY(w.main->OptionWishList[0]->isChecked());
    QCOMPARE(w.titles(), QStringList({"apple", "banana", "Zebra"}));
    QCOMPARE(w.main->lblRecordSelected->text(), QString("1 of 3"));
    QVERIFY(w.main->UltraGrid->isColumnHidden(0));

    w.main->OptionWishList[1]->click();
    QCOMPARE(w.shared->WishListFilter, 1);
    QCOMPARE(w.titles(), QStringList({"Banana Split", "Cherry"}));
    QCOMPARE(w.main->lblRecordSelected->text(), QString("1 of 2"));
    QCOMPARE(w.main->KeptTitle(), QString("Banana Split"));

    w.main->OptionWishList[0]->click();
    QCOMPARE(w.shared->WishListFilter, 0);
    QCOMPARE(w.titles(), QStringList({"apple", "banana", "Zebra"}));
}

void TestMainWindow::emptyList()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Owned"});
    w.load();
    QVERIFY(w.main->mnuModify->isEnabled());
    QVERIFY(w.main->ToolbarButton(3)->isEnabled());
    w.main->show();
    QVERIFY(w.main->lblClickToEditPhoto->isVisible());
    QCOMPARE(w.main->ImgCover->cursor().shape(), Qt::PointingHandCursor);

    w.main->OptionWishList[1]->click(); // nothing on the wish list
    QCOMPARE(w.main->lblRecordSelected->text(), QString("0 of 0"));
    for (QAction *action : {w.main->mnuModify, w.main->mnuDelete, w.main->ToolbarButton(2),
                            w.main->ToolbarButton(3)})
        QVERIFY(!action->isEnabled());
    for (QAction *action : {w.main->mnuAdd, w.main->mnuAbout, w.main->mnuExit,
                            w.main->ToolbarButton(1), w.main->ToolbarButton(5),
                            w.main->ToolbarButton(7)})
        QVERIFY(action->isEnabled());
    QVERIFY(!w.main->lblClickToEditPhoto->isVisible());
    QVERIFY(!w.main->lblDirectedByTitle->isVisible());
    QCOMPARE(w.main->ImgCover->cursor().shape(), Qt::ArrowCursor);
}

void TestMainWindow::coverClickIsLeftButtonOnly()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Covered"});
    w.load();
    QSignalSpy clicks(w.main.get(), &frmMain::ImgCoverClicked);
    QTest::mouseClick(w.main->ImgCover, Qt::RightButton);
    QCOMPARE(clicks.count(), 0);
    QTest::mouseClick(w.main->ImgCover, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
}

void TestMainWindow::rowActivation()
{
    MainWindowFixture w;
    const qint64 b = w.folder.AddTitle({.title = "B"});
    const qint64 a = w.folder.AddTitle({.title = "A"});
    const qint64 c = w.folder.AddTitle({.title = "C"});
    w.load();
    QCOMPARE(w.shared->SelectedTitleId, a);

    w.main->UltraGrid->ActivateRow(2);
    QCOMPARE(w.shared->SelectedTitleId, c);
    QCOMPARE(w.main->lblRecordSelected->text(), QString("3 of 3"));
    QCOMPARE(w.main->KeptTitle(), QString("C"));

    QTest::keyClick(w.main->UltraGrid, Qt::Key_Up);
    QCOMPARE(w.shared->SelectedTitleId, b);
    QCOMPARE(w.main->lblRecordSelected->text(), QString("2 of 3"));

    // A reload shows the first title again, whatever was active.
    w.main->RefreshRecords();
    QCOMPARE(w.shared->SelectedTitleId, a);
    QCOMPARE(w.main->lblRecordSelected->text(), QString("1 of 3"));
}

void TestMainWindow::activationEmptiesEditModeOnlyWhenEnabled()
{
    MainWindowFixture w;
    w.load();
    w.shared->EditMode = "No";
    w.main->setEnabled(false);
    QEvent change(QEvent::ActivationChange);
    w.main->show();
    w.main->activateWindow();
    QApplication::sendEvent(w.main.get(), &change);
    QCOMPARE(w.shared->EditMode, QString("No"));

    w.main->setEnabled(true);
    w.main->activateWindow();
    QApplication::setActiveWindow(w.main.get());
    QApplication::sendEvent(w.main.get(), &change);
    QTRY_COMPARE(w.shared->EditMode, QString());
}

void TestMainWindow::gridAdapter()
{
    auto list = std::make_shared<RecordList>();
    list->AppendField("Actor");
    list->AppendField("Character");
    list->OpenInMemory();
    DataGrid grid;
    grid.SetDataSource(list);
    QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 0; i < 5; ++i) {
        list->AddNew();
        list->SetValue("Actor", QString("Actor %1").arg(i));
    }
    list->Move(2);
    list->Delete();
    QCOMPARE(grid.model()->rowCount(), 4);
    QCOMPARE(grid.CellValue(2, 0).toString(), QString("Actor 3"));
    QVERIFY(grid.model()->setData(grid.model()->index(0, 1), "Role") == false); // not editable
    grid.SetEditable(true);
    QVERIFY(grid.model()->setData(grid.model()->index(0, 1), "Role"));
    QCOMPARE(list->ValueAt(0, 1).toString(), QString("Role"));
    grid.SetBeforeCellUpdate([](int, int, const QVariant &value) { return !value.toString().isEmpty(); });
    QVERIFY(!grid.model()->setData(grid.model()->index(0, 1), QString()));
    QCOMPARE(list->ValueAt(0, 1).toString(), QString("Role"));

    // Editing a cell keeps a value of any length.
    std::unique_ptr<QWidget> editor(grid.itemDelegate()->createEditor(
        grid.viewport(), QStyleOptionViewItem(), grid.model()->index(0, 0)));
    auto *line = qobject_cast<QLineEdit *>(editor.get());
    QVERIFY(line);
    line->setText(QString(40000, QLatin1Char('a')));
    QCOMPARE(line->text().size(), 40000);

    // The grid's active row moves the list's current record.
    grid.ActivateRow(3);
    QCOMPARE(list->AbsolutePosition(), 4);
    list->SetRows({{"X", QVariant()}});
    QCOMPARE(grid.model()->rowCount(), 1);
}

void TestMainWindow::pastSixteenBits()
{
    MainWindowFixture w;
    w.folder.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                  "INSERT INTO DVD_Title (ID, Title, Sub_Title, WishList) "
                  "SELECT 40000 + i, 'Title ' || i, CASE WHEN i % 3 = 0 THEN NULL ELSE 'Ed' END, 0 "
                  "FROM n");
    w.load();
    QCOMPARE(w.main->lblRecordSelected->text(), QString("1 of 40000"));
    QCOMPARE(w.main->RecordCount(), 40000);
    w.main->UltraGrid->ActivateRow(39999);
    QCOMPARE(w.main->lblRecordSelected->text(), QString("40000 of 40000"));
    QVERIFY(w.shared->SelectedTitleId > 32767);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
