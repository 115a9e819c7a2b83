#include "Statements.h"

#include "Module1.h"
#include "TitleRecord.h"

namespace Statements {

namespace {

QString number(qint64 value)
{
    return QString::number(value);
}

} // namespace

QString Quote(const QString &text)
{
    return Module1::ReplaceText(QStringLiteral("'"), QStringLiteral("''"), text);
}

QString TitleList(int wishList)
{
    return QStringLiteral("SELECT Id, Title, Sub_title FROM DVD_Title WHERE WishList = ")
           + number(wishList) + QStringLiteral(" Order By Title");
}

namespace {

QString borrower(bool withLoans)
{
    return withLoans ? QStringLiteral(", (SELECT group_concat(Loan.Borrower, char(10)) FROM "
                                      "Loan WHERE Loan.Title_ID = DVD_Title.ID AND "
                                      "Loan.Returned_On IS NULL)")
                     : QString();
}

// The find box's columns; `rest` picks the titles.
QString searchable(const QString &rest, bool withLoans)
{
    return QStringLiteral(
               "SELECT ID, Title, Sub_Title, Director, "
               "(SELECT group_concat(ifnull(Cast_Relationships.Actor, '') || char(10) || "
               "ifnull(Cast_Relationships.Character, ''), char(10)) FROM Cast_Relationships "
               "WHERE Cast_Relationships.Movie = DVD_Title.ID)")
           + borrower(withLoans) + QStringLiteral(" FROM DVD_Title ") + rest;
}

} // namespace

QString SearchableTitles(bool withLoans)
{
    return searchable(QStringLiteral("ORDER BY ID"), withLoans);
}

QString SearchableFacts(bool withLoans)
{
    return QStringLiteral("SELECT ID, Title, Sub_Title, Director") + borrower(withLoans)
           + QStringLiteral(" FROM DVD_Title ORDER BY ID");
}

QString SearchableCast()
{
    // Through idx_cast_movie, whose entries for one title are in rowid order, as the
    // one-title read's group_concat takes them.
    return QStringLiteral("SELECT Movie, Actor, Character FROM Cast_Relationships WHERE "
                          "typeof(Movie) = 'integer' ORDER BY Movie, rowid");
}

QString SearchableTitle(qint64 titleId, bool withLoans)
{
    return searchable(QStringLiteral("WHERE ID = ") + QString::number(titleId), withLoans);
}

QString TitleCount()
{
    return QStringLiteral("SELECT count(*) FROM DVD_Title");
}

QString CreateListIndex()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS idx_dvd_title_list_covering ON DVD_Title "
                          "(WishList, Title, Sub_Title)");
}

QString DropOldListIndex()
{
    return QStringLiteral("DROP INDEX IF EXISTS idx_dvd_title_list");
}

QString ListPlan()
{
    return QStringLiteral("EXPLAIN QUERY PLAN ") + TitleList(0);
}

QString DetailFacts(qint64 titleId, int wishList)
{
    return QStringLiteral("SELECT Title, Date, Director, Summary, Features, Eggs FROM "
                          "DVD_Title WHERE ID = ")
           + number(titleId) + QStringLiteral(" AND WishList = ") + number(wishList);
}

QString DetailGenres(qint64 titleId, int wishList)
{
    return QStringLiteral("SELECT Genre.Genre, Genre_Relationships.Title_ID FROM Genre "
                          "INNER JOIN (DVD_Title ")
           + QStringLiteral("INNER JOIN Genre_Relationships ON ")
           + QStringLiteral("DVD_Title.ID = Genre_Relationships.Title_ID) ")
           + QStringLiteral("ON Genre.Genre_ID = Genre_Relationships.Genre_ID ")
           + QStringLiteral("Where((Genre_Relationships.Title_ID = ") + number(titleId)
           + QStringLiteral(") AND (DVD_Title.WishList = ") + number(wishList)
           + QStringLiteral("))");
}

QString DetailCast(qint64 titleId, int wishList)
{
    return QStringLiteral("SELECT Cast_Relationships.Actor, Cast_Relationships.Character ")
           + QStringLiteral("FROM DVD_Title INNER JOIN Cast_Relationships ON ")
           + QStringLiteral("(DVD_Title.ID = Cast_Relationships.Movie) AND ")
           + QStringLiteral("(DVD_Title.ID = Cast_Relationships.Movie) ")
           + QStringLiteral("WHERE ((DVD_Title.ID=") + number(titleId)
           + QStringLiteral(") AND (DVD_Title.WishList = ") + number(wishList)
           + QStringLiteral("))");
}

