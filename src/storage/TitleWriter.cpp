#include "TitleWriter.h"

#include "Connection.h"
#include "LoanStatements.h"
#include "DbError.h"
#include "Letters.h"
#include "RecordList.h"
#include "Statements.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Text without a value is stored as empty text, as the quoted statements store it.
QVariant stored(const QString &text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

void exec(QSqlQuery &query)
{
    if (!query.exec())
        throw DbError::FromSql(query.lastError());
}

void prepare(QSqlQuery &query, const QString &statement)
{
    if (!query.prepare(statement))
        throw DbError::FromSql(query.lastError());
}

qint64 firstValue(Connection &connection, const QString &statement)
{
    RecordList result;
    result.Open(statement, connection);
    // No row (a genre removed meanwhile) throws, as any read of a missing row does.
    return result.Value(0).toLongLong();
}

} // namespace

// The inserts of the Bound form; the rest runs as text in both forms (once per title at most).
struct TitleWriter::Prepared
{
    explicit Prepared(const QSqlDatabase &db) : title(db), genreLink(db), castMember(db), genre(db)
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
    QSqlQuery title, genreLink, castMember, genre;
};

TitleWriter::TitleWriter(const QString &connectionString, Form form, MissingGenre missingGenre,
                         Transaction::Lock lock)
    : m_form(form), m_missingGenre(missingGenre), m_connection(std::make_unique<Connection>())
{
    m_connection->Open(connectionString);
    m_transaction = std::make_unique<Transaction>(*m_connection, lock);
    if (m_form == Form::Text)
        return;
    QSqlQuery genres(m_connection->Database());
    genres.setForwardOnly(true);
    if (!genres.exec(QStringLiteral("SELECT Genre_ID, Genre FROM Genre ORDER BY Genre_ID")))
        throw DbError::FromSql(genres.lastError());
    while (genres.next()) {
        const QString key = Letters::Folded(genres.value(1).toString());
        if (!m_genreIds.contains(key))
            m_genreIds.insert(key, genres.value(0).toLongLong());
    }
    m_prepared = std::make_unique<Prepared>(m_connection->Database());
}

TitleWriter::~TitleWriter() = default;

qint64 TitleWriter::Write(const TitleRecord &title, const QVector<qint64> &keptGenreIds)
{
    qint64 id = title.id;
    if (id == 0) {
        id = insertTitle(title.facts);
    } else {
        m_connection->Execute(Statements::UpdateTitle(title.facts, id));
        // No row changed: another program deleted the title after it was read. Its links
        // would point at no title.
        if (firstValue(*m_connection, Statements::ChangedRows()) == 0)
            return 0;
        m_removingOldLinks = true;
        m_connection->Execute(Statements::DeleteGenreLinksOfTitle(id));
        m_connection->Execute(Statements::DeleteCastOfTitle(id));
        m_removingOldLinks = false;
    }
    for (const QString &name : title.genres)
        if (!name.isEmpty())
            link(id, genreId(name));
    // Unless a name given now links the genre, or the genre was removed meanwhile.
    for (const qint64 kept : keptGenreIds)
        m_connection->Execute(Statements::InsertKeptGenreLink(id, kept));
    for (const CastMember &member : title.cast)
        castMember(id, member);
    if (title.id == 0 && !title.loanBorrower.isEmpty())
        m_connection->Execute(LoanStatements::InsertLoan(id, title.loanBorrower, title.loanLentOn,
                                                         title.loanDueOn, QString()));
    return id;
}

void TitleWriter::Commit()
{
    m_prepared.reset();
    m_transaction->Commit();
}

qint64 TitleWriter::insertTitle(const TitleFacts &f)
{
    if (m_form == Form::Text) {
        m_connection->Execute(Statements::InsertTitle(f));
        return firstValue(*m_connection, Statements::LastInsertedId());
    }
    QSqlQuery &title = m_prepared->title;
    const QVariantList values{stored(f.title),    stored(f.subTitle), stored(f.date),
                              stored(f.director), stored(f.summary),  stored(f.features),
                              stored(f.eggs),     f.wishList};
    for (int i = 0; i < values.size(); ++i)
        title.bindValue(i, values[i]);
    exec(title);
    return title.lastInsertId().toLongLong();
}

qint64 TitleWriter::genreId(const QString &name)
{
    if (m_form == Form::Text) {
        // The catalogue's own lookup: the names come as the catalogue spells them.
        if (m_missingGenre == MissingGenre::Fail)
            return firstValue(*m_connection, Statements::GenreId(name));
        RecordList found;
        found.Open(Statements::GenreId(name), *m_connection);
        if (found.RecordCount() > 0)
            return found.Value(0).toLongLong();
        m_connection->Execute(Statements::InsertGenre(name));
        return firstValue(*m_connection, Statements::LastInsertedId());
    }
    // By the letter rule, as the import's preview compared them: "ÉPOPÉE" is "Épopée".
    const QString key = Letters::Folded(name);
    const auto found = m_genreIds.constFind(key);
    if (found != m_genreIds.constEnd())
        return *found;
    if (m_missingGenre == MissingGenre::Fail)
        return firstValue(*m_connection, Statements::GenreId(name));
    QSqlQuery &insert = m_prepared->genre;
    insert.bindValue(0, stored(name));
    exec(insert);
    const qint64 id = insert.lastInsertId().toLongLong();
    m_genreIds.insert(key, id);
    return id;
}

void TitleWriter::link(qint64 titleId, qint64 genreId)
{
    if (m_form == Form::Text) {
        m_connection->Execute(Statements::InsertGenreLink(titleId, genreId));
        return;
    }
    QSqlQuery &link = m_prepared->genreLink;
    link.bindValue(0, titleId);
    link.bindValue(1, genreId);
    exec(link);
}

void TitleWriter::castMember(qint64 titleId, const CastMember &member)
{
    if (m_form == Form::Text) {
        m_connection->Execute(
            Statements::InsertCastMember(titleId, member.actor, member.character));
        return;
    }
    QSqlQuery &row = m_prepared->castMember;
    row.bindValue(0, titleId);
    row.bindValue(1, stored(member.actor));
    row.bindValue(2, stored(member.character));
    exec(row);
}
