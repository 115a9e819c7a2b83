// The one rule for letters: order and equality, and where the catalogue meets it.
#include "CataloguePreparer.h"
#include "Connection.h"
#include "Letters.h"
#include "Module1.h"
#include "RecordList.h"
#include "Statements.h"
#include "TestFolder.h"
#include "TitleRecord.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestLetters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rule_data();
    void rule();
    void listOrder_data();
    void listOrder();
    void catalogueListSortedInPlace();
    void wholeTitleCastInLetterOrder();
    void countMatchesFoldsEveryScript_data();
    void countMatchesFoldsEveryScript();
    void countMatchesBeyond16Bits();
    void folderNameWithAnyCharacter_data();
    void folderNameWithAnyCharacter();
};

// One row per pair: how they order (-1: a first) and whether they are the same name.
void TestLetters::rule_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");
    QTest::addColumn<bool>("equal");
    QTest::newRow("É after E…") << "Eagle" << "Émile" << -1 << false;
    QTest::newRow("…and before F") << "Émile" << "Fargo" << -1 << false;
    QTest::newRow("before z whatever the case") << "Émile" << "zebra" << -1 << false;
    QTest::newRow("capitals with accents") << "ÉMILE ET LES DÉTECTIVES"
                                           << "Émile et les détectives" << -1 << true;
    QTest::newRow("accents count") << "Amelie" << "Amélie" << -1 << false;
    QTest::newRow("AMÉLIE") << "AMÉLIE" << "Amélie" << -1 << true;
    QTest::newRow("ß is ss") << "STRASSE" << "Straße" << -1 << true;
    QTest::newRow("Greek final sigma") << "ΣΊΣΥΦΟΣ" << "σίσυφος" << -1 << true;
    QTest::newRow("Greek order") << "άλφα" << "Βήτα" << -1 << false;
    QTest::newRow("Cyrillic case") << "МОСКВА" << "москва" << -1 << true;
    QTest::newRow("Cyrillic ё with е") << "ёлка" << "жук" << -1 << false;
    QTest::newRow("apostrophe") << "Ocean's Eleven" << "OCEAN'S ELEVEN" << 1 << true;
    QTest::newRow("apostrophe before letters") << "Ocean's Eleven" << "Oceans Twelve" << -1
                                               << false;
    QTest::newRow("composed and decomposed") << "É" << "e\u0301" << 1 << true;
    QTest::newRow("identical") << "Fargo" << "Fargo" << 0 << true;
}

void TestLetters::rule()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    QFETCH(bool, equal);
    QCOMPARE(Letters::Equal(a, b), equal);
    QCOMPARE(Letters::Equal(b, a), equal);
    QCOMPARE(Letters::Compare(a, b), order);
    QCOMPARE(Letters::Compare(b, a), -order);
    // The catalogue's own = never finds more than the rule does.
    if (Letters::NocaseEqual(a, b))
        QVERIFY(equal);
}

void TestLetters::listOrder_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("expected");
    // Given as the catalogue hands them over (NOCASE: accented capitals after z).
    QTest::newRow("titles") << QStringList{"Eagle", "Fargo", "zebra", "Émile et les détectives"}
                            << QStringList{"Eagle", "Émile et les détectives", "Fargo", "zebra"};
    QTest::newRow("same letters, then accents, then capitals")
        << QStringList{"amelie", "Amelie", "AMÉLIE", "Amélie"}
        << QStringList{"Amelie", "amelie", "AMÉLIE", "Amélie"};
    QTest::newRow("genres") << QStringList{"Drama", "Western", "Épopée", "Ënigma"}
                            << QStringList{"Drama", "Ënigma", "Épopée", "Western"};
    QTest::newRow("empty and null first") << QStringList{"b", "", "Á"}
                                          << QStringList{"", "Á", "b"};
}

void TestLetters::listOrder()
{
    QFETCH(QStringList, given);
    QFETCH(QStringList, expected);
    RecordList list;
    list.AppendField("Name");
    list.OpenInMemory();
    QVector<RecordList::Row> rows;
    for (const QString &text : given)
        rows << RecordList::Row{text};
    list.SetRows(rows);

    Letters::Sort(list, 0);

    QStringList sorted;
    for (int row = 0; row < list.RecordCount(); ++row)
        sorted << list.ValueAt(row, 0).toString();
    QCOMPARE(sorted, expected);
}

