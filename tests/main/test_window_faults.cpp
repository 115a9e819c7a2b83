// The main window by keyboard and on small screens: what is asserted here was once wrong.
#include "ElidedLabel.h"
#include "MainWindowFixture.h"
#include "frmMain.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>

namespace {

void showAndWait(QWidget *window)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

QString longTitle(int length)
{
    QString text;
    while (text.size() < length)
        text += QStringLiteral("Wonderful ");
    return text.left(length);
}

} // namespace

class TestWindowFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabStripFollowsTheSelectedTab_data();
    void tabStripFollowsTheSelectedTab();
    void listTakesKeysAtOnce_data();
    void listTakesKeysAtOnce();
    void longTitleIsElidedAndSizeStays_data();
    void longTitleIsElidedAndSizeStays();
    void openingSizeFitsTheScreen_data();
    void openingSizeFitsTheScreen();
    void emptyListKeepsBoxesInPlace();
    void coverDecodedAtTheShownSize();
};

void TestWindowFaults::tabStripFollowsTheSelectedTab_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("keyboard") << "keyboard";
    QTest::newRow("wheel") << "wheel";
    QTest::newRow("mouse") << "mouse";
}

void TestWindowFaults::tabStripFollowsTheSelectedTab()
{
    QFETCH(QString, how);
    MainWindowFixture f;
    f.folder.AddTitle({.title = "Alpha", .summary = "The summary", .eggs = "The eggs"});
    f.load();
    showAndWait(f.main.get());
    QTabBar *strip = f.main->MultiTabStrip;

    if (how == "keyboard") {
        strip->setFocus();
        QTest::keyClick(strip, Qt::Key_Right);
    } else if (how == "wheel") {
        const QPointF at = strip->tabRect(0).center();
        QWheelEvent wheel(at, strip->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(strip, &wheel);
    } else {
        f.clickTab(1);
    }

    QCOMPARE(strip->currentIndex(), 1);
    QCOMPARE(f.main->CurrentTab(), 2);
    QCOMPARE(f.main->txtMulti->toPlainText(), QStringLiteral("The eggs"));
}

void TestWindowFaults::listTakesKeysAtOnce_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("Down") << int(Qt::Key_Down) << int(Qt::NoModifier) << 0 << 1;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << int(Qt::NoModifier) << 0 << 39;
    QTest::newRow("End") << int(Qt::Key_End) << int(Qt::NoModifier) << 0 << 39;
    QTest::newRow("Home") << int(Qt::Key_Home) << int(Qt::NoModifier) << 20 << 0;
    QTest::newRow("Ctrl+End") << int(Qt::Key_End) << int(Qt::ControlModifier) << 0 << 39;
    QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 20 << 0;
}

void TestWindowFaults::listTakesKeysAtOnce()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, from);
    QFETCH(int, to);
    MainWindowFixture f;
    for (int i = 0; i < 40; ++i)
        f.folder.AddTitle({.title = QStringLiteral("Title %1").arg(i, 2, 10, QLatin1Char('0'))});
    f.load();
    // A small window, so that Page Down reaches the end of the list.
    f.main->resize(800, 500);
    f.main->show();
    QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
    QCOMPARE(QApplication::focusWidget(), f.main->UltraGrid);
    if (from != 0)
        f.main->UltraGrid->ActivateRow(from);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (key == Qt::Key_PageDown)
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(f.main->UltraGrid, Qt::Key_PageDown);

    QCOMPARE(f.main->UltraGrid->ActiveRow(), to);
    QCOMPARE(f.main->Position(), to + 1);
    QCOMPARE(f.main->lblTitle->FullText(), f.titles().at(to));
}

void TestWindowFaults::longTitleIsElidedAndSizeStays_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("300 characters") << longTitle(300);
    QTest::newRow("55 W's, no blank") << QString(55, QLatin1Char('W'));
    QTest::newRow("100,000 characters") << longTitle(100000);
}

