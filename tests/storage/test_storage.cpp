// Catalogue access: quote doubling, record lists as the query gave them, the identity
// answer, and a rebuild that never touches a user's catalogue.
#include "CataloguePreparer.h"
#include "Connection.h"
#include "DbError.h"
#include "Module1.h"
#include "RecordList.h"
#include "TestFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

class TestStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replaceText_data();
    void replaceText();
    void snapshotAsTheQueryGaveIt_data();
    void snapshotAsTheQueryGaveIt();
    void listEditing();
    void identityAfterInsert();
    void rebuildKeepsCatalogue();
};

void TestStorage::replaceText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one") << "'" << "''";
    QTest::newRow("two") << "''" << "''''";
    QTest::newRow("inside and at the ends") << "'Ocean's'" << "''Ocean''s''";
    QTest::newRow("double quotes untouched") << "say \"hi\"" << "say \"hi\"";
    // Far past 32,767 characters: still doubled, never returned as it came.
    QTest::newRow("60,000 characters") << QString("ab'").repeated(20000)
                                       << QString("ab''").repeated(20000);
}

void TestStorage::replaceText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Module1::ReplaceText("'", "''", text), expected);
}

void TestStorage::snapshotAsTheQueryGaveIt_data()
{
    QTest::addColumn<QString>("select");
    QTest::newRow("titles") << "SELECT ID, Title, Sub_Title, Date, WishList FROM DVD_Title";
    QTest::newRow("literals") << "SELECT 'x', '', NULL, 42, 2.5, X'00ff'";
    QTest::newRow("no rows") << "SELECT Title FROM DVD_Title WHERE ID < 0";
}

// Every value exactly as Qt SQL reads it: text, empty text, Null, numbers.
void TestStorage::snapshotAsTheQueryGaveIt()
{
    QFETCH(QString, select);
    TestFolder folder;
    folder.AddTitle({.title = "Ocean's Eleven", .subTitle = QVariant()});
    folder.AddTitle({.title = QString(5000, 'W'), .subTitle = "", .date = QVariant(), .wishList = 1});
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    RecordList list;
    list.Open(select, connection);

    QSqlQuery query(connection.Database());
    QVERIFY(query.exec(select));
    int row = 0;
    for (; query.next(); ++row)
        for (int field = 0; field < query.record().count(); ++field) {
            const QVariant actual = list.ValueAt(row, field);
            QCOMPARE(actual.metaType(), query.value(field).metaType());
            QCOMPARE(actual.toString().isNull(), query.value(field).toString().isNull());
            QCOMPARE(actual, query.value(field));
        }
    QCOMPARE(list.RecordCount(), row);
    QCOMPARE(list.Eof(), row == 0);
    if (row == 0)
        QVERIFY_THROWS_EXCEPTION(DbError, list.Value(0));
}

void TestStorage::listEditing()
{
    TestFolder folder;
    for (const char *title : {"Alpha", "Beta", "Gamma"})
        folder.AddTitle({.title = title});
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    RecordList list;
    list.Open("SELECT Title, Sub_Title FROM DVD_Title ORDER BY Title", connection);
    list.Move(1);
    list.SetValue(0, "Beta 2");
    list.Move(0);
    list.Delete();
    list.AddNew();
    list.SetValue("title", QString(60, 'x')); // longer than a box allows: kept whole
    list.Update();
    QStringList titles;
    for (const RecordList::Row &row : list.Rows())
        titles << row.at(0).toString();
    QCOMPARE(titles, QStringList({"Beta 2", "Gamma", QString(60, 'x')}));
    QVERIFY(list.ValueAt(2, 1).isNull());
    QVERIFY_THROWS_EXCEPTION(DbError, list.Value("Nickname"));

    // A new cast list replaces the old one; whoever still holds the old one keeps it.
    auto shared = folder.MakeShared();
    shared->CreateCastRecords();
    const auto previous = shared->CastRecords;
    previous->AddNew();
    shared->CreateCastRecords();
    QCOMPARE(shared->CastRecords->FieldNames(), QStringList({"Actor", "Character"}));
    QCOMPARE(shared->CastRecords->RecordCount(), 0);
    QCOMPARE(previous->RecordCount(), 1);
}

// SELECT @@Identity answers this connection's last insert; a deleted ID is never reused.
void TestStorage::identityAfterInsert()
{
    TestFolder folder;
    const qint64 first = folder.AddTitle({.title = "First"});
    folder.Exec("DELETE FROM DVD_Title");
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    connection.Execute("INSERT INTO DVD_Title (Title, [Date], WishList) VALUES ('Second', '2001', 0)");
    folder.AddTitle({.title = "Third"}); // another connection's insert
    RecordList identity;
    identity.Open("select @@identity", connection);
    QCOMPARE(identity.Value(0).toLongLong(),
             folder.Scalar("SELECT ID FROM DVD_Title WHERE Title = 'Second'").toLongLong());
    QVERIFY(identity.Value(0).toLongLong() > first);
}

void TestStorage::rebuildKeepsCatalogue()
{
    TestFolder folder;
    folder.AddTitle({.title = "Mine"});
    folder.CloseConnection();
    const QByteArray before = folder.CatalogueBytes();
    const QString nothing = folder.ImagesPath() + "/nothing.jpg";
    folder.WriteImageFile("nothing.jpg", "user's own picture");
    QVERIFY(QFile::remove(folder.ImagesPath() + "/no_records.jpg"));

    QString error;
    QVERIFY2(CataloguePreparer::Prepare(folder.Path(), &error), qPrintable(error));
    QCOMPARE(folder.CatalogueBytes(), before);
    QFile kept(nothing);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("user's own picture"));
    // A missing picture is laid out again.
    QVERIFY(QFileInfo(folder.ImagesPath() + "/no_records.jpg").isFile());
}

QTEST_GUILESS_MAIN(TestStorage)
#include "test_storage.moc"
