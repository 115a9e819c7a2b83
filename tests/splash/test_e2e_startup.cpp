// Start-up of the whole program: the splash first, then the main window; and the About
// command of the main window.
#include "Application.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

bool splashIsShown()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<frmSplash *>(window) && window->isVisible())
            return true;
    return false;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void firstKeyBringsUpMainWindow();
    void timerAloneBringsUpMainWindow();
    void aboutFromMenuAndToolbar_data();
    void aboutFromMenuAndToolbar();
    void everyWindowHasTheIcon();
};

void TestStartup::cleanup()
{
    ModalWaiter::CloseAllModals();
    frmSplash::SetTimerIntervalForTesting(0);
    MessageBox::Reset();
}

// The splash's own closing ways are in test_frmSplash; here the program goes on from it.
void TestStartup::firstKeyBringsUpMainWindow()
{
    constexpr int interval = 1000;
    frmSplash::SetTimerIntervalForTesting(interval);
    TestFolder folder;
    folder.AddTitle({QStringLiteral("Vertigo")});
    folder.AddTitle({QStringLiteral("Alien")});
    Application application(folder.Path());

    bool mainWasHidden = false;
    bool closedAtOnce = false;
    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *splash) {
        mainWasHidden = !application.MainWindow().isVisible();
        QTest::keyClick(splash, Qt::Key_Space);
        closedAtOnce = !splash->isVisible();
    });
    application.Launch();

    QVERIFY(waiter.Handled());
    QVERIFY(!waiter.Failed());
    QVERIFY2(mainWasHidden, "the main window came before the splash");
    QVERIFY(closedAtOnce);
    frmMain &main = application.MainWindow();
    QVERIFY(main.isVisible());
    QVERIFY(main.isEnabled());
    QCOMPARE(main.RecordCount(), 2);
    QCOMPARE(main.KeptTitle(), QStringLiteral("Alien"));

    // When the five seconds would have passed, nothing reloads or reopens anything.
    folder.AddTitle({QStringLiteral("Brazil")});
    QTest::qWait(interval + 300);
    QVERIFY(!splashIsShown());
    QVERIFY(main.isVisible());
    QCOMPARE(main.RecordCount(), 2);
    QCOMPARE(application.Shared().AboutMode, 0);
}

void TestStartup::timerAloneBringsUpMainWindow()
{
    frmSplash::SetTimerIntervalForTesting(150);
    TestFolder folder;
    folder.AddTitle({QStringLiteral("Vertigo")});
    Application application(folder.Path());

    bool splashSeen = false;
    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *) {
        splashSeen = !application.MainWindow().isVisible();
    });
    application.Launch();

    QVERIFY(splashSeen);
    QVERIFY(!splashIsShown());
    QVERIFY(application.MainWindow().isVisible());
    QVERIFY(application.MainWindow().isEnabled());
    QCOMPARE(application.MainWindow().RecordCount(), 1);
}

void TestStartup::aboutFromMenuAndToolbar_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("Help, About") << true;
    QTest::newRow("toolbar button 5") << false;
}

void TestStartup::aboutFromMenuAndToolbar()
{
    QFETCH(bool, fromMenu);
    frmSplash::SetTimerIntervalForTesting(50);
    TestFolder folder;
    Application application(folder.Path());
    application.Launch();
    frmMain &main = application.MainWindow();
    QVERIFY(main.isEnabled());

    bool asAboutBox = false;
    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *about) {
        asAboutBox = application.Shared().AboutMode == 1 && !main.isEnabled()
                     && about->cmdOk->isVisible()
                     && about->lblVersion->text() == frmSplash::VersionText();
        QTest::qWait(200); // beyond the start-up timer: it must not run here
        if (about->isVisible())
            QTest::mouseClick(about->cmdOk, Qt::LeftButton);
    });
    QAction *command = fromMenu ? main.mnuAbout : main.ToolbarButton(5);
    QVERIFY(command);
    command->trigger();

    QVERIFY(waiter.Handled());
    QVERIFY(!waiter.Failed());
    QVERIFY(asAboutBox);
    QCOMPARE(application.Shared().AboutMode, 0);
    QVERIFY(main.isVisible());
    QVERIFY(main.isEnabled());
}

void TestStartup::everyWindowHasTheIcon()
{
    frmSplash::SetTimerIntervalForTesting(50);
    TestFolder folder;
    Application application(folder.Path());
    QVERIFY(!QApplication::windowIcon().isNull());
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));

    const QImage icon = QApplication::windowIcon().pixmap(32).toImage();
    ModalWaiter waiter;
    bool splashHasIcon = false;
    waiter.Expect<frmSplash>([&](frmSplash *splash) {
        splashHasIcon = splash->windowIcon().pixmap(32).toImage() == icon;
    });
    application.Launch();
    QVERIFY(splashHasIcon);
    QCOMPARE(application.MainWindow().windowIcon().pixmap(32).toImage(), icon);
}

QTEST_MAIN(TestStartup)
#include "test_e2e_startup.moc"
