// What the program does with faults around it: catalogues in bad states at start-up, locked by
// another program or not writable, or left by a program killed while saving; awkward text
// pasted into every box; covers in bad states or that cannot be written. The user is told,
// nothing is half written, locks are waited for.
#include "AtomicFile.h"
#include "AwkwardText.h"
#include "BrowseStatements.h"
#include "BusyTimeout.h"
#include "CatalogueLockWait.h"
#include "CmnDialog.h"
#include "CopyLock.h"
#include "CoverChooser.h"
#include "DbError.h"
#include "EditorFixture.h"
#include "FileDialogAnswers.h"
#include "ListIndex.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "ProgramEnd.h"
#include "Statements.h"
#include "Story.h"
#include "TitleCommands.h"
#include "TransferCommands.h"
#include "frmGenre.h"
#include "frmImportPreview.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmPasteCastData.h"
#include "frmSplash.h"
#include "frmTextBox.h"
#include "TestSeams.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

bool quitAsked = false; // what Quit does in these tests instead of ending the program

// Title ID -> generation of its last save.
using Generations = QMap<qint64, qint64>;

// Checks every title against the links its row names; returns the generations found.
void checkCatalogue(TestFolder &folder, Generations &found)
{
    QCOMPARE(folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(folder
                 .Scalar("SELECT (SELECT COUNT(*) FROM Genre_Relationships WHERE Title_ID NOT "
                         "IN (SELECT ID FROM DVD_Title)) + (SELECT COUNT(*) FROM "
                         "Cast_Relationships WHERE Movie NOT IN (SELECT ID FROM DVD_Title))")
                 .toInt(),
             0);
    for (const QVariantList &row : folder.Rows(
             "SELECT ID, Summary, Features, Eggs, WishList, (SELECT IFNULL(GROUP_CONCAT(Actor "
             "|| '=' || Character, ';'), '') FROM Cast_Relationships WHERE Movie = ID) "
             "FROM DVD_Title")) {
        const qint64 id = row[0].toLongLong();
        found[id] = row[1].toLongLong();
        QCOMPARE(folder.GenreNames(id).join(';'), row[2].toString());
        QCOMPARE(row[5].toString(), row[3].toString()); // cast in rowid order
        QCOMPARE(row[4].toInt(), int(found[id] % 2));
    }
}

// What a box holds once the text is pasted over it: no NUL, no character cut in half at the
// box's length, and in a one-line box (length > 0) a blank for each tab and line break.
QString held(const QString &pasted, int length)
{
    QString text = length > 0 ? pasted.left(length) : pasted;
    if (length > 0 && !text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    text.replace("\r\n", "\n").replace('\r', '\n');
    if (length > 0)
        text.replace('\n', ' ').replace('\t', ' ');
    return text.remove(QChar(0));
}

// Pastes the text into every box of the window, as Ctrl+A, Ctrl+V do.
void pasteEverywhere(QWidget *window, const QString &text)
{
    QApplication::clipboard()->setText(text);
    for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
        if (box->isReadOnly() || qobject_cast<QComboBox *>(box->parent())) // a genre pick
            continue;
        const int length = box->maxLength();
        box->selectAll();
        box->paste();
        QVERIFY2(box->text() == held(text, length), qPrintable(box->objectName()));
    }
    for (QPlainTextEdit *box : window->findChildren<QPlainTextEdit *>()) {
        box->selectAll();
        box->paste();
        QVERIFY2(box->toPlainText() == held(text, 0), qPrintable(box->objectName()));
    }
}

// The child program built beside the tests (see child.cpp), killed when this goes.
class Child
{
public:
    // Starts `child ARGUMENTS`; true once it prints `line` (else its output is in Said()).
    bool Start(const QStringList &arguments, const QByteArray &line)
    {
        m_process.start(QApplication::applicationDirPath() + "/child", arguments);
        while (!m_said.contains(line + '\n') && m_process.waitForReadyRead(30000))
            m_said += m_process.readAllStandardOutput();
        m_said += m_process.readAllStandardError();
        return m_said.contains(line + '\n');
    }
    // A line on its input ends what it holds; true when it then ends normally.
    bool Finish()
    {
        m_process.write("\n");
        m_process.closeWriteChannel();
        return m_process.waitForFinished(30000) && m_process.exitStatus() == QProcess::NormalExit
               && m_process.exitCode() == 0;
    }
    bool Kill()
    {
        m_process.kill();
        return m_process.waitForFinished(30000);
    }
    const QByteArray &Said() const { return m_said; }
    QProcess &Process() { return m_process; }
    ~Child() { Kill(); }

private:
    QProcess m_process;
    QByteArray m_said;
};

// CI runs the tests as root, for whom file permissions stop no write: these tests run as
// nobody from their start, and so do their children.
bool RunAsNobody()
{
    const passwd *account = ::getpwnam("nobody");
    return ::geteuid() != 0
           || (account && ::setgroups(0, nullptr) == 0 && ::setgid(account->pw_gid) == 0
               && ::setuid(account->pw_uid) == 0);
}

constexpr auto ReadOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;

// What a folder holds, to check that nothing was made or left in it.
QStringList Entries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                | QDir::NoDotAndDotDot);
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(RunAsNobody());
        BusyTimeout::SetForTesting(1000); // each lock met costs a second, not five
        frmSplash::SetTimerIntervalForTesting(50);
        ProgramEnd::SetStandInForTesting([] { quitAsked = true; });
    }
    void cleanup() { TestSeams::ResetAll(); }
    void startUp_data();
    void startUp();
    void listIndexAtOpen_data();
    void listIndexAtOpen();
    void lockedByAnother_data();
    void lockedByAnother();
    void writeUnderFault_data();
    void writeUnderFault();
    void killedAtRandomMoments();
    void everyBox_data();
    void everyBox();
    void coverFaults_data();
    void coverFaults();
};

