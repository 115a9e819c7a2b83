// Catalogue files in bad states, at start-up and while the program runs, with the whole
// program in a child process: a read that fails ends the program with the driver's text
// and a non-zero status, and the file is left exactly as it was (never made anew). Locks
// held by another program are waited for.
#include "BusyTimeout.h"
#include "CatalogueLockWait.h"
#include "ChildProcess.h"
#include "DbError.h"
#include "Story.h"
#include "MainWindowFixture.h"
#include "frmMain.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmTextBox.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

namespace {

QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::System | QDir::Hidden
                                | QDir::NoDotAndDotDot);
}

void resizeFile(const QString &file, qint64 size)
{
    QFile f(file);
    QVERIFY(f.resize(size));
}

// Another process holding the catalogue with an exclusive lock (no reader gets in), until
// Release() or, with forMs, for that long.
class LockHolder
{
public:
    bool Take(const QString &folder, int forMs = 0)
    {
        QStringList arguments{"hold", folder, "exclusive"};
        if (forMs > 0)
            arguments << QString::number(forMs);
        ChildProcess::Start(m_process, arguments);
        return ChildProcess::WaitFor(m_process, "locked");
    }
    bool Release()
    {
        m_process.write("\n");
        m_process.closeWriteChannel();
        return m_process.waitForFinished(30000) && m_process.exitCode() == 0;
    }
    ~LockHolder()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

private:
    QProcess m_process;
};

QPushButton *button(QMessageBox *box, QMessageBox::StandardButton which)
{
    return qobject_cast<QPushButton *>(box->button(which));
}

} // namespace

class TestCatalogueFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each lock met costs a second, not five.
    void initTestCase() { BusyTimeout::SetForTesting(1000); }
    void badCatalogueAtStartUp_data();
    void badCatalogueAtStartUp();
    void catalogueSpoiledWhileRunning_data();
    void catalogueSpoiledWhileRunning();
    void readOnlyCatalogueStillShown_data();
    void readOnlyCatalogueStillShown();
    void lockedCatalogueIsWaitedFor();
    void lockWhileBrowsing_data();
    void lockWhileBrowsing();
    void lockBetweenEditorSteps_data();
    void lockBetweenEditorSteps();
    void secondCopy_data();
    void secondCopy();
};

void TestCatalogueFaults::badCatalogueAtStartUp_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("driverText");
    QTest::newRow("missing") << "missing" << "unable to open database file";
    QTest::newRow("empty file") << "empty" << "no such table";
    QTest::newRow("garbage") << "garbage" << "not a database";
    QTest::newRow("another program's tables") << "other tables" << "no such table";
    QTest::newRow("cut to its first page") << "first page" << "malformed";
    QTest::newRow("cut inside its first page") << "half page" << "malformed";
    QTest::newRow("cut to its 100-byte header") << "header" << "malformed";
    QTest::newRow("last third lost") << "last third" << "malformed";
    QTest::newRow("a page of zeros") << "zero page" << "malformed";
    QTest::newRow("titles but no genre tables") << "no genre tables" << "no such table";
    QTest::newRow("a folder in its place") << "folder" << "unable to open database file";
    QTest::newRow("a dangling link in its place") << "link" << "unable to open database file";
}

