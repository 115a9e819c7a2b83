// Saving a title: the title row, its genre links and its cast rows, all or nothing.
#include "MessageBox.h"
#include "BusyTimeout.h"
#include "EditorFixture.h"
#include "ModalWaiter.h"
#include "RecordList.h"
#include "frmModify3.h"

#include <QDir>
#include <QScopeGuard>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>

namespace {

struct Editor : EditorFixture
{
    void FillAdd(const QString &title, const QStringList &genres, const CastPairs &cast)
    {
        Fill("No", title, genres, cast);
    }
    bool Save()
    {
        frmModify3 window(*shared, main);
        return window.SaveTitle();
    }
    int Count(const QString &table)
    {
        return folder.Scalar("SELECT COUNT(*) FROM " + table).toInt();
    }
};

// Failures planted in the catalogue: a cast row for the actor "Bad" refused, and old genre
// links that cannot be removed.
const QString refuseCast = QStringLiteral(
    "CREATE TRIGGER refuse BEFORE INSERT ON Cast_Relationships WHEN NEW.Actor = 'Bad' "
    "BEGIN SELECT RAISE(ABORT, 'cast refused'); END");
const QString refuseUnlink = QStringLiteral(
    "CREATE TRIGGER refuse BEFORE DELETE ON Genre_Relationships "
    "BEGIN SELECT RAISE(ABORT, 'links kept'); END");

} // namespace

class TestSaveTitle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each lock met costs a second, not five.
    void initTestCase() { BusyTimeout::SetForTesting(1000); }
    // Boxes are answered without a window; each test checks what was shown.
    void init() { for (int i = 0; i < 4; ++i) MessageBox::SetNextAnswer(QMessageBox::Ok); }
    void cleanup() { MessageBox::Reset(); }

    void addWritesTitleGenresAndCast();
    void modifyReplacesLinksAndKeepsId();
    void yearAndWishListFlag();
    void castValuesWholeAndNullAsEmpty();
    void failureLeavesCatalogueUnchanged_data();
    void failureLeavesCatalogueUnchanged();
    void retryAfterFailureStoresTextOnce();
    void titleDeletedMeanwhile_data();
    void titleDeletedMeanwhile();
    void diskFullAtCommit();
    void failureUnlocksBeforeItsMessage_data();
    void failureUnlocksBeforeItsMessage();
};

void TestSaveTitle::addWritesTitleGenresAndCast()
{
    Editor e;
    const qint64 before = e.folder.AddTitle({.title = QStringLiteral("Existing"),
                                             .genres = {QStringLiteral("Drama")},
                                             .cast = {{QStringLiteral("X"), QStringLiteral("Y")}}});
    // IDs beyond 16 bits are written and read back whole.
    e.folder.Exec(QStringLiteral("UPDATE sqlite_sequence SET seq = 40000 WHERE name = 'DVD_Title'"));
    e.FillAdd(QStringLiteral("New Title"), {QStringLiteral("Comedy"), QString(), QStringLiteral("War")},
              {{QStringLiteral("Ann"), QStringLiteral("Queen")},
               {QStringLiteral("Bob"), QStringLiteral("King")},
               {QStringLiteral("Cid"), QStringLiteral("Jester")}});
    QVERIFY(e.Save());
    QVERIFY(MessageBox::Shown().isEmpty());

    const qint64 id = e.folder.Scalar(QStringLiteral("SELECT ID FROM DVD_Title WHERE Title = "
                                                     "'New Title'"))
                          .toLongLong();
    QCOMPARE(id, 40001);
    QCOMPARE(e.Count(QStringLiteral("DVD_Title")), 2);
    const auto row = e.folder.Rows(QStringLiteral("SELECT Sub_Title, Date, Director, Summary, "
                                                  "Features, Eggs, WishList FROM DVD_Title "
                                                  "WHERE ID = ?"),
                                   {id})
                         .first();
    QCOMPARE(row, (QVariantList{QStringLiteral("Director's Cut"), QStringLiteral("2001"),
                                QStringLiteral("Ann O'Director"), QStringLiteral("A summary."),
                                QStringLiteral("Commentary"), QStringLiteral("Hidden menu"), 0}));
    QCOMPARE(e.StoredGenres(id), (QStringList{QStringLiteral("Comedy"), QStringLiteral("War")}));
    QCOMPARE(e.StoredCast(id), (QVector<QVariantList>{{QStringLiteral("Ann"), QStringLiteral("Queen")},
                                                {QStringLiteral("Bob"), QStringLiteral("King")},
                                                {QStringLiteral("Cid"), QStringLiteral("Jester")}}));
    // Nothing of the other title moved.
    QCOMPARE(e.StoredGenres(before), QStringList{QStringLiteral("Drama")});
    QCOMPARE(e.StoredCast(before).size(), 1);
    QCOMPARE(e.Count(QStringLiteral("Genre_Relationships")), 3);
    QCOMPARE(e.Count(QStringLiteral("Cast_Relationships")), 4);
}