void TestFaults::startUp_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // empty: no message, and the titles listed
    const auto row = [](const char *name, const char *fault, const char *message) {
        QTest::newRow(name) << QString(fault) << QString(message);
    };
    row("missing", "missing", "unable to open database file");
    row("empty file", "empty", "no such table");
    row("not a database", "garbage", "not a database");
    row("another program's tables", "other tables", "no such table");
    row("cut to its first page", "cut", "malformed");
    row("read-only file", "read-only file", "");
    row("read-only folder", "read-only folder", "");
    row("locked for 2.5 s", "locked", ""); // longer than the busy timeout: read on waiting again
    row("another copy running", "copy", "Reelvane is already running");
    row("a killed copy's lock file", "killed copy", "");
}

// The whole program as the user starts it; the question about another copy answered Quit.
void TestFaults::startUp()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    TestFolder folder;
    for (const QString title : {"One", "Two", "Three"})
        folder.AddTitle({.title = title, .genres = {"Drama"}, .cast = {{"Actor", "Role"}}});
    if (fault == "other tables")
        folder.Exec("DROP TABLE DVD_Title");
    folder.CloseConnection();
    const QString file = folder.CataloguePath();
    QStringList entries = Entries(folder.Path());
    if (fault == "missing")
        QVERIFY(QFile::remove(file) && entries.removeAll("dvd_collection.mdb"));
    else if (fault == "empty" || fault == "cut")
        QVERIFY(QFile(file).resize(fault == "cut" ? 4096 : 0));
    else if (fault == "garbage")
        QVERIFY(
            TestFolder::WriteFile(file, QByteArray("definitely not a catalogue ").repeated(99)));
    else if (fault.startsWith("read-only"))
        QVERIFY(QFile::setPermissions(fault.endsWith("file") ? file : folder.Path(), ReadOnly));
    Child other;
    if (fault == "locked" || fault.endsWith("copy"))
        QVERIFY2(
            other.Start({"hold", folder.Path(), fault == "locked" ? "exclusive" : "copy", "2500"},
                        "locked"),
            other.Said());
    if (fault == "killed copy")
        QVERIFY(other.Kill());
    const QByteArray bytes = folder.CatalogueBytes();

    MessageBox::SetNextAnswer(QMessageBox::Yes); // Quit, or OK to a failure
    int listed = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *main = qobject_cast<frmMain *>(window); main && main->isVisible()) {
                listed = main->RecordCount();
                QApplication::exit(0);
            }
    });
    poll.start(20);
    const int status = Application::Run(folder.Path());
    CopyLock::Release();

    QCOMPARE(status, message.isEmpty() || fault == "copy" ? 0 : 1);
    const QString said = MessageBox::Shown().join(" | ");
    QVERIFY2(message.isEmpty() ? said.isEmpty() : said.contains(message), qPrintable(said));
    QCOMPARE(listed, message.isEmpty() ? 3 : -1);
    QCOMPARE(folder.CatalogueBytes(), bytes);
    QCOMPARE(QFile::exists(file), fault != "missing");
    other.Process().waitForFinished(5000); // the other copy's lock file goes with it
    QFile::setPermissions(folder.Path(), ReadOnly | QFile::WriteOwner);
    QCOMPARE(Entries(folder.Path()), entries); // no journal, no lock file left
}