void TestLetters::catalogueListSortedInPlace()
{
    TestFolder folder;
    const QStringList titles{"zebra", "Émile", "Eagle", "Ñandú", "Fargo", "Ángel", "eagle"};
    for (const QString &title : titles)
        folder.AddTitle({.title = title, .subTitle = title.toUpper()});
    auto shared = folder.MakeShared();
    Connection connection;
    connection.Open(shared->ConnectionString);
    RecordList list;
    list.Open(Statements::TitleList(0), connection);

    Letters::Sort(list, 1);

    QStringList sorted;
    for (int row = 0; row < list.RecordCount(); ++row) {
        sorted << list.ValueAt(row, 1).toString();
        // The other fields travel with their title.
        QCOMPARE(list.ValueAt(row, 2).toString(), sorted.last().toUpper());
        QCOMPARE(folder.Scalar("SELECT Title FROM DVD_Title WHERE ID = ?",
                               {list.ValueAt(row, 0)}).toString(),
                 sorted.last());
    }
    QCOMPARE(sorted, (QStringList{"Ángel", "Eagle", "eagle", "Émile", "Fargo", "Ñandú", "zebra"}));
}

// The modify command loads the cast through ReadTitle: its order follows the same rule.
void TestLetters::wholeTitleCastInLetterOrder()
{
    TestFolder folder;
    const qint64 id = folder.AddTitle(
        {.title = "Cast", .cast = {{"zebra", "z"}, {"Émile", "É"}, {"Fargo", "F"}, {"Eagle", "E"}}});
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);

    const TitleRecord record = ReadTitle(connection, id);

    QStringList actors;
    for (const CastMember &member : record.cast) {
        actors << member.actor;
        QCOMPARE(member.character, member.actor.left(1));
    }
    QCOMPARE(actors, (QStringList{"Eagle", "Émile", "Fargo", "zebra"}));
}

void TestLetters::countMatchesFoldsEveryScript_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("spellings");
    QTest::newRow("ASCII case") << "Dvd_Title" << "fargo" << 2 << QStringList{"Fargo", "FARGO"};
    QTest::newRow("accented capitals") << "Dvd_Title" << "AMÉLIE" << 1 << QStringList{"Amélie"};
    QTest::newRow("accents count") << "Dvd_Title" << "Amelie" << 0 << QStringList{};
    QTest::newRow("ß") << "Dvd_Title" << "STRASSE" << 1 << QStringList{"Straße"};
    QTest::newRow("Greek") << "Dvd_Title" << "σίσυφος" << 1 << QStringList{"ΣΊΣΥΦΟΣ"};
    QTest::newRow("apostrophe") << "Dvd_Title" << "OCEAN'S ELEVEN" << 1
                                << QStringList{"Ocean's Eleven"};
    QTest::newRow("looks like SQL") << "Dvd_Title" << "x' OR '1'='1" << 0 << QStringList{};
    QTest::newRow("genre") << "Genre" << "drama" << 1 << QStringList{"Drama"};
}

void TestLetters::countMatchesFoldsEveryScript()
{
    QFETCH(QString, table);
    QFETCH(QString, typed);
    QFETCH(int, count);
    QFETCH(QStringList, spellings);
    TestFolder folder;
    for (const char *title : {"Fargo", "FARGO", "Amélie", "Straße", "ΣΊΣΥΦΟΣ", "Ocean's Eleven"})
        folder.AddTitle({.title = QString::fromUtf8(title)});
    const QByteArray before = folder.CatalogueBytes();
    auto shared = folder.MakeShared();
    shared->LookupTable = table;
    shared->LookupField = table == "Genre" ? "Genre" : "Title";
    shared->LookupValue = typed;
    shared->LookupExists = "True";

    shared->CountMatches();

    QCOMPARE(shared->LookupCount, count);
    QCOMPARE(shared->LookupMatches, spellings);
    QCOMPARE(shared->LookupExists, QString(count == 0 ? "False" : "True"));
    QCOMPARE(shared->LookupValue, Statements::Quote(typed));
    QCOMPARE(folder.CatalogueBytes(), before);
}

void TestLetters::countMatchesBeyond16Bits()
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

void TestLetters::folderNameWithAnyCharacter_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("URI characters") << "my films #1 ? 100% d'Été";
    QTest::newRow("semicolon") << "films; mine";
    QTest::newRow("looks like a setting") << "a;Uid=x;Pwd=y;";
    QTest::newRow("braces and equals") << "{x}=1";
    QTest::newRow("line break") << "two\nlines";
}

void TestLetters::folderNameWithAnyCharacter()
{
    QFETCH(QString, name);
    QTemporaryDir base;
    const QString folder = base.filePath(name);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(CataloguePreparer::Prepare(folder));
    Module1 shared(folder);
    shared.InitializeDatabasePath();
    QCOMPARE(Connection::FileFromConnectionString(shared.ConnectionString),
             folder + "/dvd_collection.mdb");
    Connection connection;
    connection.Open(shared.ConnectionString);
    connection.Execute("INSERT INTO DVD_Title (Title, WishList) VALUES ('X', 0)");
    RecordList list;
    list.Open("SELECT Title FROM DVD_Title", connection);
    QCOMPARE(list.RecordCount(), 1);
    // Nothing was made beside the folder.
    QCOMPARE(QDir(base.path()).entryList(QDir::Files).size(), 0);
}

QTEST_GUILESS_MAIN(TestLetters)
#include "test_letters.moc"