void TestSaveTitle::modifyReplacesLinksAndKeepsId()
{
    Editor e;
    const qint64 other = e.folder.AddTitle({.title = QStringLiteral("Other"),
                                            .genres = {QStringLiteral("Drama")},
                                            .cast = {{QStringLiteral("O1"), QStringLiteral("O2")}}});
    e.folder.Exec(QStringLiteral("INSERT INTO DVD_Title (ID, Title) VALUES (50000, 'Old Name')"));
    e.folder.Exec(QStringLiteral("INSERT INTO Genre_Relationships VALUES (50000, ?)"),
                  {e.folder.GenreId(QStringLiteral("Horror"))});
    e.folder.Exec(QStringLiteral("INSERT INTO Genre_Relationships VALUES (50000, ?)"),
                  {e.folder.GenreId(QStringLiteral("Music"))});
    e.folder.Exec(QStringLiteral("INSERT INTO Cast_Relationships VALUES (50000, 'Gone', 'Old')"));

    e.FillAdd(QStringLiteral("New Name"), {QStringLiteral("Music"), QStringLiteral("Western")},
              {{QStringLiteral("Kept"), QStringLiteral("Role")},
               {QStringLiteral("Added"), QStringLiteral("Role 2")}});
    e.shared->EditMode = QStringLiteral("Yes");
    e.shared->SelectedTitleId = 50000;
    e.shared->EditWishList = 1;
    QVERIFY(e.Save());

    QCOMPARE(e.Count(QStringLiteral("DVD_Title")), 2);
    QCOMPARE(e.folder.Rows(QStringLiteral("SELECT Title, Sub_Title, WishList FROM DVD_Title "
                                          "WHERE ID = 50000")),
             (QVector<QVariantList>{{QStringLiteral("New Name"), QStringLiteral("Director's Cut"), 1}}));
    QCOMPARE(e.StoredGenres(50000), (QStringList{QStringLiteral("Music"), QStringLiteral("Western")}));
    QCOMPARE(e.StoredCast(50000), (QVector<QVariantList>{{QStringLiteral("Kept"), QStringLiteral("Role")},
                                                   {QStringLiteral("Added"), QStringLiteral("Role 2")}}));
    QCOMPARE(e.StoredGenres(other), QStringList{QStringLiteral("Drama")});
    QCOMPARE(e.StoredCast(other), (QVector<QVariantList>{{QStringLiteral("O1"), QStringLiteral("O2")}}));
}

void TestSaveTitle::yearAndWishListFlag()
{
    Editor e;
    e.FillAdd(QStringLiteral("Wanted"), {}, {});
    e.shared->EditDate = QStringLiteral("0099"); // kept as text: not read as the number 99
    e.shared->EditWishList = 1;
    QVERIFY(e.Save());
    QCOMPARE(e.folder.Rows(QStringLiteral("SELECT Date, typeof(Date), WishList, typeof(WishList) "
                                          "FROM DVD_Title")),
             (QVector<QVariantList>{{QStringLiteral("0099"), QStringLiteral("text"), 1,
                                     QStringLiteral("integer")}}));

    e.main.setEnabled(true);
    e.main.Form_Load();
    QCOMPARE(e.main.RecordCount(), 0);
    e.main.OptionWishList[1]->click();
    QCOMPARE(e.main.RecordCount(), 1);
}

void TestSaveTitle::castValuesWholeAndNullAsEmpty()
{
    Editor e;
    const QString longName = QString(300, QLatin1Char('n')) + QStringLiteral("'end");
    e.FillAdd(QStringLiteral("Cast"), {}, {{longName, QVariant()}, {QVariant(), QStringLiteral("Role")}});
    QVERIFY(e.Save());
    QCOMPARE(e.folder.Rows(QStringLiteral("SELECT Actor, typeof(Actor), Character, "
                                          "typeof(Character) FROM Cast_Relationships ORDER BY rowid")),
             (QVector<QVariantList>{{longName, QStringLiteral("text"), QString(), QStringLiteral("text")},
                                    {QString(), QStringLiteral("text"), QStringLiteral("Role"),
                                     QStringLiteral("text")}}));
}

