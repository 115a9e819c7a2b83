// The splash at the start, then the About box over the main window, every text fitting
// whatever font stands in for Verdana. And the installed program folder, of any name.
#include "Application.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "TestSeams.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

QList<QWidget *> labelsOf(const frmSplash &window)
{
    return {window.lblProductName, window.lblRegisteredTrademark, window.lblQuorvel,
            window.lblVersion,     window.lblCopyright,           window.lblWarning};
}

// What is wrong with the window as it shows: no program icon, or a control whose text is
// cut off or that runs into another or over the window's edge. Empty when nothing is.
QString fault(const frmSplash &window)
{
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull() || window.windowIcon().pixmap(32).toImage() != icon.pixmap(32).toImage())
        return "not the program's icon";
    QList<QWidget *> controls = labelsOf(window);
    if (window.cmdOk->isVisible())
        controls << window.cmdOk;
    for (QWidget *control : controls) {
        const auto *label = qobject_cast<QLabel *>(control);
        const QRect box = control->geometry();
        const bool cut = label && label->wordWrap()
                             ? label->heightForWidth(box.width()) > box.height()
                             : control->sizeHint().width() > box.width();
        if (cut || !window.rect().contains(box))
            return control->objectName() + " does not fit";
        for (QWidget *other : controls)
            if (other != control && other->geometry().intersects(box))
                return control->objectName() + " overlaps " + other->objectName();
    }
    return QString();
}

// Where a key goes when the user types: the focused control, else the window.
QWidget *keyTarget(QWidget *window)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && window->isAncestorOf(focus) ? focus : window;
}

// The program a launcher runs for a quoted Exec=: string escapes undone, then the quoting.
QString execProgram(QString exec)
{
    exec.replace("\\\\", "\\").replace("%%", "%");
    QString program;
    for (qsizetype i = 1; i < exec.size() && exec[i] != '"'; ++i)
        program += exec[i] == '\\' ? exec[++i] : exec[i];
    return program;
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
        TestSeams::ResetAll();
    }

    void startThenAbout_data();
    void startThenAbout();
    void install();
};

void TestSplash::startThenAbout_data()
{
    QTest::addColumn<QString>("splashClicked"); // "window" or a control's name; empty = none
    QTest::addColumn<int>("splashKey");         // 0 = none; neither: the timer closes it
    QTest::addColumn<bool>("aboutFromToolbar"); // else Help, About
    QTest::addColumn<QString>("aboutClosedBy");
    QTest::newRow("letter key; About: Ok") << "" << int(Qt::Key_A) << false << "click";
    QTest::newRow("Escape; About from the toolbar: Alt+O")
        << "" << int(Qt::Key_Escape) << true << "Alt+O";
    QTest::newRow("Shift alone; About: Enter") << "" << int(Qt::Key_Shift) << false << "Enter";
    QTest::newRow("click on the window; About: Return") << "window" << 0 << false << "Return";
    QTest::newRow("click on a label; About: Escape") << "lblVersion" << 0 << false << "Escape";
    // Not offered, but a desktop may close the About box (Alt+F4).
    QTest::newRow("the timer; About: closed by the desktop") << "" << 0 << false << "close";
}