void TestFaults::listIndexAtOpen_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<bool>("made"); // else the file is left exactly as it was
    QTest::newRow("older file") << "older" << true;
    QTest::newRow("another tool's, no list index") << "none" << true;
    QTest::newRow("with the index") << "current" << false;
    QTest::newRow("older, read-only file") << "read-only file" << false;
    QTest::newRow("older, read-only folder") << "read-only folder" << false;
    QTest::newRow("older, another program writing") << "lock" << false;
    QTest::newRow("older, stopped by Cancel") << "cancel" << false;
}

// The list's covering index is made at start-up where it is missing; a catalogue that
// cannot be written opens as before, untouched.
void TestFaults::listIndexAtOpen()
{
    QFETCH(QString, catalogue);
    QFETCH(bool, made);
    TestFolder folder;
    // Enough titles for the engine to report progress while it makes the index.
    folder.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                "INSERT INTO DVD_Title (Title, Sub_Title, WishList) "
                "SELECT 'Title ' || (i * 7919 % 3000), 'Cut ' || i, i % 5 = 0 FROM n");
    if (catalogue != "current")
        for (const char *index :
             {"idx_dvd_title_list_covering", "idx_dvd_title_director", "idx_dvd_title_date",
              "idx_genre_rel_genre_title", "idx_cast_actor"})
            folder.Exec(QString("DROP INDEX %1").arg(index));
    if (catalogue != "current" && catalogue != "none") {
        folder.Exec("CREATE INDEX idx_dvd_title_list ON DVD_Title (WishList, Title)");
        folder.Exec("CREATE INDEX idx_genre_rel_genre ON Genre_Relationships (Genre_ID)");
    }
    folder.CloseConnection();
    if (catalogue.startsWith("read-only"))
        QVERIFY(QFile::setPermissions(
            catalogue.endsWith("file") ? folder.CataloguePath() : folder.Path(), ReadOnly));
    Child other;
    if (catalogue == "lock")
        QVERIFY2(other.Start({"hold", folder.Path(), "lock"}, "locked"), other.Said());
    const QByteArray bytes = folder.CatalogueBytes();
    if (catalogue == "cancel")
        QCOMPARE(ListIndex::Ensure(folder.MakeShared()->ConnectionString,
                                   [](qint64, qint64) { return false; }),
                 ListIndex::Outcome::Cancelled);
    else {
        Application application(folder.Path());
        application.Start();
        QCOMPARE(application.MainWindow().RecordCount(), 2400);
    }
    if (catalogue == "lock")
        QVERIFY(other.Finish());
    QFile::setPermissions(folder.Path(), ReadOnly | QFile::WriteOwner);
    if (!made) {
        QCOMPARE(folder.CatalogueBytes(), bytes);
        return;
    }
    QString plan;
    for (const QVariantList &step : folder.Rows(Statements::ListPlan()))
        plan += step.value(3).toString() + "\n";
    QVERIFY2(plan.startsWith("SEARCH DVD_Title USING COVERING INDEX")
                 && !plan.contains("TEMP B-TREE"),
             qPrintable(plan));
    for (const QString &browse : BrowseStatements::Plans()) {
        plan.clear();
        for (const QVariantList &step : folder.Rows(browse))
            plan += step.value(3).toString() + "\n";
        QVERIFY2(plan.contains("USING COVERING INDEX") && !plan.contains("TEMP B-TREE"),
                 qPrintable(browse + ": " + plan));
    }
    QCOMPARE(folder.Scalar("SELECT count(*) FROM sqlite_master WHERE name IN "
                           "('idx_dvd_title_list', 'idx_genre_rel_genre')"),
             QVariant(0));
}