void TestSaveTitle::failureLeavesCatalogueUnchanged_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("missingGenre");
    // The message's first line up to its CR LF, and a part of the engine's description.
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("description");
    const QString noRecord = QStringLiteral("Either BOF or EOF is True");
    QTest::newRow("add, removed genre") << false << QString() << QStringLiteral("Gone Genre")
                                        << QStringLiteral("Error 3021 inserting records.") << noRecord;
    QTest::newRow("modify, removed genre") << true << QString() << QStringLiteral("Gone Genre")
                                           << QStringLiteral("Error 3021 inserting records.") << noRecord;
    // A refused statement gives the engine's own number (a trigger's constraint).
    QTest::newRow("add, last cast row refused")
        << false << refuseCast << QString()
        << QStringLiteral("Error 19 inserting records.") << QStringLiteral("cast refused");
    QTest::newRow("modify, last cast row refused")
        << true << refuseCast << QString()
        << QStringLiteral("Error 19 inserting records.") << QStringLiteral("cast refused");
    QTest::newRow("modify, old links cannot be removed")
        << true << refuseUnlink << QString()
        << QStringLiteral("Error 19 deleting records.") << QStringLiteral("links kept");
    // Failures at COMMIT carry the engine's number too: another connection reading in a
    // transaction keeps the save from committing past the busy timeout.
    const QString reader = QStringLiteral("reader");
    QTest::newRow("add, a reader in the way at commit")
        << false << reader << QString()
        << QStringLiteral("Error 5 inserting records.") << QStringLiteral("database is locked");
}

void TestSaveTitle::failureLeavesCatalogueUnchanged()
{
    QFETCH(bool, modify);
    QFETCH(QString, trigger);
    QFETCH(QString, missingGenre);
    QFETCH(QString, firstLine);
    QFETCH(QString, description);
    Editor e;
    const qint64 id = e.folder.AddTitle({.title = QStringLiteral("Stored"),
                                         .genres = {QStringLiteral("Drama")},
                                         .cast = {{QStringLiteral("Old"), QStringLiteral("Cast")}}});
    if (!trigger.isEmpty() && trigger != QLatin1String("reader"))
        e.folder.Exec(trigger);
    e.FillAdd(QStringLiteral("Changed's"),
              {QStringLiteral("Action"), missingGenre, QStringLiteral("Comedy")},
              {{QStringLiteral("Good"), QStringLiteral("Role")},
               {QStringLiteral("Bad"), QStringLiteral("Role")}});
    if (modify) {
        e.shared->EditMode = QStringLiteral("Yes");
        e.shared->SelectedTitleId = id;
    }
    const QByteArray before = e.folder.CatalogueBytes();

    if (trigger == QLatin1String("reader")) {
        e.folder.Exec(QStringLiteral("BEGIN"));
        e.folder.Scalar(QStringLiteral("SELECT COUNT(*) FROM DVD_Title"));
    }
    QVERIFY(!e.Save());
    if (trigger == QLatin1String("reader"))
        e.folder.Exec(QStringLiteral("COMMIT"));
    QCOMPARE(MessageBox::Shown().size(), 1);
    const QString shown = MessageBox::Shown().first();
    QCOMPARE(shown.section(QStringLiteral("\r\n"), 0, 0), firstLine);
    QVERIFY2(shown.section(QStringLiteral("\r\n"), 1).contains(description), qPrintable(shown));
    QCOMPARE(MessageBox::ShownTitles(), QStringList{QStringLiteral("Reelvane")});
    QVERIFY(e.folder.CatalogueBytes() == before);
    // The edit buffer is left for the user to correct or abandon.
    QCOMPARE(e.shared->EditTitle, QStringLiteral("Changed's"));
    QCOMPARE(e.shared->GenrePicks[1], missingGenre);
    QCOMPARE(e.shared->CastRecords->RecordCount(), 2);
}

void TestSaveTitle::retryAfterFailureStoresTextOnce()
{
    Editor e;
    e.FillAdd(QStringLiteral("It's"), {QStringLiteral("Nope")}, {{QStringLiteral("O'Hara"), QStringLiteral("Scarlett")}});
    e.shared->EditSummary = QStringLiteral("Don't");
    QVERIFY(!e.Save());
    e.shared->GenrePicks[0].clear();
    QVERIFY(e.Save());
    QCOMPARE(e.folder.Rows(QStringLiteral("SELECT Title, Summary FROM DVD_Title")),
             (QVector<QVariantList>{{QStringLiteral("It's"), QStringLiteral("Don't")}}));
    QCOMPARE(e.folder.Scalar(QStringLiteral("SELECT Actor FROM Cast_Relationships")).toString(),
             QStringLiteral("O'Hara"));
}

