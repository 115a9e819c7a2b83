// Statement texts with awkward values, the whole-title read and the transaction guard.
#include "AwkwardText.h"
#include "Connection.h"
#include "DbError.h"
#include "RecordList.h"
#include "Statements.h"
#include "TestFolder.h"
#include "TitleRecord.h"
#include "Transaction.h"

#include <QTest>

class TestStatements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesStoredAsTyped_data();
    void valuesStoredAsTyped();
    void genreStatementsFindTheValue_data();
    void genreStatementsFindTheValue();
    void readTitleMissing();

    void transactionFailureLeavesCatalogue_data();
    void transactionFailureLeavesCatalogue();
    void transactionCommits();
};

namespace {

void awkwardValues()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << QString();
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << text;
}

QString expectOne(RecordList &list)
{
    return list.RecordCount() == 1 ? list.ValueAt(0, 0).toString() : QStringLiteral("<none>");
}

} // namespace

void TestStatements::valuesStoredAsTyped_data()
{
    awkwardValues();
}

// The save's statements and the whole-title read give back every value as it was typed.
void TestStatements::valuesStoredAsTyped()
{
    QFETCH(QString, value);
    TestFolder folder;
    QVERIFY(folder.IsValid());
    const qint64 genreId = folder.AddGenre(QStringLiteral("Noir"));
    const int genres = folder.Scalar(QStringLiteral("SELECT count(*) FROM Genre")).toInt();
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);

    TitleFacts facts{value, value, value, value, value, value, value, 1};
    connection.Execute(Statements::InsertTitle(facts));
    RecordList identity;
    identity.Open(Statements::LastInsertedId(), connection);
    const qint64 id = identity.Value(0).toLongLong();
    connection.Execute(Statements::InsertGenreLink(id, genreId));
    connection.Execute(Statements::InsertCastMember(id, QStringLiteral("B ") + value, value));
    connection.Execute(Statements::InsertCastMember(id, QStringLiteral("A"), value));

    TitleRecord read = ReadTitle(connection, id);
    QCOMPARE(read.facts.title, value);
    QCOMPARE(read.facts.subTitle, value);
    QCOMPARE(read.facts.summary, value);
    QCOMPARE(read.facts.eggs, value);
    QCOMPARE(read.facts.wishList, 1);
    QCOMPARE(read.genres, QStringList{QStringLiteral("Noir")});
    QCOMPARE(read.cast.size(), 2);
    QCOMPARE(read.cast[0].actor, QStringLiteral("A"));
    QCOMPARE(read.cast[1].actor, QStringLiteral("B ") + value);
    QCOMPARE(read.cast[1].character, value);

    RecordList similar;
    similar.Open(Statements::SimilarTitles(QStringLiteral("Dvd_Title"), QStringLiteral("Title"),
                                           value),
                 connection);
    QCOMPARE(expectOne(similar), value);
    // Spellings the catalogue's = misses are listed as stored.
    RecordList spelled;
    spelled.Open(Statements::SimilarTitles(QStringLiteral("Dvd_Title"), QStringLiteral("Title"),
                                           QStringLiteral("no such title"), {value}),
                 connection);
    QCOMPARE(expectOne(spelled), value);

    // A kept link is written only where it is missing and its genre still exists.
    QCOMPARE(read.genreIds, QVector<qint64>{genreId});
    connection.Execute(Statements::InsertKeptGenreLink(id, genreId));
    connection.Execute(Statements::InsertKeptGenreLink(id, genreId + 1000));
    QCOMPARE(ReadTitle(connection, id).genreIds, QVector<qint64>{genreId});

    TitleFacts changed = facts;
    changed.title = value + QStringLiteral("'");
    changed.director = QStringLiteral("\"") + value;
    changed.wishList = 0;
    connection.Execute(Statements::UpdateTitle(changed, id));
    connection.Execute(Statements::DeleteGenreLinksOfTitle(id));
    connection.Execute(Statements::DeleteCastOfTitle(id));
    read = ReadTitle(connection, id);
    QCOMPARE(read.facts.title, changed.title);
    QCOMPARE(read.facts.director, changed.director);
    QCOMPARE(read.facts.features, value);
    QCOMPARE(read.facts.wishList, 0);
    QVERIFY(read.genres.isEmpty());
    QVERIFY(read.cast.isEmpty());
    connection.Execute(Statements::InsertKeptGenreLink(id, genreId));
    QCOMPARE(ReadTitle(connection, id).genreIds, QVector<qint64>{genreId});
    QCOMPARE(folder.Scalar(QStringLiteral("SELECT count(*) FROM Genre")).toInt(), genres);
}

void TestStatements::genreStatementsFindTheValue_data()
{
    awkwardValues();
}

