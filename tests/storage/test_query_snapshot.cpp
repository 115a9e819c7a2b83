// A query's rows as a record list keeps them: every value exactly as the query gave it
// (text, empty text, Null, numbers), and the list still edits like any other.
#include "Connection.h"
#include "RecordList.h"
#include "TestFolder.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

class TestQuerySnapshot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesAsTheQueryGaveThem_data();
    void valuesAsTheQueryGaveThem();
    void editingAnOpenedList();
};

void TestQuerySnapshot::valuesAsTheQueryGaveThem_data()
{
    QTest::addColumn<QString>("select");
    QTest::newRow("titles of every kind")
        << "SELECT ID, Title, Sub_Title, Date, WishList FROM DVD_Title ORDER BY ID";
    QTest::newRow("literals") << "SELECT 'x', '', NULL, 42, 2.5, X'00ff', 'Ça' || char(10) || 'va'";
    QTest::newRow("no rows") << "SELECT Title FROM DVD_Title WHERE ID < 0";
    QTest::newRow("identity") << "SELECT @@Identity";
}

void TestQuerySnapshot::valuesAsTheQueryGaveThem()
{
    QFETCH(QString, select);
    TestFolder folder;
    folder.AddTitle({.title = "Ocean's Eleven", .subTitle = QVariant()});
    folder.AddTitle({.title = QString::fromUtf8("千と千尋の神隠し"), .subTitle = QString()});
    folder.AddTitle({.title = QString(5000, QLatin1Char('W')), .subTitle = "Director's Cut",
                     .wishList = 1});
    folder.AddTitle({.title = "", .subTitle = QVariant(), .date = QVariant()});

    auto shared = folder.MakeShared();
    Connection connection;
    connection.Open(shared->ConnectionString);
    RecordList list;
    list.Open(select, connection);

    // The same statement read straight through Qt SQL is the reference.
    QSqlQuery query(connection.Database());
    QVERIFY(query.exec(select == "SELECT @@Identity" ? "SELECT last_insert_rowid()" : select));
    int row = 0;
    while (query.next()) {
        for (int field = 0; field < query.record().count(); ++field) {
            const QVariant expected = query.value(field);
            const QVariant actual = list.ValueAt(row, field);
            QCOMPARE(actual.metaType(), expected.metaType());
            QCOMPARE(actual.isNull(), expected.isNull());
            QCOMPARE(actual.toString().isNull(), expected.toString().isNull());
            QCOMPARE(actual, expected);
        }
        ++row;
    }
    QCOMPARE(list.RecordCount(), row);
    QCOMPARE(list.Rows().size(), row);
}

void TestQuerySnapshot::editingAnOpenedList()
{
    TestFolder folder;
    for (const char *title : {"Alpha", "Beta", "Gamma"})
        folder.AddTitle({.title = title});
    auto shared = folder.MakeShared();
    Connection connection;
    connection.Open(shared->ConnectionString);
    RecordList list;
    list.Open("SELECT Title, Sub_Title FROM DVD_Title ORDER BY Title", connection);

    list.Move(1);
    list.SetValue(0, QStringLiteral("Beta 2"));
    QCOMPARE(list.ValueAt(0, 0).toString(), QString("Alpha"));
    QCOMPARE(list.Value(0).toString(), QString("Beta 2"));
    QCOMPARE(list.ValueAt(2, 0).toString(), QString("Gamma"));

    list.Move(0);
    list.Delete();
    list.AddNew();
    list.SetValue(0, QStringLiteral("Delta"));
    QCOMPARE(list.RecordCount(), 3);
    QCOMPARE(list.Rows().at(0).at(0).toString(), QString("Beta 2"));
    QCOMPARE(list.Rows().at(1).at(0).toString(), QString("Gamma"));
    QCOMPARE(list.Rows().at(2).at(0).toString(), QString("Delta"));
    QVERIFY(list.Rows().at(2).at(1).isNull());
}

QTEST_MAIN(TestQuerySnapshot)
#include "test_query_snapshot.moc"