void TestSaveTitle::titleDeletedMeanwhile_data()
{
    QTest::addColumn<bool>("saveAsNew");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Save as New Title") << true;
}

// The title being modified is deleted by another connection before Finish: no link or
// cast row is written for the missing ID, the user is told, and the answer is followed.
void TestSaveTitle::titleDeletedMeanwhile()
{
    QFETCH(bool, saveAsNew);
    Editor e;
    const qint64 other = e.folder.AddTitle({.title = QStringLiteral("Other"),
                                            .genres = {QStringLiteral("War")}});
    const qint64 id = e.folder.AddTitle({.title = QStringLiteral("Heat"),
                                         .genres = {QStringLiteral("Crime")},
                                         .cast = {{QStringLiteral("Al"), QStringLiteral("Vincent")}}});
    e.FillAdd(QStringLiteral("Heat (changed)"), {QStringLiteral("Crime"), QStringLiteral("Drama")},
              {{QStringLiteral("Al"), QStringLiteral("Vincent")},
               {QStringLiteral("Val"), QStringLiteral("Chris")}});
    e.shared->EditMode = QStringLiteral("Yes");
    e.shared->SelectedTitleId = id;
    // What another copy's delete does.
    e.folder.Exec(QStringLiteral("DELETE FROM DVD_Title WHERE ID = ?"), {id});
    e.folder.Exec(QStringLiteral("DELETE FROM Genre_Relationships WHERE Title_ID = ?"), {id});
    e.folder.Exec(QStringLiteral("DELETE FROM Cast_Relationships WHERE Movie = ?"), {id});
    const QByteArray before = e.folder.CatalogueBytes();

    MessageBox::Reset();
    MessageBox::SetNextAnswer(saveAsNew ? QMessageBox::Save : QMessageBox::Cancel);
    QCOMPARE(e.Save(), saveAsNew);

    QCOMPARE(MessageBox::ShownTitles(), QStringList{frmModify3::DeletedMeanwhileTitle()});
    const QString shown = MessageBox::Shown().value(0);
    QVERIFY2(shown.contains(QStringLiteral("\"Heat (changed)\" was deleted meanwhile"))
                 && shown.contains(QStringLiteral("Save it as a new title")),
             qPrintable(shown));
    // Nothing anywhere points at a title that does not exist.
    QCOMPARE(e.folder.Scalar(QStringLiteral("SELECT COUNT(*) FROM Genre_Relationships WHERE "
                                            "Title_ID NOT IN (SELECT ID FROM DVD_Title)")).toInt(),
             0);
    QCOMPARE(e.folder.Scalar(QStringLiteral("SELECT COUNT(*) FROM Cast_Relationships WHERE "
                                            "Movie NOT IN (SELECT ID FROM DVD_Title)")).toInt(),
             0);
    QCOMPARE(e.StoredGenres(other), QStringList{QStringLiteral("War")});
    if (!saveAsNew) {
        QVERIFY(e.folder.CatalogueBytes() == before);
        QCOMPARE(e.shared->EditMode, QStringLiteral("Yes")); // Finish asks again
        QCOMPARE(e.shared->CastRecords->RecordCount(), 2);
        return;
    }
    const auto rows = e.folder.Rows(QStringLiteral("SELECT ID, Title FROM DVD_Title WHERE ID <> ?"),
                                    {other});
    QCOMPARE(rows.size(), 1);
    const qint64 newId = rows[0][0].toLongLong();
    QVERIFY(newId > id); // a new title: the deleted one's ID is never used again
    QCOMPARE(rows[0][1].toString(), QStringLiteral("Heat (changed)"));
    QCOMPARE(e.StoredGenres(newId), (QStringList{QStringLiteral("Crime"), QStringLiteral("Drama")}));
    QCOMPARE(e.StoredCast(newId), (QVector<QVariantList>{{QStringLiteral("Al"), QStringLiteral("Vincent")},
                                                   {QStringLiteral("Val"), QStringLiteral("Chris")}}));
    QCOMPARE(e.shared->EditMode, QStringLiteral("No"));
}