QString EditedTitle(qint64 titleId)
{
    return QStringLiteral("SELECT Title, Sub_Title, Date, Director, Summary, "
                          "Features, Eggs, WishList FROM DVD_Title WHERE ID = ")
           + number(titleId);
}

QString EditedTitleGenres(qint64 titleId)
{
    return QStringLiteral("SELECT Genre.Genre, Genre.Genre_ID FROM Genre INNER JOIN "
                          "Genre_Relationships ON ")
           + QStringLiteral("Genre.Genre_ID = Genre_Relationships.Genre_ID ")
           + QStringLiteral("WHERE (((Genre_Relationships.Title_ID)=") + number(titleId)
           + QStringLiteral("))");
}

QString EditedTitleCast(qint64 titleId)
{
    return QStringLiteral("SELECT Actor, Character FROM Cast_Relationships WHERE Movie = ")
           + number(titleId) + QStringLiteral(" ORDER BY Actor");
}

QString TitleName(qint64 titleId)
{
    return QStringLiteral("SELECT Title FROM DVD_Title WHERE ID = ") + number(titleId);
}

QString InsertTitle(const TitleFacts &facts)
{
    return QStringLiteral("INSERT INTO DVD_Title(Title, Sub_Title, [Date], Director, "
                          "Summary, Features, Eggs, WishList) ")
           + QStringLiteral("VALUES ('") + Quote(facts.title) + QStringLiteral("' , '")
           + Quote(facts.subTitle) + QStringLiteral("', '") + Quote(facts.date)
           + QStringLiteral("', '") + Quote(facts.director) + QStringLiteral("', '")
           + Quote(facts.summary) + QStringLiteral("', '") + Quote(facts.features)
           + QStringLiteral("', '") + Quote(facts.eggs) + QStringLiteral("', ")
           + number(facts.wishList) + QStringLiteral(")");
}

QString UpdateTitle(const TitleFacts &facts, qint64 titleId)
{
    return QStringLiteral("UPDATE DVD_Title SET Title = '") + Quote(facts.title)
           + QStringLiteral("', Sub_Title = '") + Quote(facts.subTitle) + QStringLiteral("', ")
           + QStringLiteral("[Date] = '") + Quote(facts.date) + QStringLiteral("', Director = '")
           + Quote(facts.director) + QStringLiteral("', ") + QStringLiteral("Summary = '")
           + Quote(facts.summary) + QStringLiteral("', Features = '") + Quote(facts.features)
           + QStringLiteral("', ") + QStringLiteral("Eggs = '") + Quote(facts.eggs)
           + QStringLiteral("', WishList = ") + number(facts.wishList)
           + QStringLiteral(" WHERE ID = ") + number(titleId);
}

QString LastInsertedId()
{
    return QStringLiteral("SELECT @@Identity");
}

// Rows the connection's last statement changed: 0 after an UPDATE that found no row.
QString ChangedRows()
{
    return QStringLiteral("SELECT changes()");
}

QString GenreId(const QString &genre)
{
    return QStringLiteral("SELECT Genre_ID FROM Genre WHERE Genre = '") + Quote(genre)
           + QStringLiteral("'");
}

QString InsertGenreLink(qint64 titleId, qint64 genreId)
{
    return QStringLiteral("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) ")
           + QStringLiteral("VALUES ('") + number(titleId) + QStringLiteral("' , '")
           + number(genreId) + QStringLiteral("')");
}

QString InsertKeptGenreLink(qint64 titleId, qint64 genreId)
{
    return QStringLiteral("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) SELECT ")
           + number(titleId) + QStringLiteral(", Genre_ID FROM Genre WHERE Genre_ID = ")
           + number(genreId)
           + QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM Genre_Relationships WHERE "
                            "Title_ID = ")
           + number(titleId) + QStringLiteral(" AND Genre_ID = ") + number(genreId)
           + QStringLiteral(")");
}

QString InsertCastMember(qint64 titleId, const QString &actor, const QString &character)
{
    return QStringLiteral("INSERT INTO Cast_Relationships (Movie, Actor, Character) ")
           + QStringLiteral("VALUES ('") + number(titleId) + QStringLiteral("', '") + Quote(actor)
           + QStringLiteral("', '") + Quote(character) + QStringLiteral("')");
}

QString DeleteGenreLinksOfTitle(qint64 titleId)
{
    return QStringLiteral("Delete FROM Genre_Relationships Where Title_Id = ") + number(titleId);
}