void TestCatalogueFaults::badCatalogueAtStartUp()
{
    QFETCH(QString, fault);
    QFETCH(QString, driverText);
    TestFolder folder;
    // Enough titles for the titles table to take several pages.
    folder.Exec("BEGIN");
    for (int i = 0; i < 300; ++i)
        folder.AddTitle({.title = QString("Title %1 ").arg(i) + QString(60, 'x'),
                         .genres = {"Drama"}, .cast = {{"Actor", "Role"}}});
    folder.Exec("COMMIT");
    if (fault == "no genre tables" || fault == "other tables") {
        folder.Exec("DROP TABLE Genre_Relationships");
        folder.Exec("DROP TABLE Genre");
    }
    if (fault == "other tables") {
        folder.Exec("DROP TABLE Cast_Relationships");
        folder.Exec("DROP TABLE DVD_Title");
        folder.Exec("CREATE TABLE Films (Name TEXT)");
    }
    folder.CloseConnection();
    const QString file = folder.CataloguePath();
    const qint64 size = QFileInfo(file).size();
    if (fault == "missing")
        QVERIFY(QFile::remove(file));
    if (fault == "empty")
        resizeFile(file, 0);
    if (fault == "garbage") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("definitely not a catalogue ").repeated(100));
    }
    if (fault == "first page")
        resizeFile(file, 4096);
    else if (fault == "half page")
        resizeFile(file, 2048);
    else if (fault == "header")
        resizeFile(file, 100);
    else if (fault == "last third")
        resizeFile(file, size * 2 / 3);
    if (fault == "zero page") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek(4096)); // page 2: the titles table
        f.write(QByteArray(4096, '\0'));
    }
    if (fault == "folder" || fault == "link") {
        QVERIFY(QFile::remove(file));
        QVERIFY(fault == "folder" ? QDir().mkdir(file) : QFile::link(file + ".gone", file));
    }
    if (QTest::currentTestFailed())
        return;
    const QByteArray before = folder.CatalogueBytes();
    const QStringList entries = folderEntries(folder.Path());

    const ChildProcess::Outcome outcome = ChildProcess::RunProgram(folder.Path());
    QVERIFY2(outcome.status == 1, qPrintable(outcome.Text()));
    QVERIFY2(outcome.err.contains("Reelvane: ") && outcome.err.contains(driverText),
             qPrintable(outcome.Text()));
    QVERIFY2(outcome.out.contains("message box: ") && outcome.out.contains(driverText),
             qPrintable(outcome.Text()));
    QCOMPARE(folder.CatalogueBytes(), before);
    QCOMPARE(folderEntries(folder.Path()), entries);
}

void TestCatalogueFaults::catalogueSpoiledWhileRunning_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("driverText");
    QTest::newRow("replaced by garbage") << "replaced" << "not a database";
    QTest::newRow("garbage written over it") << "overwritten" << "not a database";
    QTest::newRow("emptied") << "emptied" << "no such table";
    QTest::newRow("cut in half") << "halved" << "malformed";
    QTest::newRow("removed") << "removed" << "unable to open database file";
}

void TestCatalogueFaults::catalogueSpoiledWhileRunning()
{
    QFETCH(QString, fault);
    QFETCH(QString, driverText);
    TestFolder folder;
    folder.Exec("BEGIN");
    for (int i = 0; i < 200; ++i)
        folder.AddTitle({.title = QString("Title %1 ").arg(i) + QString(80, 'y'),
                         .wishList = i % 2, .genres = {"War"}, .cast = {{"A", "B"}}});
    folder.Exec("COMMIT");
    folder.CloseConnection();
    const QStringList entries = folderEntries(folder.Path());

    const ChildProcess::Outcome outcome = ChildProcess::RunProgram(folder.Path(), {fault});
    QVERIFY2(outcome.status == 1, qPrintable(outcome.Text()));
    QVERIFY2(outcome.err.contains(driverText), qPrintable(outcome.Text()));
    QVERIFY2(outcome.out.contains("message box: ") && outcome.out.contains(driverText),
             qPrintable(outcome.Text()));
    QVERIFY(!outcome.out.contains("titles listed"));
    // The program neither repaired nor recreated the file, nor left a journal beside it.
    QStringList expected = entries;
    if (fault == "removed")
        expected.removeAll("dvd_collection.mdb");
    QCOMPARE(folderEntries(folder.Path()), expected);
    const QByteArray after = folder.CatalogueBytes();
    QVERIFY(!after.startsWith("SQLite format 3") || fault == "halved");
    QCOMPARE(QFile::exists(folder.CataloguePath()), fault != "removed"); // never made anew
}

void TestCatalogueFaults::readOnlyCatalogueStillShown_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("catalogue file read-only") << "file";
    QTest::newRow("program folder read-only") << "folder";
}

