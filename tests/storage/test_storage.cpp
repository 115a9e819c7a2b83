// Catalogue access: quote doubling, lookups, record lists, connections, preparation.
#include "CataloguePreparer.h"
#include "Connection.h"
#include "DbError.h"
#include "Module1.h"
#include "RecordList.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class TestStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replaceText_data();
    void replaceText();
    void replaceTextTwiceDoublesTwice();
    void replaceTextVeryLong();

    void countMatches_data();
    void countMatches();
    void countMatchesBeyond16Bits();

    void emptyResult();
    void castRecordsInMemory();
    void identityAfterInsert();

    void openRefuses_data();
    void openRefuses();
    void openFolderWithAwkwardName();
    void lockedCatalogueFailsAfterBusyTimeout();

    void preparedCatalogue();
    void idsAreNeverReused();
    void rebuildKeepsCatalogue();
};

void TestStorage::replaceText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one apostrophe") << "'" << "''";
    QTest::newRow("two apostrophes") << "''" << "''''";
    QTest::newRow("none") << "Casablanca" << "Casablanca";
    QTest::newRow("inside") << "Ocean's Eleven" << "Ocean''s Eleven";
    QTest::newRow("ends") << "'quoted'" << "''quoted''";
    QTest::newRow("double quotes untouched") << "say \"hi\"" << "say \"hi\"";
    QTest::newRow("non-ASCII") << QString::fromUtf8("L'Été – ☃") << QString::fromUtf8("L''Été – ☃");
}

void TestStorage::replaceText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Module1::ReplaceText("'", "''", text), expected);
}

void TestStorage::replaceTextTwiceDoublesTwice()
{
    const QString once = Module1::ReplaceText("'", "''", "'");
    QCOMPARE(Module1::ReplaceText("'", "''", once), QString("''''"));
}

void TestStorage::replaceTextVeryLong()
{
    // Far past 32,767 characters: still doubled, never returned as it came.
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("ab'");
    const QString doubled = Module1::ReplaceText("'", "''", text);
    QCOMPARE(doubled.size(), text.size() + 20000);
    QCOMPARE(doubled.count(QStringLiteral("''")), 20000);
    QVERIFY(doubled.endsWith(QStringLiteral("ab''")));
}

void TestStorage::countMatches_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("doubled");
    QTest::addColumn<QString>("exists");
    QTest::newRow("apostrophe") << "Dvd_Title" << "Title" << "Ocean's Eleven" << 2
                                << "Ocean''s Eleven" << "True";
    QTest::newRow("other case") << "Dvd_Title" << "Title" << "OCEAN'S ELEVEN" << 2
                                << "OCEAN''S ELEVEN" << "True";
    QTest::newRow("no match") << "Dvd_Title" << "Title" << "Ocean's Twelve" << 0
                              << "Ocean''s Twelve" << "False";
    QTest::newRow("looks like SQL") << "Dvd_Title" << "Title" << "x' OR '1'='1" << 0
                                    << "x'' OR ''1''=''1" << "False";
    QTest::newRow("genre") << "Genre" << "Genre" << "drama" << 1 << "drama" << "True";
}

void TestStorage::countMatches()
{
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(int, count);
    QFETCH(QString, doubled);
    QFETCH(QString, exists);

    TestFolder folder;
    QVERIFY(folder.IsValid());
    folder.AddTitle({.title = "Ocean's Eleven"});
    folder.AddTitle({.title = "ocean's eleven", .wishList = 1});
    folder.AddTitle({.title = "Oceans Eleven"});
    auto shared = folder.MakeShared();
    shared->LookupTable = table;
    shared->LookupField = field;
    shared->LookupValue = value;
    shared->LookupExists = "True";
    shared->CountMatches();
    QCOMPARE(shared->LookupCount, count);
    QCOMPARE(shared->LookupValue, doubled);
    QCOMPARE(shared->LookupExists, exists);
    QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 3);
}

void TestStorage::countMatchesBeyond16Bits()
{
    TestFolder folder;
    folder.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                "INSERT INTO DVD_Title (Title, WishList) SELECT 'Same', 0 FROM n");
    auto shared = folder.MakeShared();
    shared->LookupTable = "Dvd_Title";
    shared->LookupField = "Title";
    shared->LookupValue = "same";
    shared->CountMatches();
    QCOMPARE(shared->LookupCount, 40000);
}