// The catalogue on a small disk of its own with 64 KiB left: room for the journal of the
// pages the save changes, not for the new pages, which are written only at COMMIT. That
// fails with the engine's number for a full disk (not 1), and the catalogue keeps what it
// had.
void TestSaveTitle::diskFullAtCommit()
{
    Editor e;
    e.folder.AddTitle({.title = QStringLiteral("Kept")});
    e.folder.CloseConnection();
    QFile catalogue(e.folder.CataloguePath());
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    const QByteArray bytes = catalogue.readAll();
    catalogue.close();

    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path());
    const QByteArray size = "size=" + QByteArray::number((bytes.size() + 4095) / 4096 * 4096 + 65536);
    if (::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, size.constData()) != 0)
        QSKIP("Mounting a small file system needs root.");
    const auto unmount = qScopeGuard([&] { ::umount2(path.constData(), MNT_DETACH); });
    {
        QFile copy(dir.path() + QStringLiteral("/dvd_collection.mdb"));
        QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size());
    }
    Module1 onSmallDisk(dir.path());
    onSmallDisk.InitializeDatabasePath();
    QVector<QPair<QVariant, QVariant>> cast;
    for (int i = 0; i < 800; ++i)
        cast.append({QStringLiteral("Actor %1 ").arg(i) + QString(200, QLatin1Char('a')),
                     QStringLiteral("Role")});
    e.FillAdd(QStringLiteral("Too big"), {}, cast);
    e.shared->ConnectionString = onSmallDisk.ConnectionString;

    QVERIFY(!e.Save());
    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY2(MessageBox::Shown().first().startsWith(
                 QStringLiteral("Error 13 inserting records.\r\ndatabase or disk is full")),
             qPrintable(MessageBox::Shown().first()));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("full"));
        db.setDatabaseName(dir.path() + QStringLiteral("/dvd_collection.mdb"));
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*), (SELECT COUNT(*) FROM Cast_Relationships) "
                                          "FROM DVD_Title")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
        QCOMPARE(query.value(1).toInt(), 0);
        QVERIFY(query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("full"));
}

void TestSaveTitle::failureUnlocksBeforeItsMessage_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("missingGenre");
    QTest::newRow("add, cast refused") << false << refuseCast << QString();
    QTest::newRow("add, removed genre") << false << QString() << QStringLiteral("Gone Genre");
    QTest::newRow("modify, cast refused") << true << refuseCast << QString();
    QTest::newRow("modify, old links cannot be removed") << true << refuseUnlink << QString();
}

// While a failed save's message is up, the catalogue is not held: another program (here a
// connection of the test's own, which does not wait) can write.
void TestSaveTitle::failureUnlocksBeforeItsMessage()
{
    QFETCH(bool, modify);
    QFETCH(QString, trigger);
    QFETCH(QString, missingGenre);
    Editor e;
    const qint64 id = e.folder.AddTitle({.title = QStringLiteral("Stored"),
                                         .genres = {QStringLiteral("Drama")},
                                         .cast = {{QStringLiteral("Old"), QStringLiteral("Cast")}}});
    if (!trigger.isEmpty())
        e.folder.Exec(trigger);
    e.FillAdd(QStringLiteral("Changed"), {QStringLiteral("Action"), missingGenre},
              {{QStringLiteral("Bad"), QStringLiteral("Role")}});
    if (modify) {
        e.shared->EditMode = QStringLiteral("Yes");
        e.shared->SelectedTitleId = id;
    }
    MessageBox::Reset(); // a real box this time
    QString written;
    ModalWaiter waiter;
    waiter.Expect<QMessageBox>([&](QMessageBox *box) {
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                           QStringLiteral("other"));
            other.setDatabaseName(e.folder.CataloguePath());
            other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            QSqlQuery insert(other);
            written = other.open() && insert.exec(QStringLiteral(
                                          "INSERT INTO Genre (Genre) VALUES ('Meanwhile')"))
                          ? QStringLiteral("written")
                          : insert.lastError().text() + other.lastError().text();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        box->accept();
    });
    QVERIFY(!e.Save());
    QVERIFY(waiter.Handled());
    QCOMPARE(written, QStringLiteral("written"));
    QCOMPARE(e.folder.Scalar(QStringLiteral("SELECT COUNT(*) FROM Genre WHERE Genre = 'Meanwhile'"))
                 .toInt(),
             1);
    QCOMPARE(e.Count(QStringLiteral("DVD_Title")), 1);
}

QTEST_MAIN(TestSaveTitle)
#include "test_SaveTitle.moc"
