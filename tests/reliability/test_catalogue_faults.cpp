// Catalogues in bad states, locked by another program, or not writable (read-only file or
// folder): what the user is told, that nothing is written or made anew, that locks are
// waited for, and that a change goes through once the fault is gone.
#include "BusyTimeout.h"
#include "CatalogueLockWait.h"
#include "Child.h"
#include "CopyLock.h"
#include "DbError.h"
#include "EditorFixture.h"
#include "MainWindowFixture.h"
#include "Story.h"
#include "TitleCommands.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmSplash.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

class TestCatalogueFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(RunAsNobody());
        BusyTimeout::SetForTesting(1000); // each lock met costs a second, not five
        frmSplash::SetTimerIntervalForTesting(50);
    }
    void cleanup() { MessageBox::Reset(); }
    void startUp_data();
    void startUp();
    void lockWhileBrowsing_data();
    void lockWhileBrowsing();
    void lockBetweenSteps();
    void writeUnderFault_data();
    void writeUnderFault();
};

void TestCatalogueFaults::startUp_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // empty: no message, and the titles listed
    QTest::newRow("missing") << "missing" << "unable to open database file";
    QTest::newRow("empty file") << "empty" << "no such table";
    QTest::newRow("not a database") << "garbage" << "not a database";
    QTest::newRow("another program's tables") << "other tables" << "no such table";
    QTest::newRow("cut to its first page") << "cut" << "malformed";
    QTest::newRow("read-only file") << "read-only file" << "";
    QTest::newRow("read-only folder") << "read-only folder" << "";
    // Longer than the busy timeout: only waiting again reads it.
    QTest::newRow("locked for 2.5 s") << "locked" << "";
    QTest::newRow("another copy running") << "copy" << "Reelvane is already running";
    QTest::newRow("a killed copy's lock file") << "killed copy" << "";
}