void TestStorage::emptyResult()
{
    TestFolder folder;
    auto shared = folder.MakeShared();
    Connection connection;
    connection.Open(shared->ConnectionString);
    QCOMPARE(connection.State(), 1);
    RecordList list;
    list.Open("SELECT Id, Title FROM DVD_Title WHERE WishList = 0", connection);
    QCOMPARE(list.State(), 1);
    QCOMPARE(list.RecordCount(), 0);
    QVERIFY(list.Eof());
    QCOMPARE(list.AbsolutePosition(), 0);
    QCOMPARE(list.FieldCount(), 2);
    QVERIFY_THROWS_EXCEPTION(DbError, list.Value(0));
}

void TestStorage::castRecordsInMemory()
{
    TestFolder folder;
    auto shared = folder.MakeShared();
    shared->CreateCastRecords();
    RecordList &cast = *shared->CastRecords;
    QCOMPARE(cast.State(), 1);
    QCOMPARE(cast.RecordCount(), 0);
    QVERIFY(cast.Eof());
    QCOMPARE(cast.FieldNames(), QStringList({"Actor", "Character"}));

    cast.AddNew();
    cast.SetValue("Actor", QString(60, QLatin1Char('x'))); // longer than 50: kept whole
    cast.Update();
    cast.AddNew();
    cast.SetValue("actor", "Second");
    cast.Update();
    QCOMPARE(cast.RecordCount(), 2);
    QCOMPARE(cast.ValueAt(0, 0).toString().size(), 60);
    QVERIFY(cast.ValueAt(0, 1).isNull());
    QVERIFY(!RecordList::HasText(cast.ValueAt(0, 1)));
    QVERIFY(!RecordList::HasText(QString()));
    QVERIFY(RecordList::HasText(QStringLiteral(" ")));

    cast.MoveFirst();
    cast.Delete();
    QCOMPARE(cast.RecordCount(), 1);
    QCOMPARE(cast.ValueAt(0, 0).toString(), QString("Second"));
    QVERIFY_THROWS_EXCEPTION(DbError, cast.Value("Nickname"));

    // A new list replaces the old one; whoever still holds the old one keeps it intact.
    const auto previous = shared->CastRecords;
    shared->CreateCastRecords();
    QCOMPARE(shared->CastRecords->RecordCount(), 0);
    QCOMPARE(previous->RecordCount(), 1);
}

void TestStorage::identityAfterInsert()
{
    TestFolder folder;
    folder.AddTitle({.title = "First"});
    auto shared = folder.MakeShared();
    Connection connection;
    connection.Open(shared->ConnectionString);
    connection.Execute("INSERT INTO DVD_Title (Title, [Date], WishList) VALUES ('Second', '2001', 0)");
    RecordList identity;
    identity.Open("SELECT @@Identity", connection);
    QCOMPARE(identity.RecordCount(), 1);
    const qint64 id = identity.Value(0).toLongLong();
    QCOMPARE(id, folder.Scalar("SELECT ID FROM DVD_Title WHERE Title = 'Second'").toLongLong());

    // Another connection's insert does not change what this one answers.
    folder.AddTitle({.title = "Third"});
    identity.Open("select @@identity", connection);
    QCOMPARE(identity.Value(0).toLongLong(), id);
}

void TestStorage::openRefuses_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("createFile");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("garbage") << QByteArray("this is not a catalogue at all\n").repeated(200) << true;
    QTest::newRow("truncated header") << QByteArray("SQLite format 3\0", 16) << true;
}

void TestStorage::openRefuses()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, createFile);
    QTemporaryDir dir;
    const QString file = dir.filePath("dvd_collection.mdb");
    if (createFile) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
    Module1 shared(dir.path());
    shared.InitializeDatabasePath();
    Connection connection;
    QVERIFY_THROWS_EXCEPTION(DbError, connection.Open(shared.ConnectionString));
    QCOMPARE(connection.State(), 0);
    QCOMPARE(QFileInfo::exists(file), createFile);
    if (createFile) {
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), content);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), createFile ? 1 : 0);
}

void TestStorage::openFolderWithAwkwardName()
{
    QTemporaryDir base;
    const QString folder = base.filePath("my films #1 ? 100% d'Été");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(CataloguePreparer::Prepare(folder));
    Module1 shared(folder);
    shared.InitializeDatabasePath();
    Connection connection;
    connection.Open(shared.ConnectionString);
    connection.Execute("INSERT INTO DVD_Title (Title, WishList) VALUES ('X', 0)");
    QCOMPARE(QDir(base.path()).entryList(QDir::Files).size(), 0);
    RecordList list;
    list.Open("SELECT Title FROM DVD_Title", connection);
    QCOMPARE(list.RecordCount(), 1);
}