void TestCatalogueFaults::readOnlyCatalogueStillShown()
{
    QFETCH(QString, fault);
    TestFolder folder;
    for (int i = 0; i < 5; ++i)
        folder.AddTitle({.title = QString("Kept %1").arg(i), .genres = {"Drama"}});
    folder.CloseConnection();
    QVERIFY(ChildProcess::HandToUnprivilegedUser(folder.Path()));
    const QString target = fault == "file" ? folder.CataloguePath() : folder.Path();
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                              | QFile::ExeGroup | QFile::ReadOther
                                              | QFile::ExeOther));
    const QByteArray before = folder.CatalogueBytes();

    const ChildProcess::Outcome outcome
        = ChildProcess::RunProgram(folder.Path(), {}, ChildProcess::Unprivileged);
    QVERIFY2(outcome.status == 0, qPrintable(outcome.Text()));
    QVERIFY2(outcome.out.contains("titles listed: 5"), qPrintable(outcome.Text()));
    QVERIFY(!outcome.out.contains("message box"));
    QCOMPARE(folder.CatalogueBytes(), before);
}

// Another program holds the whole file (no reader may enter) for well under the busy
// timeout: the list is read once it lets go, with no question and no failure.
void TestCatalogueFaults::lockedCatalogueIsWaitedFor()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Before the lock"});
    w.folder.CloseConnection();
    w.load();
    LockHolder holder;
    QVERIFY(holder.Take(w.folder.Path(), 500));
    w.main->RefreshRecords();
    QCOMPARE(w.titles(), QStringList({"Before the lock"}));
}

void TestCatalogueFaults::lockWhileBrowsing_data()
{
    QTest::addColumn<int>("askAfterMs"); // the limit (30 s in the program)
    QTest::addColumn<int>("holdMs");     // 0: until the question is answered
    QTest::addColumn<QString>("answer"); // the answer to the question, if it comes
    QTest::newRow("lock gone before the limit") << 6000 << 2500 << "";
    QTest::newRow("lock past the limit, Retry") << 1000 << 0 << "retry";
    QTest::newRow("lock past the limit, Quit") << 1000 << 0 << "quit";
}

// Clicking a title while another program holds the catalogue: the program waits with a
// busy pointer, asks past its limit (shortened here), and goes on once the lock is gone;
// only Quit gives the read up.
void TestCatalogueFaults::lockWhileBrowsing()
{
    QFETCH(int, askAfterMs);
    QFETCH(int, holdMs);
    QFETCH(QString, answer);
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Alpha", .director = "First"});
    w.folder.AddTitle({.title = "Beta", .director = "Second"});
    w.folder.CloseConnection();
    w.load();
    CatalogueLockWait wait(askAfterMs);
    LockWaiter::Install(&wait);
    static bool quitAsked;
    quitAsked = false;
    CatalogueLockWait::SetQuitForTesting([] { quitAsked = true; });
    const auto restore = qScopeGuard([] {
        LockWaiter::Install(nullptr);
        CatalogueLockWait::SetQuitForTesting(nullptr);
    });

    LockHolder holder;
    QVERIFY(holder.Take(w.folder.Path(), holdMs));
    ModalWaiter asked(60000);
    bool busyWhileWaiting = false;
    QTimer busyProbe;
    QObject::connect(&busyProbe, &QTimer::timeout, [&] {
        if (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor)
            busyWhileWaiting = true;
    });
    busyProbe.start(10);
    QString question;
    asked.Expect<QMessageBox>([&](QMessageBox *box) {
        question = box->text();
        QVERIFY(!QApplication::overrideCursor()); // no busy pointer over a question
        if (answer == "retry")
            QVERIFY(holder.Release());
        button(box, answer == "retry" ? QMessageBox::Retry : QMessageBox::Close)->click();
    });

    bool gaveUp = false;
    if (answer == "quit") {
        // A read given up ends the program; here it reaches the caller instead.
        w.shared->SelectedTitleId = w.main->TitleList()->ValueAt(1, 0).toLongLong();
        try {
            w.main->InitializeFields();
        } catch (const DbError &error) {
            gaveUp = error.Number() == 5;
        }
        QVERIFY(holder.Release());
    } else {
        w.main->UltraGrid->selectRow(1);
    }

    if (askAfterMs > 1000) // waited through more than one busy timeout before asking
        QVERIFY(busyWhileWaiting);
    QVERIFY(!QApplication::overrideCursor());
    if (answer.isEmpty()) {
        QVERIFY2(!asked.Handled(), qPrintable(question));
    } else {
        QVERIFY(asked.Handled());
        QVERIFY2(question.contains("locked by another program") && question.contains("Retry")
                     && question.contains("Quit"),
                 qPrintable(question));
    }
    QCOMPARE(quitAsked, answer == "quit");
    QCOMPARE(gaveUp, answer == "quit");
    if (answer != "quit") {
        QCOMPARE(w.main->lblTitle->text(), QString("Beta"));
        QCOMPARE(w.main->txtDirector->text(), QString("Second"));
    }
}