// The whole program as the user starts it; the question about another copy answered Quit.
void TestCatalogueFaults::startUp()
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
        QVERIFY(TestFolder::WriteFile(file, QByteArray("definitely not a catalogue ").repeated(99)));
    else if (fault.startsWith("read-only"))
        QVERIFY(QFile::setPermissions(fault.endsWith("file") ? file : folder.Path(), ReadOnly));
    Child other;
    if (fault == "locked" || fault.endsWith("copy"))
        QVERIFY2(other.Start({"hold", folder.Path(), fault == "locked" ? "exclusive" : "copy", "2500"},
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

void TestCatalogueFaults::lockWhileBrowsing_data()
{
    QTest::addColumn<int>("askAfterMs"); // the limit (30 s in the program)
    QTest::addColumn<int>("holdMs");     // 0: until the question is answered
    QTest::addColumn<QString>("answer"); // the answer to the question, if it comes
    QTest::newRow("lock gone before the limit") << 6000 << 2500 << "";
    QTest::newRow("lock past the limit, Retry") << 1000 << 0 << "retry";
    QTest::newRow("lock past the limit, Quit") << 1000 << 0 << "quit";
}

// Clicking a title while another program holds the catalogue: a busy pointer while the
// program waits, past its limit the question, and the title once the lock is gone; only
// Quit gives the read up.
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
    Child holder;
    QVERIFY2(holder.Start({"hold", w.folder.Path(), "exclusive", QString::number(holdMs)}, "locked"),
             holder.Said());

    bool busy = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        busy = busy || (QApplication::overrideCursor()
                        && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    probe.start(10);
    QString question;
    ModalWaiter asked(60000);
    asked.Expect<QMessageBox>([&](QMessageBox *box) {
        question = box->text();
        QVERIFY(!QApplication::overrideCursor()); // no busy pointer over a question
        if (answer == "retry")
            QVERIFY(holder.Finish());
        box->button(answer == "retry" ? QMessageBox::Retry : QMessageBox::Close)->click();
    });
    bool gaveUp = false;
    try { // a read given up ends the program; here it reaches the test instead
        w.shared->SelectedTitleId = w.main->TitleList()->ValueAt(1, 0).toLongLong();
        w.main->InitializeFields();
    } catch (const DbError &error) {
        gaveUp = error.Number() == 5;
    }

    if (askAfterMs > 1000) // waited through more than one busy timeout before asking
        QVERIFY(busy);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(question.contains("locked by another program") && question.contains("Quit"),
             !answer.isEmpty());
    QCOMPARE(quitAsked, answer == "quit");
    QCOMPARE(gaveUp, answer == "quit");
    if (answer != "quit")
        QCOMPARE(w.main->txtDirector->text(), QString("Second"));
}

// Another program holds the catalogue while the user goes on from step 1: the step stays
// with everything typed; Cancel keeps the user there, Retry goes on once the lock is gone.
void TestCatalogueFaults::lockBetweenSteps()
{
    ProgramFixture p;
    p.folder.AddTitle({.title = "Heat", .genres = {"Crime"}});
    p.folder.CloseConnection();
    p.start();
    Child holder;
    QStringList messages;
    auto answer = [&](bool retry) {
        return [&, retry](QMessageBox *box) {
            messages << box->text();
            if (retry)
                QVERIFY(holder.Finish());
            box->button(retry ? QMessageBox::Retry : QMessageBox::Cancel)->click();
        };
    };
    Story story;
    story
        .then<frmModify1>([&](frmModify1 *step) {
            step->txtDirector->setText("Michael Mann");
            QVERIFY2(holder.Start({"hold", p.folder.Path(), "exclusive"}, "locked"), holder.Said());
            step->cmdNext->click();
        })
        .then<QMessageBox>(answer(false))
        .then<frmModify1>([](frmModify1 *step) {
            QCOMPARE(step->txtDirector->text(), QString("Michael Mann"));
            step->cmdNext->click();
        })
        .then<QMessageBox>(answer(true))
        .then<frmModify2>([](frmModify2 *step) { step->cmdNext->click(); })
        .then<frmModify3>([](frmModify3 *step) { step->cmdFinish->click(); });
    story.play([&] { p.clickToolbar(2); }, 30000);
    QVERIFY2(story.complete(), qPrintable(QString("reached %1").arg(story.reached())));
    QCOMPARE(messages.size(), 2);
    for (const QString &message : messages)
        QVERIFY2(message.startsWith("Error 5 reading records.\r\ndatabase is locked")
                     && message.contains("nothing you have entered is lost"),
                 qPrintable(message));
    QCOMPARE(p.folder.Scalar("SELECT Director FROM DVD_Title").toString(), QString("Michael Mann"));
}

void TestCatalogueFaults::writeUnderFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message"); // the first try's
    const char *readOnly = "Error 8 inserting records.\r\nattempt to write a readonly database";
    QTest::newRow("save, catalogue read-only") << "catalogue" << "save" << readOnly;
    // The journal cannot be made beside the catalogue.
    QTest::newRow("save, folder read-only") << "folder" << "save" << readOnly;
    // The deletion is asked about first.
    QTest::newRow("delete, catalogue locked")
        << "locked" << "delete"
        << "Are you sure you want to delete Existing? | Error 5 deleting records.\r\ndatabase is locked";
}

// A save or a deletion the catalogue refuses: its message, the window still open with the
// input kept, nothing written; with the fault gone, the same change goes through once.
// (Cover writes that fail are in test_bad_input.)
void TestCatalogueFaults::writeUnderFault()
{
    QFETCH(QString, fault);
    QFETCH(QString, action);
    QFETCH(QString, message);
    EditorFixture e;
    const qint64 title = e.folder.AddTitle({.title = "Existing", .cast = {{"Ann", "Queen"}}});
    const QString cover = e.folder.WritePicture(QString("%1.jpg").arg(title), "JPG", 30, 40);
    e.folder.CloseConnection();
    e.main.Form_Load();
    FillEditBuffer(*e.shared, "No", "Film \"d'Art\"", {"Drama", "Crime"},
                   {{"Al", "Tony"}, {"Brad", "Rusty"}});
    frmModify3 step3(*e.shared, e.main);
    step3.show();
    const auto attempt = [&] {
        if (action == "save")
            step3.cmdFinish->click();
        else
            TitleCommands(*e.shared, e.main).DeleteTitle();
    };
    const QString target = fault == "catalogue" ? e.folder.CataloguePath() : e.folder.Path();
    Child holder;
    if (fault == "locked")
        QVERIFY2(holder.Start({"hold", e.folder.Path(), "lock"}, "locked"), holder.Said());
    else
        QVERIFY(QFile::setPermissions(target, ReadOnly));
    const QByteArray catalogue = e.folder.CatalogueBytes();
    const QStringList entries = Entries(e.folder.Path()) + Entries(e.folder.ImagesPath());

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    attempt();
    QCOMPARE(MessageBox::Shown().join(" | "), message);
    QVERIFY(step3.isVisible() && e.main.isEnabled()); // nothing closed
    QCOMPARE(e.Actors(), QStringList({"Al", "Brad"})); // the editor's input kept
    QCOMPARE(e.folder.CatalogueBytes(), catalogue);
    QCOMPARE(Entries(e.folder.Path()) + Entries(e.folder.ImagesPath()), entries);

    QVERIFY(fault == "locked" ? holder.Finish()
                              : QFile::setPermissions(target, ReadOnly | QFile::WriteOwner));
    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    attempt();
    QCOMPARE(MessageBox::Shown().filter("Error"), QStringList());
    QCOMPARE(e.folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(e.folder.Scalar("SELECT (SELECT COUNT(*) FROM DVD_Title) || ' ' || (SELECT COUNT(*) "
                             "FROM Cast_Relationships) || ' ' || (SELECT COUNT(*) FROM "
                             "Genre_Relationships)").toString(),
             QString(action == "save" ? "2 3 2" : "0 0 0"));
    QCOMPARE(QFile::exists(cover), action == "save"); // removed once the rows were gone
}

QTEST_MAIN(TestCatalogueFaults)
#include "test_catalogue_faults.moc"