QString DeleteCastOfTitle(qint64 titleId)
{
    return QStringLiteral("Delete FROM Cast_Relationships Where Movie = ") + number(titleId);
}

QString DeleteTitle(qint64 titleId)
{
    return QStringLiteral("Delete FROM DVD_Title Where Id = ") + number(titleId);
}

QString GenreNames()
{
    return QStringLiteral("SELECT Genre FROM Genre");
}

QString GenreList()
{
    return QStringLiteral("SELECT Genre FROM Genre ORDER BY Genre");
}

QString UnpickedGenres(const std::array<QString, 4> &picks)
{
    // An empty pick gives the harmless condition Genre <> ''.
    return QStringLiteral("SELECT Genre As ListFieldName FROM Genre WHERE (  ( Genre <> '")
           + Quote(picks[0]) + QStringLiteral("' AND Genre <> '") + Quote(picks[1])
           + QStringLiteral("' AND Genre <> '") + Quote(picks[2])
           + QStringLiteral("' AND Genre <> '") + Quote(picks[3])
           + QStringLiteral("') ) ORDER BY Genre");
}

QString InsertGenre(const QString &genre)
{
    return QStringLiteral("INSERT INTO Genre (Genre) ") + QStringLiteral("VALUES('") + Quote(genre)
           + QStringLiteral("'") + QStringLiteral(")");
}

QString RenameGenre(const QString &genre, const QString &newName)
{
    return QStringLiteral("UPDATE Genre ") + QStringLiteral("SET Genre = '") + Quote(newName)
           + QStringLiteral("' WHERE Genre = '") + Quote(genre) + QStringLiteral("'");
}

QString DeleteLinksOfGenre(const QString &genre)
{
    return QStringLiteral("DELETE FROM Genre_Relationships WHERE Genre_Relationships.Genre_ID ")
           + QStringLiteral("IN (SELECT genre_id FROM genre WHERE Genre.Genre='") + Quote(genre)
           + QStringLiteral("'); ");
}

QString DeleteGenre(const QString &genre)
{
    return QStringLiteral("DELETE FROM Genre ") + QStringLiteral("WHERE Genre = '") + Quote(genre)
           + QStringLiteral("'");
}

QString CountTitlesOnGenre(const QString &genre)
{
    return QStringLiteral(
               "SELECT Count(DVD_Title.Title) AS CountOfTitle FROM Genre INNER JOIN (DVD_Title "
               "INNER JOIN Genre_Relationships ON DVD_Title.ID = Genre_Relationships.Title_ID) "
               "ON Genre.Genre_ID = Genre_Relationships.Genre_ID GROUP BY Genre.Genre HAVING "
               "(((Genre.Genre)='")
           + Quote(genre) + QStringLiteral("'));");
}

QString TitlesOnGenre(const QString &genre)
{
    return QStringLiteral(
               "SELECT DVD_Title.Title, DVD_Title.Sub_Title, DVD_Title.Date, DVD_Title.Director "
               "FROM Genre INNER JOIN (DVD_Title INNER JOIN Genre_Relationships ON DVD_Title.ID = "
               "Genre_Relationships.Title_ID) ON Genre.Genre_ID = Genre_Relationships.Genre_ID "
               "Where (((Genre.Genre) = '")
           + Quote(genre) + QStringLiteral("')) ORDER BY DVD_Title.Title;");
}

QString CountMatches(const QString &table, const QString &field, const QString &value)
{
    return QStringLiteral("SELECT Count(") + field + QStringLiteral(") FROM ") + table
           + QStringLiteral(" WHERE ") + field + QStringLiteral(" = '") + Quote(value)
           + QStringLiteral("'");
}

QString StoredValues(const QString &table, const QString &field)
{
    return QStringLiteral("SELECT ") + field + QStringLiteral(" FROM ") + table
           + QStringLiteral(" WHERE ") + field + QStringLiteral(" IS NOT NULL");
}

QString SimilarTitles(const QString &table, const QString &field, const QString &value,
                      const QStringList &otherSpellings)
{
    QString others;
    for (const QString &spelling : otherSpellings)
        others += QStringLiteral(" OR ") + field + QStringLiteral(" = '") + Quote(spelling)
                  + QStringLiteral("'");
    return QStringLiteral("SELECT Title, Sub_Title, Date, Director FROM ") + table
           + QStringLiteral(" WHERE ") + field + QStringLiteral(" = '") + Quote(value)
           + QStringLiteral("'") + others + QStringLiteral(" ORDER BY ") + field
           + QStringLiteral(";");
}

} // namespace Statements