void TestCatalogueFaults::lockBetweenEditorSteps_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("step"); // the step left while the catalogue is locked
    QTest::newRow("add, Next in step 1") << false << 1;
    QTest::newRow("modify, Back in step 3") << true << 3;
}

// Another process holds the catalogue past the busy timeout while the user changes steps:
// the step stays with everything typed; Cancel keeps the user there, Retry goes on once
// the lock is gone, and the title saved at the end holds every value typed.
void TestCatalogueFaults::lockBetweenEditorSteps()
{
    QFETCH(bool, modify);
    QFETCH(int, step);
    ProgramFixture p;
    const qint64 id = p.folder.AddTitle({.title = "Heat", .date = "1995", .genres = {"Crime"},
                                         .cast = {{"Al", "Vincent"}}});
    p.folder.CloseConnection();
    p.start();
    LockHolder holder;
    QString firstMessage;
    QString secondMessage;

    auto lockedMessage = [&](QString *text, bool retry) {
        return [&, text, retry](QMessageBox *box) {
            *text = box->text();
            if (retry)
                QVERIFY(holder.Release());
            button(box, retry ? QMessageBox::Retry : QMessageBox::Cancel)->click();
        };
    };
    auto step1 = [&](bool lock) {
        return [&, lock](frmModify1 *window) {
            if (lock) {
                window->txtDate->setText("2001");
                window->txtDirector->setText("Michael Mann");
                window->txtSummary->setPlainText("Typed while locked");
                QVERIFY(holder.Take(p.folder.Path()));
            } else { // shown again: everything typed is still there
                QCOMPARE(window->txtDate->text(), QString("2001"));
                QCOMPARE(window->txtDirector->text(), QString("Michael Mann"));
                QCOMPARE(window->txtSummary->toPlainText(), QString("Typed while locked"));
            }
            window->cmdNext->click();
        };
    };
    auto step3 = [&](bool lock) {
        return [&, lock](frmModify3 *window) {
            if (lock) {
                window->txtActor1->setText("Val");
                window->txtCharacter1->setText("Chris");
                window->cmdAdd->click();
                window->txtActor1->setText("Half typed");
                QVERIFY(holder.Take(p.folder.Path()));
            } else {
                QCOMPARE(window->txtActor1->text(), QString("Half typed"));
                QCOMPARE(window->UltraGrid->model()->rowCount(), modify ? 2 : 1);
            }
            window->cmdBack->click();
        };
    };
    auto step2Next = [](frmModify2 *window) {
        if (window->cmbGenre[0]->currentText().isEmpty())
            QVERIFY(pickFromList(window->cmbGenre[0], "Drama"));
        window->cmdNext->click();
    };

    Story story;
    if (!modify)
        story.then<frmTextBox>([](frmTextBox *prompt) {
            prompt->txtRenameResponse->setText("Collateral");
            prompt->cmdOK->click();
        });
    if (step == 1) {
        story.then<frmModify1>(step1(true))
            .then<QMessageBox>(lockedMessage(&firstMessage, false))
            .then<frmModify1>(step1(false))
            .then<QMessageBox>(lockedMessage(&secondMessage, true))
            .then<frmModify2>(step2Next);
    } else {
        story.then<frmModify1>([](frmModify1 *window) {
                 window->txtDate->setText("2001");
                 window->txtDirector->setText("Michael Mann");
                 window->txtSummary->setPlainText("Typed while locked");
                 window->cmdNext->click();
             })
            .then<frmModify2>(step2Next)
            .then<frmModify3>(step3(true))
            .then<QMessageBox>(lockedMessage(&firstMessage, false))
            .then<frmModify3>(step3(false))
            .then<QMessageBox>(lockedMessage(&secondMessage, true))
            .then<frmModify2>(step2Next);
    }
    story.then<frmModify3>([&](frmModify3 *window) {
        if (step == 1) {
            window->txtActor1->setText("Val");
            window->txtCharacter1->setText("Chris");
            window->cmdAdd->click();
        }
        window->cmdFinish->click();
    });
    story.play([&] { p.clickToolbar(modify ? 2 : 1); }, 30000);
    QVERIFY2(story.complete(), qPrintable(QString("reached %1").arg(story.reached())));

    for (const QString &message : {firstMessage, secondMessage}) {
        QVERIFY2(message.startsWith("Error 5 reading records.\r\ndatabase is locked"),
                 qPrintable(message));
        QVERIFY2(message.contains("nothing you have entered is lost"), qPrintable(message));
    }
    const auto rows = p.folder.Rows("SELECT ID, Title, Date, Director, Summary FROM DVD_Title "
                                    "WHERE Director = 'Michael Mann'");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].mid(1), QVariantList({modify ? "Heat" : "Collateral", "2001",
                                           "Michael Mann", "Typed while locked"}));
    QCOMPARE(rows[0][0].toLongLong() == id, modify);
    const auto cast = p.folder.Rows("SELECT Actor FROM Cast_Relationships WHERE Movie = ? "
                                    "ORDER BY Actor",
                                    {rows[0][0]});
    QCOMPARE(cast, modify ? QVector<QVariantList>({{"Al"}, {"Val"}})
                          : QVector<QVariantList>({{"Val"}}));
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), modify ? 1 : 2);
}