void TestFaults::lockedByAnother_data()
{
    QTest::addColumn<QString>("where");      // browsing: a title clicked; else Next in step 1
    QTest::addColumn<int>("askAfterMs");     // the limit while browsing (30 s in the program)
    QTest::addColumn<int>("holdMs");         // 0: until a question is answered Retry
    QTest::addColumn<QList<int>>("answers"); // buttons clicked (Close: Quit; Ignore: Retry, still
                                             // locked)
    using Box = QMessageBox;
    QTest::newRow("browsing, lock gone before the limit")
        << "browsing" << 6000 << 2500 << QList<int>();
    QTest::newRow("browsing, past the limit, Retry")
        << "browsing" << 1000 << 0 << QList<int>{Box::Retry};
    QTest::newRow("browsing, Retry while still locked waits the limit again, Retry")
        << "browsing" << 2500 << 0 << QList<int>{Box::Ignore, Box::Retry};
    QTest::newRow("browsing, past the limit, Quit")
        << "browsing" << 1000 << 0 << QList<int>{Box::Close};
    QTest::newRow("leaving step 1, Cancel, Retry")
        << "step 1" << 1000 << 0 << QList<int>{Box::Cancel, Box::Retry};
    // Back from step 3 into a lock: Cancel stays in step 3 with the cast kept.
    QTest::newRow("Back from step 3, Cancel, then Finish waits, Retry")
        << "step 3 back" << 1000 << 0 << QList<int>{Box::Cancel, Box::Retry};
    // Writes wait as reads do: the editor's Finish, the import's Add All.
    QTest::newRow("Finish, lock gone before the limit") << "step 3" << 6000 << 2500 << QList<int>();
    QTest::newRow("Add All, past the limit, Retry")
        << "import" << 1000 << 0 << QList<int>{Box::Retry};
}

