// Catalogue files in bad states, at start-up and while the program runs, with the whole
// program in a child process: a read that fails ends the program with the driver's text
// and a non-zero status, and the file is left exactly as it was.
#include "ChildProcess.h"
#include "MainWindowFixture.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <future>
#include <thread>

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

} // namespace

class TestCatalogueFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badCatalogueAtStartUp_data();
    void badCatalogueAtStartUp();
    void catalogueSpoiledWhileRunning_data();
    void catalogueSpoiledWhileRunning();
    void readOnlyCatalogueStillShown_data();
    void readOnlyCatalogueStillShown();
    void lockedCatalogueIsWaitedFor();
};

void TestCatalogueFaults::badCatalogueAtStartUp_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("driverText");
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
    if (fault == "no genre tables") {
        folder.Exec("DROP TABLE Genre_Relationships");
        folder.Exec("DROP TABLE Genre");
    }
    folder.CloseConnection();
    const QString file = folder.CataloguePath();
    const qint64 size = QFileInfo(file).size();
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
    QCOMPARE(folderEntries(folder.Path()), entries);
    const QByteArray after = folder.CatalogueBytes();
    QVERIFY(!after.startsWith("SQLite format 3") || fault == "halved");
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

void TestCatalogueFaults::lockedCatalogueIsWaitedFor()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Before the lock"});
    w.folder.CloseConnection();
    w.load();

    // Another writer holds the whole file (no reader may enter) for well under the busy
    // timeout, and adds a title meanwhile.
    std::promise<void> locked;
    std::thread writer([file = w.folder.CataloguePath(), &locked] {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "locker");
            db.setDatabaseName(file);
            db.open();
            QSqlQuery query(db);
            query.exec("BEGIN EXCLUSIVE");
            query.exec("INSERT INTO DVD_Title (Title, WishList) VALUES ('Written under lock', 0)");
            locked.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            query.exec("COMMIT");
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase("locker");
    });
    locked.get_future().wait();
    w.main->RefreshRecords();
    writer.join();
    QCOMPARE(w.titles(), QStringList({"Before the lock", "Written under lock"}));
}

QTEST_MAIN(TestCatalogueFaults)
#include "test_catalogue_faults.moc"