void TestStatements::genreStatementsFindTheValue()
{
    QFETCH(QString, value);
    TestFolder folder;
    QVERIFY(folder.IsValid());
    const QString name = QStringLiteral("G ") + value;
    const QString other = QStringLiteral("H ") + value;
    folder.AddTitle({.title = QStringLiteral("Kept"), .genres = {QStringLiteral("Kept")}});
    const int genres = folder.Scalar(QStringLiteral("SELECT count(*) FROM Genre")).toInt();
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);

    connection.Execute(Statements::InsertGenre(name));
    const qint64 id = folder.GenreId(name);
    QVERIFY(id > 0);
    RecordList genreId;
    genreId.Open(Statements::GenreId(name), connection);
    QCOMPARE(genreId.Value(0).toLongLong(), id);
    RecordList count;
    count.Open(Statements::CountMatches(QStringLiteral("Genre"), QStringLiteral("Genre"), name),
               connection);
    QCOMPARE(count.Value(0).toInt(), 1);
    for (const QString &statement :
         {Statements::GenreNames(), Statements::StoredValues(QStringLiteral("Genre"),
                                                             QStringLiteral("Genre"))}) {
        RecordList names;
        names.Open(statement, connection);
        QStringList found;
        for (int row = 0; row < names.RecordCount(); ++row)
            found << names.ValueAt(row, 0).toString();
        QCOMPARE(found.count(name), 1);
        QCOMPARE(found.size(), genres + 1);
    }

    const QString titleName = QStringLiteral("T ") + value;
    const qint64 title = folder.AddTitle({.title = titleName, .genres = {name}});
    RecordList onGenre;
    onGenre.Open(Statements::CountTitlesOnGenre(name), connection);
    QCOMPARE(onGenre.Value(0).toInt(), 1);
    RecordList titles;
    titles.Open(Statements::TitlesOnGenre(name), connection);
    QCOMPARE(expectOne(titles), titleName);
    RecordList unpicked;
    unpicked.Open(Statements::UnpickedGenres({QStringLiteral("Kept"), name, QString(), value}),
                  connection);
    QCOMPARE(unpicked.RecordCount(), genres + 1 - 2);

    connection.Execute(Statements::RenameGenre(name, other));
    QCOMPARE(folder.GenreId(other), id);
    connection.Execute(Statements::DeleteLinksOfGenre(other));
    connection.Execute(Statements::DeleteGenre(other));
    QCOMPARE(folder.Scalar(QStringLiteral("SELECT count(*) FROM Genre WHERE Genre_ID = ?"), {id})
                 .toInt(),
             0);
    QCOMPARE(ReadTitle(connection, title).genres, QStringList());
    QCOMPARE(folder.Scalar(QStringLiteral("SELECT count(*) FROM Genre")).toInt(), genres);
}

void TestStatements::readTitleMissing()
{
    TestFolder folder;
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    QVERIFY_THROWS_EXCEPTION(DbError, ReadTitle(connection, 404));
}

void TestStatements::transactionFailureLeavesCatalogue_data()
{
    QTest::addColumn<int>("failingStatement");
    QTest::newRow("first") << 0;
    QTest::newRow("after one change") << 1;
    QTest::newRow("after every change") << 3;
}

// The guard rolls back whatever ran inside it when a statement throws.
void TestStatements::transactionFailureLeavesCatalogue()
{
    QFETCH(int, failingStatement);
    TestFolder folder;
    const qint64 id = folder.AddTitle({.title = QStringLiteral("Alien"),
                                       .genres = {QStringLiteral("Horror")},
                                       .cast = {{QStringLiteral("Sigourney"), QStringLiteral("Ripley")}}});
    folder.CloseConnection();
    const QByteArray before = folder.CatalogueBytes();

    QStringList statements{Statements::DeleteTitle(id), Statements::DeleteGenreLinksOfTitle(id),
                           Statements::DeleteCastOfTitle(id)};
    statements.insert(failingStatement, QStringLiteral("INSERT INTO NoSuchTable VALUES (1)"));
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    bool thrown = false;
    try {
        Transaction transaction(connection);
        for (const QString &statement : statements)
            connection.Execute(statement);
        transaction.Commit();
    } catch (const DbError &) {
        thrown = true;
    }
    QVERIFY(thrown);
    // Nothing is left open on the connection: a new transaction can begin.
    { Transaction again(connection); }
    connection.Close();
    QCOMPARE(folder.CatalogueBytes(), before);
}

void TestStatements::transactionCommits()
{
    TestFolder folder;
    const qint64 id = folder.AddTitle({.title = QStringLiteral("Alien")});
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    {
        Transaction transaction(connection);
        connection.Execute(Statements::DeleteTitle(id));
        transaction.Commit();
    }
    QCOMPARE(folder.Scalar(QStringLiteral("SELECT count(*) FROM DVD_Title")).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
