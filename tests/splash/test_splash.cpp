// The program's start through the splash, the About box from the main window, and the
// window's controls fitting whatever font stands in.
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
#include <QTimer>

namespace {

QList<QLabel *> labelsOf(const frmSplash &window)
{
    return {window.lblProductName, window.lblRegisteredTrademark, window.lblQuorvel,
            window.lblVersion,     window.lblCopyright,           window.lblWarning};
}

// Where a key goes when the user types: the focused control, else the window.
QWidget *keyTarget(QWidget *window)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && window->isAncestorOf(focus) ? focus : window;
}

bool hasTheIcon(const QWidget &window)
{
    const QIcon icon = QApplication::windowIcon();
    return !icon.isNull() && window.windowIcon().pixmap(32).toImage() == icon.pixmap(32).toImage();
}

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        frmSplash::SetTimerIntervalForTesting(0);
        MessageBox::Reset();
    }

    void splashOpensTheProgram_data();
    void splashOpensTheProgram();
    void aboutStaysUntilClosed_data();
    void aboutStaysUntilClosed();
    void controlsFitInsideTheWindow_data();
    void controlsFitInsideTheWindow();
};

void TestSplash::splashOpensTheProgram_data()
{
    QTest::addColumn<QString>("clicked"); // object name of what is clicked; empty = nothing
    QTest::addColumn<int>("key");         // 0 = no key
    QTest::newRow("letter key") << "" << int(Qt::Key_A);
    QTest::newRow("Escape") << "" << int(Qt::Key_Escape);
    QTest::newRow("Shift alone") << "" << int(Qt::Key_Shift);
    QTest::newRow("click on the window") << "window" << 0;
    QTest::newRow("click on a label") << "lblVersion" << 0;
    QTest::newRow("the timer alone") << "" << 0;
}

void TestSplash::splashOpensTheProgram()
{
    QFETCH(QString, clicked);
    QFETCH(int, key);
    const bool byTimer = clicked.isEmpty() && !key;
    // Long enough that a splash left up by a click or key would be seen, short for the timer.
    frmSplash::SetTimerIntervalForTesting(byTimer ? 150 : 3000);
    TestFolder folder;
    folder.AddTitle({QStringLiteral("Vertigo")});
    folder.AddTitle({QStringLiteral("Alien")});
    Application application(folder.Path());
    frmMain &main = application.MainWindow();

    bool mainWasHidden = false;
    bool splashHasTheIcon = false;
    bool closedAtOnce = byTimer;
    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *splash) {
        mainWasHidden = !main.isVisible();
        splashHasTheIcon = hasTheIcon(*splash);
        if (key)
            QTest::keyClick(keyTarget(splash), Qt::Key(key));
        if (!clicked.isEmpty()) {
            QWidget *target = clicked == "window" ? splash : splash->findChild<QWidget *>(clicked);
            QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        }
        if (!byTimer)
            closedAtOnce = !splash->isVisible() && !splash->Timer1->isActive();
    });
    application.Launch();

    QVERIFY(waiter.Handled());
    QVERIFY2(mainWasHidden, "the main window came before the splash");
    QVERIFY(closedAtOnce);
    QVERIFY(splashHasTheIcon);
    QVERIFY(hasTheIcon(main));
    QVERIFY(main.isVisible());
    QVERIFY(main.isEnabled());
    QCOMPARE(main.RecordCount(), 2);
    QCOMPARE(application.Shared().AboutMode, 0);
}

void TestSplash::aboutStaysUntilClosed_data()
{
    QTest::addColumn<bool>("fromToolbar"); // else Help, About
    QTest::addColumn<QString>("how");
    QTest::newRow("Ok clicked") << false << "click";
    QTest::newRow("Alt+O, from the toolbar") << true << "Alt+O";
    QTest::newRow("Enter") << false << "Enter";
    QTest::newRow("Return") << false << "Return";
    QTest::newRow("Escape") << false << "Escape";
    // Not offered, but a desktop may close it (Alt+F4): the main window must not stay disabled.
    QTest::newRow("closed by the desktop") << false << "close";
}

void TestSplash::aboutStaysUntilClosed()
{
    QFETCH(bool, fromToolbar);
    QFETCH(QString, how);
    frmSplash::SetTimerIntervalForTesting(1);
    TestFolder folder;
    folder.AddTitle({QStringLiteral("Alien")});
    Application application(folder.Path());
    application.Start();
    frmMain &main = application.MainWindow();

    bool stayed = false;
    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *about) {
        // Nothing but Ok (or its keys) closes it: not clicks, not other keys, not the timer.
        for (QLabel *label : labelsOf(*about))
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(5, 5));
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_F1, Qt::Key_Shift, Qt::Key_Tab})
            QTest::keyClick(keyTarget(about), key);
        stayed = about->isVisible() && !about->Timer1->isActive() && about->cmdOk->isVisible()
                 && application.Shared().AboutMode == 1 && !main.isEnabled();
        if (how == QLatin1String("click"))
            QTest::mouseClick(about->cmdOk, Qt::LeftButton);
        else if (how == QLatin1String("close"))
            about->close();
        else
            QTest::keySequence(keyTarget(about), QKeySequence::fromString(how));
    });
    (fromToolbar ? main.ToolbarButton(5) : main.mnuAbout)->trigger();

    QVERIFY(waiter.Handled());
    QVERIFY2(!waiter.Failed(), "the About box did not close");
    QVERIFY(stayed);
    QCOMPARE(application.Shared().AboutMode, 0);
    QVERIFY(main.isVisible());
    QVERIFY(main.isEnabled());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestSplash::controlsFitInsideTheWindow_data()
{
    QTest::addColumn<int>("aboutMode");
    QTest::newRow("splash") << 0;
    QTest::newRow("About box") << 1;
}

void TestSplash::controlsFitInsideTheWindow()
{
    // Verdana is often missing: whatever font stands in, no text may be cut off or run
    // into another control or over the window's edge.
    QFETCH(int, aboutMode);
    TestFolder folder;
    auto shared = folder.MakeShared();
    shared->AboutMode = aboutMode;
    frmSplash window(*shared);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QList<QWidget *> controls;
    for (QLabel *label : labelsOf(window)) {
        const QRect box = label->geometry();
        QVERIFY2(label->wordWrap() ? label->heightForWidth(box.width()) <= box.height()
                                   : label->sizeHint().width() <= box.width(),
                 qPrintable(label->objectName()));
        controls << label;
    }
    if (window.cmdOk->isVisible())
        controls << window.cmdOk;
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY2(window.rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + " and " + controls[j]->objectName()));
    }
}

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