void TestStorage::lockedCatalogueFailsAfterBusyTimeout()
{
    TestFolder folder;
    folder.AddTitle({.title = "Locked"});
    folder.Exec("PRAGMA locking_mode = EXCLUSIVE");
    folder.Exec("BEGIN EXCLUSIVE");
    folder.Exec("UPDATE DVD_Title SET Title = 'Held'");
    auto shared = folder.MakeShared();
    Connection connection;
    QElapsedTimer clock;
    clock.start();
    bool failed = false;
    try {
        connection.Open(shared->ConnectionString);
    } catch (const DbError &error) {
        failed = true;
        QCOMPARE(error.Number(), 5); // SQLITE_BUSY
    }
    QVERIFY(failed);
    QVERIFY(clock.elapsed() >= Connection::BusyTimeoutMs - 500);
    folder.Exec("ROLLBACK");
}

void TestStorage::preparedCatalogue()
{
    TestFolder folder;
    QVERIFY(QFileInfo(folder.ImagesPath() + "/nothing.jpg").isFile());
    QVERIFY(QFileInfo(folder.ImagesPath() + "/no_records.jpg").isFile());
    const auto tables = folder.Rows("SELECT name FROM sqlite_master WHERE type = 'table' "
                                    "AND name NOT LIKE 'sqlite_%' ORDER BY name");
    QStringList names;
    for (const auto &row : tables)
        names << row.first().toString();
    QCOMPARE(names, QStringList({"Cast_Relationships", "DVD_Title", "Genre",
                                 "Genre_Relationships"}));
    for (const char *indexed : {"Genre_Relationships(Title_ID)", "Genre_Relationships(Genre_ID)",
                                "Cast_Relationships(Movie)", "DVD_Title(WishList"}) {
        bool found = false;
        for (const auto &row : folder.Rows("SELECT sql FROM sqlite_master WHERE type = 'index' "
                                           "AND sql IS NOT NULL"))
            found = found || row.first().toString().remove(' ').contains(indexed);
        QVERIFY2(found, indexed);
    }
    QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 0);
    QVERIFY(folder.Scalar("SELECT COUNT(*) FROM Genre").toInt() >= 10);
    QCOMPARE(folder.Scalar("SELECT MAX(LENGTH(Genre)) FROM Genre").toInt() <= 12, true);
    // Text equality and order ignore letter case.
    QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Genre WHERE Genre = 'DRAMA'").toInt(), 1);
}

void TestStorage::idsAreNeverReused()
{
    TestFolder folder;
    const qint64 first = folder.AddTitle({.title = "A"});
    const qint64 second = folder.AddTitle({.title = "B"});
    folder.Exec("DELETE FROM DVD_Title WHERE ID = ?", {second});
    const qint64 third = folder.AddTitle({.title = "C"});
    QVERIFY(third > second && second > first);
}

void TestStorage::rebuildKeepsCatalogue()
{
    TestFolder folder;
    folder.AddTitle({.title = "Mine"});
    folder.CloseConnection();
    const QByteArray before = folder.CatalogueBytes();
    QFile cover(folder.ImagesPath() + "/nothing.jpg");
    QVERIFY(cover.open(QIODevice::WriteOnly));
    cover.write("user's own picture");
    cover.close();

    QString error;
    QVERIFY2(CataloguePreparer::Prepare(folder.Path(), &error), qPrintable(error));
    QCOMPARE(folder.CatalogueBytes(), before);
    QVERIFY(cover.open(QIODevice::ReadOnly));
    QCOMPARE(cover.readAll(), QByteArray("user's own picture"));

    // A missing picture is laid out again, still without touching the catalogue.
    QVERIFY(QFile::remove(folder.ImagesPath() + "/no_records.jpg"));
    QVERIFY(CataloguePreparer::Prepare(folder.Path()));
    QVERIFY(QFileInfo(folder.ImagesPath() + "/no_records.jpg").isFile());
    QCOMPARE(folder.CatalogueBytes(), before);
}

QTEST_GUILESS_MAIN(TestStorage)
#include "test_storage.moc"
