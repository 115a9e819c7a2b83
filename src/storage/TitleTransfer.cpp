#include "TitleTransfer.h"

#include "Connection.h"
#include "DbError.h"
#include "Letters.h"
#include "Transaction.h"

#include <QHash>
#include <QSqlQuery>
#include <QVariant>

namespace TitleTransfer {

namespace {

QSqlQuery run(const QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(statement))
        throw DbError::FromSql(query.lastError());
    return query;
}

void exec(QSqlQuery &query)
{
    if (!query.exec())
        throw DbError::FromSql(query.lastError());
}

// Empty text is stored as empty text, as the editor stores it, never as Null.
QVariant stored(const QString &text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

} // namespace

QString SimilarKey(const QString &title, const QString &subTitle)
{
    // A unit separator cannot be typed into either box, so the pair stays unambiguous.
    return Letters::Folded(title) + QChar(0x1f) + Letters::Folded(subTitle);
}

QString GenreKey(const QString &name)
{
    // The genre manager's rule: "ÉPOPÉE" names the stored "Épopée".
    return Letters::Folded(name);
}

bool ReadAll(const QString &connectionString, const TitleVisitor &visitor)
{
    Connection connection;
    connection.Open(connectionString);
    Transaction snapshot(connection); // one snapshot for the three reads
    const QSqlDatabase db = connection.Database();
    bool finished = true;
    {
        QHash<qint64, QStringList> genres;
        QSqlQuery links =
            run(db, QStringLiteral(
                        "SELECT Genre_Relationships.Title_ID, Genre.Genre FROM Genre_Relationships "
                        "INNER JOIN Genre ON Genre.Genre_ID = Genre_Relationships.Genre_ID "
                        "ORDER BY Genre_Relationships.rowid"));
        while (links.next())
            genres[links.value(0).toLongLong()] << links.value(1).toString();

        QHash<qint64, QVector<CastMember>> cast;
        QSqlQuery members =
            run(db, QStringLiteral(
                        "SELECT Movie, Actor, Character FROM Cast_Relationships ORDER BY rowid"));
        while (members.next())
            cast[members.value(0).toLongLong()]
                << CastMember{members.value(1).toString(), members.value(2).toString()};

        QSqlQuery count = run(db, QStringLiteral("SELECT Count(*) FROM DVD_Title"));
        const qint64 rows = count.next() ? count.value(0).toLongLong() : 0;

        QSqlQuery titles = run(
            db,
            QStringLiteral(
                "SELECT ID, Title, Sub_Title, Date, Director, Summary, Features, Eggs, WishList "
                "FROM DVD_Title ORDER BY WishList <> 0, Title, ID"));
        qint64 index = 0;
        while (titles.next()) {
            const qint64 id = titles.value(0).toLongLong();
            const TitleRecord title{
                id,
                {titles.value(1).toString(), titles.value(2).toString(), titles.value(3).toString(),
                 titles.value(4).toString(), titles.value(5).toString(), titles.value(6).toString(),
                 titles.value(7).toString(), titles.value(8).toInt() != 0 ? 1 : 0},
                genres.take(id),
                {}, // genre IDs are this catalogue's own and do not travel
                cast.take(id)};
            if (!visitor(title, index++, rows)) {
                finished = false;
                break;
            }
        }
    }
    snapshot.Rollback(); // nothing was written
    return finished;
}

Existing ReadExisting(const QString &connectionString)
{
    Connection connection;
    connection.Open(connectionString);
    Existing existing;
    {
        const QSqlDatabase db = connection.Database();
        QSqlQuery titles = run(db, QStringLiteral("SELECT Title, Sub_Title FROM DVD_Title"));
        while (titles.next())
            existing.titleKeys.insert(
                SimilarKey(titles.value(0).toString(), titles.value(1).toString()));
        QSqlQuery genres = run(db, QStringLiteral("SELECT Genre FROM Genre ORDER BY Genre_ID"));
        while (genres.next()) {
            const QString name = genres.value(0).toString();
            if (!existing.genres.contains(GenreKey(name)))
                existing.genres.insert(GenreKey(name), name);
        }
    }
    return existing;
}

struct TitleInserter::Statements
{
    explicit Statements(const QSqlDatabase &db)
        : title(db), genreLink(db), castMember(db), genre(db)
    {
        prepare(title, QStringLiteral("INSERT INTO DVD_Title (Title, Sub_Title, [Date], Director, "
                                      "Summary, Features, Eggs, WishList) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        prepare(genreLink, QStringLiteral("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) "
                                          "VALUES (?, ?)"));
        prepare(castMember, QStringLiteral("INSERT INTO Cast_Relationships (Movie, Actor, "
                                           "Character) VALUES (?, ?, ?)"));
        prepare(genre, QStringLiteral("INSERT INTO Genre (Genre) VALUES (?)"));
    }
    static void prepare(QSqlQuery &query, const QString &statement)
    {
        if (!query.prepare(statement))
            throw DbError::FromSql(query.lastError());
    }
    QSqlQuery title, genreLink, castMember, genre;
};

TitleInserter::TitleInserter(const QString &connectionString)
    : m_connection(std::make_unique<Connection>())
{
    m_connection->Open(connectionString);
    // Taken for writing at once: a catalogue locked by another program fails here, before
    // anything is written, after the usual wait.
    m_transaction = std::make_unique<Transaction>(*m_connection, Transaction::Lock::Immediate);
    QSqlQuery genres = run(m_connection->Database(),
                           QStringLiteral("SELECT Genre_ID, Genre FROM Genre ORDER BY Genre_ID"));
    while (genres.next()) {
        const QString key = GenreKey(genres.value(1).toString());
        if (!m_genreIds.contains(key))
            m_genreIds.insert(key, genres.value(0).toLongLong());
    }
    m_statements = std::make_unique<Statements>(m_connection->Database());
}

TitleInserter::~TitleInserter() = default;

qint64 TitleInserter::genreId(const QString &name)
{
    const QString key = GenreKey(name);
    const auto found = m_genreIds.constFind(key);
    if (found != m_genreIds.constEnd())
        return *found;
    QSqlQuery &insert = m_statements->genre;
    insert.bindValue(0, stored(name));
    exec(insert);
    const qint64 id = insert.lastInsertId().toLongLong();
    m_genreIds.insert(key, id);
    ++m_genresCreated;
    return id;
}

qint64 TitleInserter::Insert(const TitleRecord &t)
{
    QSqlQuery &title = m_statements->title;
    const TitleFacts &f = t.facts;
    const QVariantList values{stored(f.title),    stored(f.subTitle), stored(f.date),
                              stored(f.director), stored(f.summary),  stored(f.features),
                              stored(f.eggs),     f.wishList};
    for (int i = 0; i < values.size(); ++i)
        title.bindValue(i, values[i]);
    exec(title);
    const qint64 id = title.lastInsertId().toLongLong();

    QSqlQuery &link = m_statements->genreLink;
    for (const QString &name : t.genres) {
        const qint64 genre = genreId(name);
        link.bindValue(0, id);
        link.bindValue(1, genre);
        exec(link);
    }
    QSqlQuery &member = m_statements->castMember;
    for (const auto &[actor, character] : t.cast) {
        member.bindValue(0, id);
        member.bindValue(1, stored(actor));
        member.bindValue(2, stored(character));
        exec(member);
    }
    return id;
}

void TitleInserter::Commit()
{
    m_statements.reset();
    m_transaction->Commit();
}

} // namespace TitleTransfer