void TestWindowFaults::longTitleIsElidedAndSizeStays()
{
    QFETCH(QString, title);
    MainWindowFixture f;
    f.folder.AddTitle({.title = "Short", .summary = "Summary", .features = "Features",
                       .cast = {{"Actor", "Role"}}});
    f.folder.AddTitle({.title = title, .summary = "Summary", .features = "Features",
                       .cast = {{"Actor", "Role"}}});
    f.load();
    showAndWait(f.main.get());
    const QSize before = f.main->size();
    const int castHeight = f.main->CastUltraGRid->height();
    const int summaryHeight = f.main->txtMulti->height();

    f.main->UltraGrid->ActivateRow(f.titles().indexOf(title));
    QApplication::processEvents();

    ElidedLabel *label = f.main->lblTitle;
    QCOMPARE(label->FullText(), title);
    QVERIFY(label->IsElided());
    QVERIFY(label->text().count(QLatin1Char('\n')) <= 1);
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    QCOMPARE(label->toolTip(), title);
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text().section('\n', -1))
            <= label->contentsRect().width());
    // The window and the rest of the panel keep their size.
    QCOMPARE(f.main->size(), before);
    QCOMPARE(f.main->CastUltraGRid->height(), castHeight);
    QVERIFY(f.main->txtMulti->height() >= summaryHeight - label->fontMetrics().lineSpacing());
}

void TestWindowFaults::openingSizeFitsTheScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("large screen: the designed size") << QRect(0, 0, 1920, 1050) << QSize(1180, 720);
    QTest::newRow("1024x768 with a panel") << QRect(0, 28, 1024, 740) << QSize(1008, 700);
    QTest::newRow("1280x720") << QRect(0, 0, 1280, 720) << QSize(1180, 680);
}

void TestWindowFaults::openingSizeFitsTheScreen()
{
    QFETCH(QRect, available);
    QFETCH(QSize, expected);
    QCOMPARE(frmMain::OpeningSize(available), expected);

    // The window really takes that size, and the cover stays inside it.
    MainWindowFixture f;
    f.folder.AddTitle({.title = longTitle(300), .director = longTitle(200),
                       .cast = {{longTitle(80), longTitle(80)}}});
    f.load();
    f.main->resize(expected);
    showAndWait(f.main.get());
    QCOMPARE(f.main->size(), expected);
    const QRect cover(f.main->ImgCover->mapTo(f.main.get(), QPoint(0, 0)),
                      f.main->ImgCover->size());
    QVERIFY(f.main->rect().contains(cover));
}

void TestWindowFaults::emptyListKeepsBoxesInPlace()
{
    // At start-up on an empty list, and after a delete empties it.
    MainWindowFixture empty;
    empty.load();
    showAndWait(empty.main.get());
    MainWindowFixture f;
    const qint64 id = f.folder.AddTitle({.title = "Only", .genres = {"Drama"}});
    f.load();
    showAndWait(f.main.get());
    const auto top = [](const MainWindowFixture &m) {
        return m.main->txtGenreDisplay->mapTo(m.main.get(), QPoint(0, 0));
    };
    const QPoint withRows = top(f);
    QVERIFY(f.main->lblGenreTitle->isVisible());

    f.folder.Exec("DELETE FROM DVD_Title WHERE ID = ?", {id});
    f.main->RefreshRecords();
    QApplication::processEvents();

    for (const MainWindowFixture *m : {&f, &empty}) {

        QVERIFY(!m->main->lblGenreTitle->isVisible());
        QVERIFY(!m->main->lblDirectedByTitle->isVisible());
        QVERIFY(!m->main->lblClickToEditPhoto->isVisible());
        QCOMPARE(top(*m), withRows);
    }
}

void TestWindowFaults::coverDecodedAtTheShownSize()
{
    TestFolder folder;
    const QString file = folder.WritePicture("big.jpg", "JPEG", 3000, 2000);
    const QImage picture = frmMain::ReadCover(file);
    QCOMPARE(picture.size(), QSize(frmMain::CoverWidth, 133));
}

QTEST_MAIN(TestWindowFaults)
#include "test_window_faults.moc"