void TestSplash::startThenAbout()
{
    QFETCH(QString, splashClicked);
    QFETCH(int, splashKey);
    QFETCH(bool, aboutFromToolbar);
    QFETCH(QString, aboutClosedBy);
    const bool byTimer = splashClicked.isEmpty() && !splashKey;
    // Long enough that a splash left up by a click or key would be seen, short for the timer.
    frmSplash::SetTimerIntervalForTesting(byTimer ? 150 : 3000);
    TestFolder folder;
    folder.AddTitle({QStringLiteral("Vertigo")});
    folder.AddTitle({QStringLiteral("Alien")});
    Application application(folder.Path());
    frmMain &main = application.MainWindow();

    QString seen = "the splash never came";
    ModalWaiter waiter;
    waiter.Expect<frmSplash>([&](frmSplash *splash) {
        seen = main.isVisible() ? "the main window came first" : fault(*splash);
        if (splashKey)
            QTest::keyClick(keyTarget(splash), Qt::Key(splashKey));
        if (!splashClicked.isEmpty()) {
            auto *target =
                splashClicked == "window" ? splash : splash->findChild<QWidget *>(splashClicked);
            QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        }
        if (!byTimer && (splash->isVisible() || splash->Timer1->isActive()))
            seen = "the splash did not close at once";
    });
    application.Launch();
    QVERIFY2(seen.isEmpty(), qPrintable(seen));
    QVERIFY(main.isVisible() && main.isEnabled());
    QCOMPARE(main.RecordCount(), 2);

    frmSplash::SetTimerIntervalForTesting(1);
    seen = "the About box never came";
    waiter.Expect<frmSplash>([&](frmSplash *about) {
        // Nothing but Ok and its keys closes it: not clicks, not other keys, not the timer.
        for (QWidget *label : labelsOf(*about))
            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(5, 5));
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_F1, Qt::Key_Shift, Qt::Key_Tab})
            QTest::keyClick(keyTarget(about), key);
        const bool stays = about->isVisible() && !about->Timer1->isActive()
                           && about->cmdOk->isVisible() && application.Shared().AboutMode == 1
                           && !main.isEnabled();
        seen = stays ? fault(*about) : "the About box went away or left the main window enabled";
        if (aboutClosedBy == "click")
            QTest::mouseClick(about->cmdOk, Qt::LeftButton);
        else if (aboutClosedBy == "close")
            about->close();
        else
            QTest::keySequence(keyTarget(about), QKeySequence::fromString(aboutClosedBy));
    });
    (aboutFromToolbar ? main.ToolbarButton(5) : main.mnuAbout)->trigger();
    QVERIFY2(!waiter.Failed(), "the About box did not close");
    QVERIFY2(seen.isEmpty(), qPrintable(seen));
    QCOMPARE(application.Shared().AboutMode, 0);
    QVERIFY(main.isVisible() && main.isEnabled());
    QVERIFY(!QApplication::activeModalWidget());
}

// Installed over a folder in use, of an awkward name: the user's catalogue and covers are kept.
void TestSplash::install()
{
    QTemporaryDir root;
    const QString folder =
        root.filePath(QString::fromUtf8("My Films 100% $best \"cut\" `x` it's Łódź 映画"));
    const QStringList own{folder + "/dvd_collection.mdb", folder + "/images/1.jpg"};
    QVERIFY(QDir().mkpath(folder + "/images"));
    for (const QString &file : own)
        QVERIFY(TestFolder::WriteFile(file, "the user's own"));
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(REELVANE_CMAKE, {"--install", REELVANE_BUILD_DIR, "--prefix", folder});
    QVERIFY(cmake.waitForFinished(120000));
    QVERIFY2(cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0,
             cmake.readAll().constData());
    for (const QString &file : own)
        QCOMPARE(TestFolder::ReadFile(file), QByteArray("the user's own"));

    const QFileInfo program(folder + "/reelvane");
    QVERIFY(program.isExecutable());
    for (const char *picture : {"nothing.jpg", "no_records.jpg"})
        QVERIFY(!QImage(folder + "/images/" + picture).isNull());
    const QString entry =
        QString::fromUtf8(TestFolder::ReadFile(folder + "/share/applications/reelvane.desktop"));
    const auto value = [&entry](const QString &key) {
        return QRegularExpression("^" + key + "=(.*)$", QRegularExpression::MultilineOption)
            .match(entry)
            .captured(1);
    };
    QCOMPARE(QFileInfo(execProgram(value("Exec"))), program);
    QCOMPARE(QFileInfo(value("TryExec")), program);
    QCOMPARE(QImage(value("Icon")).size(), QSize(256, 256));
}

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