void TestCatalogueFaults::secondCopy_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("first copy running") << false;
    QTest::newRow("first copy killed") << true;
}

// A second copy on the same catalogue says that one is running and quits (the queued
// answer); a copy that was killed leaves a lock file that the next start takes over.
void TestCatalogueFaults::secondCopy()
{
    QFETCH(bool, killed);
    TestFolder folder;
    folder.AddTitle({.title = "Only"});
    folder.CloseConnection();
    const QStringList before = folderEntries(folder.Path());

    QProcess first;
    ChildProcess::Start(first, {"run", folder.Path(), "stay"});
    QByteArray said;
    QVERIFY2(ChildProcess::WaitFor(first, "running", &said), said);
    const QString lockFile = folder.CataloguePath() + ".lock";
    QVERIFY(QFile::exists(lockFile));
    if (killed) {
        first.kill(); // SIGKILL: nothing of the program runs any more
        QVERIFY(first.waitForFinished(30000));
        QVERIFY(QFile::exists(lockFile));
    }

    const ChildProcess::Outcome second = ChildProcess::RunProgram(folder.Path());
    QCOMPARE(second.status, 0);
    if (killed) {
        QVERIFY2(second.out.contains("titles listed: 1"), qPrintable(second.Text()));
        QVERIFY2(!second.out.contains("message box"), qPrintable(second.Text()));
        QCOMPARE(folderEntries(folder.Path()), before); // the taken-over lock file is gone
    } else {
        QVERIFY2(second.out.contains("message box: Reelvane is already running")
                     && !second.out.contains("titles listed"),
                 qPrintable(second.Text()));
        QVERIFY(QFile::exists(lockFile));
        first.kill();
        first.waitForFinished(30000);
    }
}

QTEST_MAIN(TestCatalogueFaults)
#include "test_catalogue_faults.moc"