// Another program holds the catalogue. Browsing: a busy pointer while the program waits,
// past its limit the question, and the title once the lock is gone; only Quit gives the read
// up. Leaving step 1: the step stays with everything typed in it, Cancel keeps the user
// there, Retry goes on once the lock is gone. Finish and Add All wait the same way.
void TestFaults::lockedByAnother()
{
    QFETCH(QString, where);
    QFETCH(int, askAfterMs);
    QFETCH(int, holdMs);
    QFETCH(QList<int>, answers);
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Alpha", .director = "First"});
    const qint64 beta =
        w.folder.AddTitle({.title = "Beta", .director = "Second", .genres = {"Crime"}});
    w.folder.CloseConnection();
    w.load();
    w.shared->SelectedTitleId = beta;
    CatalogueLockWait wait(askAfterMs);
    LockWaiter::Install(&wait);
    quitAsked = false;
    Child holder;
    const bool writing = where == "step 3" || where == "import";
    int castShown = -1; // in step 3 once back from the lock
    const auto hold = [&] {
        QVERIFY2(holder.Start({"hold", w.folder.Path(), writing ? "lock" : "exclusive",
                               QString::number(holdMs)},
                              "locked"),
                 holder.Said());
    };
    bool busy = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        busy = busy
               || (QApplication::overrideCursor()
                   && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    probe.start(10);

    const QString director = where == "browsing" ? "Second" : "Michael Mann";
    Story story;
    if (where == "step 3 back")
        story
            .then<frmModify1>([&](frmModify1 *step) {
                step->txtDirector->setText(director);
                step->cmdNext->click();
            })
            .then<frmModify2>([](frmModify2 *step) { step->cmdNext->click(); })
            .then<frmModify3>([&](frmModify3 *step) {
                step->txtActor1->setText("Audrey Tautou");
                step->txtCharacter1->setText("Amelie");
                step->cmdAdd->click();
                hold();
                step->cmdBack->click();
            });
    else if (where.startsWith("step"))
        story.then<frmModify1>([&](frmModify1 *step) {
            step->txtDirector->setText(director);
            if (where == "step 1")
                hold();
            step->cmdNext->click();
        });
    if (where == "import")
        story.then<frmImportPreview>([&](frmImportPreview *preview) {
            hold();
            preview->cmdAddAll->click();
        });
    QElapsedTimer sinceRetry;
    for (const int answer : answers) {
        story.then<QMessageBox>([&, answer](QMessageBox *box) {
            QVERIFY2(box->text().contains("database is locked"), qPrintable(box->text()));
            QVERIFY(!QApplication::overrideCursor()); // no busy pointer over a question
            if (sinceRetry.isValid())                 // asked again only after the whole limit
                QVERIFY2(sinceRetry.elapsed() >= askAfterMs - 100,
                         qPrintable(QString::number(sinceRetry.elapsed())));
            if (answer == QMessageBox::Retry)
                QVERIFY(holder.Finish());
            if (answer == QMessageBox::Ignore)
                sinceRetry.start();
            box->button(answer == QMessageBox::Ignore ? QMessageBox::Retry
                                                      : QMessageBox::StandardButton(answer))
                ->click();
        });
        if (answer == QMessageBox::Cancel && where == "step 3 back")
            story.then<frmModify3>([&](frmModify3 *step) {
                castShown = step->UltraGrid->ShownRowCount();
                step->cmdFinish->click();
            });
        else if (answer == QMessageBox::Cancel)
            story.then<frmModify1>([&](frmModify1 *step) {
                QCOMPARE(step->txtDirector->text(), director);
                step->cmdNext->click();
            });
    }
    if (where == "import") // "1 title was imported."
        story.then<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
    if (where == "step 1" || where == "step 3")
        story.then<frmModify2>([](frmModify2 *step) { step->cmdNext->click(); })
            .then<frmModify3>([&](frmModify3 *step) {
                if (where == "step 3")
                    hold();
                step->cmdFinish->click();
            });
    const QString file = w.folder.Path() + "/titles.csv";
    QVERIFY(TestFolder::WriteFile(file, "Title,Year\r\nVertigo,1958\r\n"));
    bool gaveUp = false;
    story.play(
        [&] {
            try { // a read given up ends the program; here it reaches the test instead
                if (where == "browsing") {
                    hold();
                    w.main->Detail()->InitializeFields();
                } else if (where == "import") {
                    TransferCommands(w.main.get(), w.folder.Path(), w.shared->ConnectionString, {})
                        .ImportFrom(file);
                } else {
                    TitleCommands(*w.shared, *w.main).ModifyTitle();
                }
            } catch (const DbError &error) {
                gaveUp = error.Number() == 5;
            }
        },
        30000);

    QVERIFY2(story.complete(), qPrintable(QString("reached %1").arg(story.reached())));
    if (askAfterMs > 1000) // waited through more than one busy timeout before asking
        QVERIFY(busy);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(quitAsked, answers.contains(QMessageBox::Close));
    QCOMPARE(gaveUp, answers.contains(QMessageBox::Close));
    if (gaveUp)
        return;
    // The title shown once the lock is gone, or the change stored.
    if (where == "step 3 back")
        QCOMPARE(castShown, 1);
    if (where == "import") {
        QCOMPARE(w.folder.Scalar("SELECT COUNT(*) FROM DVD_Title WHERE Title = 'Vertigo'").toInt(),
                 1);
        return;
    }
    const QString stored =
        w.folder.Scalar("SELECT Director FROM DVD_Title WHERE ID = ?", {beta}).toString();
    QCOMPARE(where == "browsing" ? w.main->Detail()->txtDirector->text() : stored, director);
}

void TestFaults::writeUnderFault_data()
{
    QTest::addColumn<bool>("folder"); // else the catalogue file is read-only
    QTest::newRow("catalogue read-only") << false;
    QTest::newRow("folder read-only") << true; // no journal beside it
}

// A save the catalogue refuses (a refused deletion is the editor tests'): its message, the
// window still open with the input kept, nothing written; once writable, stored once.
void TestFaults::writeUnderFault()
{
    QFETCH(bool, folder);
    EditorFixture e;
    e.folder.AddTitle({.title = "Existing", .cast = {{"Ann", "Queen"}}});
    e.folder.CloseConnection();
    e.main.Form_Load();
    FillEditBuffer(*e.shared, "No", "Film \"d'Art\"", {"Drama", "Crime"},
                   {{"Al", "Tony"}, {"Brad", "Rusty"}});
    frmModify3 step3(*e.shared, e.main);
    step3.show();
    const QString target = folder ? e.folder.Path() : e.folder.CataloguePath();
    QVERIFY(QFile::setPermissions(target, ReadOnly));
    const QByteArray catalogue = e.folder.CatalogueBytes();
    const QStringList entries = Entries(e.folder.Path()) + Entries(e.folder.ImagesPath());

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    step3.cmdFinish->click();
    QCOMPARE(MessageBox::Shown(),
             QStringList{"Error 8 inserting records.\r\nattempt to write a readonly database"});
    QVERIFY(step3.isVisible() && e.main.isEnabled());  // nothing closed
    QCOMPARE(e.Actors(), QStringList({"Al", "Brad"})); // the editor's input kept
    QCOMPARE(e.folder.CatalogueBytes(), catalogue);
    QCOMPARE(Entries(e.folder.Path()) + Entries(e.folder.ImagesPath()), entries);

    QVERIFY(QFile::setPermissions(target, ReadOnly | QFile::WriteOwner));
    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    step3.cmdFinish->click();
    QCOMPARE(MessageBox::Shown().filter("Error"), QStringList());
    QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM Cast_Relationships").toInt(), 3);
}

// A worker that adds, modifies and deletes titles through the program's own save and
// delete is killed (SIGKILL) at random moments, again and again on one catalogue. After
// every kill the catalogue is intact, every title has exactly the links its row names
// (written by the same save), and every change the worker reported committed is there.
void TestFaults::killedAtRandomMoments()
{
    TestFolder folder;
    folder.AddGenre("Children's");
    folder.CloseConnection();
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    QRandomGenerator random(seed);
    Generations state;
    int kills = 0;
    int committed = 0;
    QElapsedTimer clock;
    clock.start();
    for (; kills < 20 && clock.elapsed() < 30000; ++kills) {
        Child worker;
        QVERIFY2(worker.Start({"churn", folder.Path(), QString::number(kills + 1)}, "ready"),
                 worker.Said());
        QThread::msleep(random.bounded(1, 250));
        const bool running = worker.Process().state() == QProcess::Running;
        QVERIFY(worker.Kill());
        const QByteArray said = worker.Said() + worker.Process().readAllStandardOutput();
        QVERIFY2(running, said); // else it stopped on a failure, said at the end

        // What the worker reported committed, and the change begun and not yet reported.
        QList<QByteArray> inFlight;
        for (const QByteArray &line : said.split('\n')) {
            const QList<QByteArray> word = line.split(' ');
            if (word[0] == "saved")
                state[word.value(1).toLongLong()] = word.value(2).toLongLong();
            if (word[0] == "deleted")
                state.remove(word.value(1).toLongLong());
            if (word[0] == "begin" || word[0] == "saved" || word[0] == "deleted")
                inFlight = word; // what was begun, or nothing once it is reported
        }
        committed += said.count("\nsaved ") + said.count("\ndeleted ");
        Generations found;
        checkCatalogue(folder, found);
        if (QTest::currentTestFailed())
            return;
        folder.CloseConnection();

        Generations expected = state; // and the change in flight, if it is there
        const qint64 number = inFlight.value(2).toLongLong(); // a generation, or a title ID
        if (inFlight.value(1) == "save" && found.key(number, -1) != -1)
            expected[found.key(number)] = number;
        if (inFlight.value(1) == "delete" && !found.contains(number))
            expected.remove(number);
        QVERIFY2(found == expected, qPrintable(QString("after kill %1").arg(kills + 1)));
        state = found;
    }
    QVERIFY2(kills >= 15, qPrintable(QString("%1 kills").arg(kills)));
    QVERIFY2(committed > kills, qPrintable(QString("%1 changes").arg(committed)));
}

void TestFaults::everyBox_data()
{
    QTest::addColumn<QString>("text");
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << text;
    // What only a box can meet: a NUL, and text at and past the name prompt's length.
    QTest::newRow("NUL inside") << QString("before") + QChar(0) + QString("after");
    QTest::newRow("55 characters") << QString(55, 'a');
    QTest::newRow("56 characters") << QString(55, 'b') + "!";
    QTest::newRow("emoji across the 55th character") << QString(54, 'c') + QString::fromUtf8("🎬");
}

// Each box holds what was pasted less what it cannot hold (what is then stored is the
// storage tests' awkward-text table).
void TestFaults::everyBox()
{
    QFETCH(QString, text);
    EditorFixture e;
    frmTextBox prompt(*e.shared, PromptOpener::AddTitle, &e.main);
    pasteEverywhere(&prompt, text);
    const QString title = prompt.txtRenameResponse->text();
    e.Fill("No", title, {"Drama"});
    frmModify1 step1(*e.shared, e.main);
    frmModify2 step2(*e.shared, &e.main);
    step2.Form_Load();
    frmModify3 step3(*e.shared, e.main);
    frmGenre manager(*e.shared, nullptr);
    manager.Form_Load();
    for (QWidget *window : std::initializer_list<QWidget *>{&step1, &step2, &step3, &manager})
        pasteEverywhere(window, text);
    // The cast paste generator, which opens over step 3.
    frmModify3 opener(*e.shared, e.main);
    frmPasteCastData generator(*e.shared, opener);
    pasteEverywhere(&generator, text);
}

void TestFaults::coverFaults_data()
{
    QTest::addColumn<QByteArray>("cover");  // the cover's bytes; "link:..." a symbolic link
    QTest::addColumn<QString>("shown");     // cover, placeholder, or nothing (nothing.jpg)
    QTest::addColumn<QByteArray>("chosen"); // the new cover's bytes; empty: a good picture
    QTest::addColumn<int>("step");          // made to fail, as a full or failing disk would
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason"); // in the message; empty: the cover is replaced
    using Step = AtomicFile::Step;
    auto row = [](const char *name, const QByteArray &cover, const char *shown,
                  const QByteArray &chosen, Step step, int code, const char *reason) {
        QTest::newRow(name) << cover << QString(shown) << chosen << int(step) << code
                            << QString(reason);
    };
    const QByteArray good = TestFolder::PictureBytes("JPG", 40, 30);
    const QByteArray cut = TestFolder::PictureBytes("JPG", 300, 400).left(20);
    QByteArray huge =
        TestFolder::PictureBytes("BMP", 4, 4); // claiming 100000 x 100000: 40 GB to decode
    qToLittleEndian<qint32>(100000, huge.data() + 18);
    qToLittleEndian<qint32>(100000, huge.data() + 22);
    const QByteArray text = "not a picture ";
    row("cover empty", {}, "placeholder", {}, Step::None, 0, "");
    row("cover cut short", cut, "placeholder", {}, Step::None, 0, "");
    row("cover 12 MB, not a picture", text.repeated(900000), "placeholder", {}, Step::None, 0, "");
    row("cover claiming 100000 x 100000", huge, "placeholder", {}, Step::None, 0, "");
    row("cover a dangling link", "link:gone.jpg", "nothing", {}, Step::None, 0, "");
    row("cover a link to a picture outside", "link:outside.jpg", "cover", {}, Step::None, 0, "");
    row("cover a link to a device", "link:/dev/zero", "nothing", {}, Step::None, 0, "");
    // Other pictures refused, and the other failed steps, are the chooser's and AtomicFile's
    // tables (tests/pictures, tests/storage).
    row("chosen claiming 100000 x 100000", good, "cover", huge, Step::None, 0,
        "is not a picture that can be shown.");
    row("disk full: a write refused", good, "cover", {}, Step::Write, ENOSPC,
        "No space left on device.");
}

void TestFaults::coverFaults()
{
    QFETCH(QByteArray, cover);
    QFETCH(QString, shown);
    QFETCH(QByteArray, chosen);
    QFETCH(int, step);
    QFETCH(int, code);
    QFETCH(QString, reason);
    MainWindowFixture w;
    const qint64 id = w.folder.AddTitle({.title = "Covered", .director = "Someone"});
    const QString images = w.folder.ImagesPath();
    const QString file = images + QString("/%1.jpg").arg(id);
    const QString linkTo = QString(cover.mid(5));
    const QString target = linkTo.startsWith('/') ? linkTo : w.folder.Path() + "/" + linkTo;
    if (linkTo == "outside.jpg")
        QVERIFY(TestFolder::WriteFile(target, TestFolder::PictureBytes("JPG", 20, 20)));
    QVERIFY(cover.startsWith("link:") ? QFile::link(target, file)
                                      : TestFolder::WriteFile(file, cover));
    const QString kept = cover.startsWith("link:") ? target : file; // must stay as it was
    const QByteArray old = linkTo.startsWith('/') ? QByteArray() : TestFolder::ReadFile(kept);
    const QString picked = w.folder.Path() + "/new.bmp";
    QVERIFY(TestFolder::WriteFile(
        picked, chosen.isEmpty() ? TestFolder::PictureBytes("BMP", 160, 160) : chosen));
    w.load();

    // Shown as far as it can be, with the rest of the title.
    QCOMPARE(w.main->Detail()->lblTitle->text(), QString("Covered"));
    QCOMPARE(w.main->Detail()->txtDirector->text(), QString("Someone"));
    QCOMPARE(w.main->Detail()->CoverIsPlaceholder(), shown == "placeholder");
    QCOMPARE(w.main->Detail()->CoverFile(), shown == "nothing" ? images + "/nothing.jpg" : file);
    QVERIFY(!w.main->Detail()->ImgCover->pixmap().isNull());
    const QStringList before = Entries(images);

    AtomicFile::FailNextForTesting(AtomicFile::Step(step), code);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    FileDialogAnswers::SetNext(picked);
    CoverChooser(*w.main).ImgCover_Click();

    const QString message = MessageBox::Shown().join(" | ");
    QVERIFY2(reason.isEmpty()
                 ? message.isEmpty()
                 : message.contains(reason) && message.endsWith("The cover was not changed."),
             qPrintable(message));
    QCOMPARE(Entries(images), before); // replaced in place, or nothing left behind
    QCOMPARE(w.main->Detail()->CoverFile(), file);
    if (reason.isEmpty()) {
        QVERIFY(!QFileInfo(file).isSymLink());
        QCOMPARE(TestFolder::ReadFile(file), TestFolder::ReadFile(picked));
        QVERIFY(!w.main->Detail()->CoverIsPlaceholder());
    }
    if ((!reason.isEmpty() || kept != file) && !linkTo.startsWith('/'))
        QCOMPARE(TestFolder::ReadFile(kept), old);
}

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
