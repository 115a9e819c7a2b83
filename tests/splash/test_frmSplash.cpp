// The splash and About window on its own: its two roles, how each one closes, and its
// texts and layout.
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QList<QLabel *> labelsOf(const frmSplash &window)
{
    return {window.lblProductName, window.lblRegisteredTrademark, window.lblQuorvel,
            window.lblVersion,     window.lblCopyright,           window.lblWarning};
}

QWidget *widgetNamed(frmSplash &window, const QString &name)
{
    return name.isEmpty() ? &window : window.findChild<QWidget *>(name);
}

// Where a key goes when the user types: the focused control, else the window.
QWidget *keyTarget(QWidget *window)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && window->isAncestorOf(focus) ? focus : window;
}

} // namespace

class TestFrmSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void splashClosesAtFirstClickOrKey_data();
    void splashClosesAtFirstClickOrKey();
    void splashTimerClosesItOnce();

    void aboutIgnoresClicksKeysAndTime();
    void aboutClosesByOk_data();
    void aboutClosesByOk();

    void controlsFitInsideTheWindow_data();
    void controlsFitInsideTheWindow();
};

void TestFrmSplash::cleanup()
{
    ModalWaiter::CloseAllModals();
    frmSplash::SetTimerIntervalForTesting(0);
    MessageBox::Reset();
}

void TestFrmSplash::splashClosesAtFirstClickOrKey_data()
{
    QTest::addColumn<QString>("target"); // object name; empty = the window itself
    QTest::addColumn<int>("key");         // 0 = a click
    QTest::newRow("letter key") << QString() << int(Qt::Key_A);
    QTest::newRow("Escape") << QString() << int(Qt::Key_Escape);
    QTest::newRow("Shift alone") << QString() << int(Qt::Key_Shift);
    QTest::newRow("click window") << QString() << 0;
    QTest::newRow("click a label") << "lblVersion" << 0;
}

void TestFrmSplash::splashClosesAtFirstClickOrKey()
{
    QFETCH(QString, target);
    QFETCH(int, key);
    constexpr int interval = 1000;
    frmSplash::SetTimerIntervalForTesting(interval);

    TestFolder folder;
    auto shared = folder.MakeShared();
    frmSplash splash(*shared);
    QSignalSpy closed(&splash, &QDialog::finished);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QVERIFY2(splash.isVisible(), "closed before the user did anything");
    QVERIFY(splash.Timer1->isActive());

    QWidget *widget = widgetNamed(splash, target);
    QVERIFY(widget);
    if (key)
        QTest::keyClick(keyTarget(&splash), Qt::Key(key));
    else
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());

    // At once, not when the timer would have fired.
    QVERIFY(!splash.isVisible());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(shared->AboutMode, 0);
    // Nothing more happens when the interval passes.
    QVERIFY(!splash.Timer1->isActive());
}

void TestFrmSplash::splashTimerClosesItOnce()
{
    constexpr int interval = 150;
    frmSplash::SetTimerIntervalForTesting(interval);
    TestFolder folder;
    auto shared = folder.MakeShared();
    frmSplash splash(*shared);
    QSignalSpy closed(&splash, &QDialog::finished);

    // The timer counts from the showing, not from the creation.
    QTest::qWait(interval * 2);
    QVERIFY(closed.isEmpty());
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 5000);
    QVERIFY(!splash.isVisible());
    QCOMPARE(closed.at(0).at(0).toInt(), int(QDialog::Accepted));

    // The timer fires once only.
    QTest::qWait(interval * 2);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!splash.Timer1->isActive());
}

void TestFrmSplash::aboutIgnoresClicksKeysAndTime()
{
    frmSplash::SetTimerIntervalForTesting(50);
    TestFolder folder;
    auto shared = folder.MakeShared();
    frmMain main(*shared);
    main.Form_Load();
    main.show();

    bool checked = false;
    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *about) {
        QCOMPARE(shared->AboutMode, 1);
        QVERIFY(!main.isEnabled());
        QVERIFY(about->isEnabled());
        QVERIFY(about->cmdOk->isVisible());
        QVERIFY(about->cmdOk->isDefault());

        for (QLabel *label : labelsOf(*about))
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(5, 5));
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_Z, Qt::Key_F1, Qt::Key_Shift, Qt::Key_Tab})
            QTest::keyClick(keyTarget(about), key);
        QTest::keyClick(about, Qt::Key_X);
        // Longer than the start-up timer would run: no timer closes the About box.
        QTest::qWait(300);
        QVERIFY(about->isVisible());
        QVERIFY(!about->Timer1->isActive());
        QCOMPARE(shared->AboutMode, 1);
        QVERIFY(!main.isEnabled());
        checked = true;
        QTest::mouseClick(about->cmdOk, Qt::LeftButton);
    });
    frmSplash::ShowAbout(*shared, main);

    QVERIFY(!waiter.Failed());
    QVERIFY(checked);
    QCOMPARE(shared->AboutMode, 0);
    QVERIFY(main.isEnabled());
}

void TestFrmSplash::aboutClosesByOk_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ok clicked") << "click";
    QTest::newRow("Alt+O") << "mnemonic";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Return") << "return";
    QTest::newRow("Escape") << "escape";
    // Not offered, but a desktop may still close it (Alt+F4): the main window must not
    // stay disabled behind it.
    QTest::newRow("closed by the desktop") << "close";
}

void TestFrmSplash::aboutClosesByOk()
{
    QFETCH(QString, how);
    TestFolder folder;
    folder.AddTitle({QStringLiteral("Alien")});
    auto shared = folder.MakeShared();
    frmMain main(*shared);
    main.Form_Load();
    main.show();

    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *about) {
        if (how == QLatin1String("click"))
            QTest::mouseClick(about->cmdOk, Qt::LeftButton);
        else if (how == QLatin1String("mnemonic"))
            QTest::keyClick(keyTarget(about), Qt::Key_O, Qt::AltModifier);
        else if (how == QLatin1String("enter"))
            QTest::keyClick(keyTarget(about), Qt::Key_Enter);
        else if (how == QLatin1String("return"))
            QTest::keyClick(about, Qt::Key_Return);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(keyTarget(about), Qt::Key_Escape);
        else
            about->close();
    });
    frmSplash::ShowAbout(*shared, main);

    QVERIFY(waiter.Handled());
    QVERIFY2(!waiter.Failed(), "the About box did not close");
    QCOMPARE(shared->AboutMode, 0);
    QVERIFY(main.isVisible());
    QVERIFY(main.isEnabled());
    QCOMPARE(main.RecordCount(), 1);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestFrmSplash::controlsFitInsideTheWindow_data()
{
    QTest::addColumn<int>("aboutMode");
    QTest::newRow("splash") << 0;
    QTest::newRow("About box") << 1;
}

void TestFrmSplash::controlsFitInsideTheWindow()
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
        if (label->wordWrap())
            QVERIFY2(label->heightForWidth(box.width()) <= box.height(),
                     qPrintable(label->objectName()));
        else
            QVERIFY2(label->sizeHint().width() <= box.width(), qPrintable(label->objectName()));
        controls << label;
    }
    if (window.cmdOk->isVisible())
        controls << window.cmdOk;
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY2(window.rect().contains(controls[i]->geometry()),
                 qPrintable(controls[i]->objectName()));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + QStringLiteral(" and ")
                                + controls[j]->objectName()));
    }
}

QTEST_MAIN(TestFrmSplash)
#include "test_frmSplash.moc"
