#include "TitleTransfer.h"

#include "Connection.h"
#include "LoanStatements.h"
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

        // Each title's open loan (the newest, where another tool left two); none without the
        // Loan table.
        QHash<qint64, std::array<QString, 3>> loans;
        QSqlQuery hasLoans = run(db, LoanStatements::TableCount());
        if (hasLoans.next() && hasLoans.value(0).toInt() > 0) {
            QSqlQuery open = run(db, QStringLiteral("SELECT Title_ID, Borrower, Lent_On, Due_On "
                                                    "FROM Loan WHERE Returned_On IS NULL "
                                                    "ORDER BY Loan_ID"));
            while (open.next())
                loans[open.value(0).toLongLong()] = {
                    open.value(1).toString(), open.value(2).toString(), open.value(3).toString()};
        }

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
            const std::array<QString, 3> loan = loans.take(id);
            const TitleRecord title{
                id,
                {titles.value(1).toString(), titles.value(2).toString(), titles.value(3).toString(),
                 titles.value(4).toString(), titles.value(5).toString(), titles.value(6).toString(),
                 titles.value(7).toString(), titles.value(8).toInt() != 0 ? 1 : 0},
                genres.take(id),
                {}, // genre IDs are this catalogue's own and do not travel
                cast.take(id),
                loan[0],
                loan[1],
                loan[2]};
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

} // namespace TitleTransfer
