#include "ReportStatements.h"

#include "Connection.h"
#include "DbError.h"

#include <QSqlQuery>
#include <QVariant>

namespace ReportStatements {

namespace {

// The condition on DVD_Title that selects the titles counted.
QString scope(int list, bool shownOnly)
{
    QString where = list == AllLists
                        ? QStringLiteral(" WHERE DVD_Title.WishList IN (0, 1)")
                        : QStringLiteral(" WHERE DVD_Title.WishList = ") + QString::number(list);
    if (shownOnly)
        where += QStringLiteral(" AND DVD_Title.ID IN (SELECT ID FROM temp.ReportTitles)");
    return where;
}

} // namespace

void MarkShownTitles(Connection &connection, const QVector<qint64> &ids)
{
    connection.Execute(
        QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ReportTitles (ID INTEGER PRIMARY KEY)"));
    connection.Execute(QStringLiteral("DELETE FROM temp.ReportTitles"));
    QSqlQuery insert(connection.Database());
    if (!insert.prepare(QStringLiteral("INSERT OR IGNORE INTO temp.ReportTitles (ID) VALUES (?)")))
        throw DbError::FromSql(insert.lastError());
    connection.BeginTrans();
    for (const qint64 id : ids) {
        insert.bindValue(0, id);
        if (!insert.exec()) {
            const DbError error = DbError::FromSql(insert.lastError());
            connection.RollbackTrans();
            throw error;
        }
    }
    insert.finish();
    connection.CommitTrans();
}

QString TitlesPerGenre(int list, bool shownOnly)
{
    return QStringLiteral("SELECT Genre.Genre, count(DISTINCT Genre_Relationships.Title_ID) AS "
                          "Titles FROM Genre_Relationships INNER JOIN Genre ON Genre.Genre_ID = "
                          "Genre_Relationships.Genre_ID INNER JOIN DVD_Title ON DVD_Title.ID = "
                          "Genre_Relationships.Title_ID")
           + scope(list, shownOnly)
           + QStringLiteral(" GROUP BY Genre.Genre_ID ORDER BY Titles DESC, Genre.Genre");
}

QString DecadeOfDate()
{
    return QStringLiteral("CASE WHEN trim(DVD_Title.Date) GLOB '[1-9][0-9][0-9][0-9]' THEN "
                          "substr(trim(DVD_Title.Date), 1, 3) || '0' END");
}

QString TitlesPerDecade(int list, bool shownOnly)
{
    return QStringLiteral("SELECT ") + DecadeOfDate()
           + QStringLiteral(" AS Decade, count(*) FROM DVD_Title") + scope(list, shownOnly)
           + QStringLiteral(" GROUP BY Decade ORDER BY Decade");
}

QString DirectorNames(int list, bool shownOnly)
{
    // Each text cut at its separators, name by name, in the engine.
    return QStringLiteral(
               "WITH RECURSIVE Names(ID, Name, Rest) AS (SELECT DVD_Title.ID, '', "
               "replace(replace(replace(DVD_Title.Director, ';', ','), '&', ','), '/', ',') || "
               "',' FROM DVD_Title")
           + scope(list, shownOnly)
           + QStringLiteral(
               " AND DVD_Title.Director IS NOT NULL UNION ALL SELECT ID, trim(substr(Rest, 1, "
               "instr(Rest, ',') - 1)), substr(Rest, instr(Rest, ',') + 1) FROM Names WHERE "
               "Rest <> '') ");
}

QString TitlesPerDirector(int list, bool shownOnly)
{
    return DirectorNames(list, shownOnly)
           + QStringLiteral("SELECT min(Name) AS Director, count(DISTINCT ID) AS "
                            "Titles FROM Names WHERE Name <> '' GROUP BY Name COLLATE NOCASE "
                            "ORDER BY Titles DESC, Director");
}

QString TitlesPerActor(int list, bool shownOnly)
{
    // min(): of the spellings the catalogue calls equal, the one with capitals first.
    return QStringLiteral("SELECT min(trim(Cast_Relationships.Actor)) AS Name, "
                          "count(DISTINCT Cast_Relationships.Movie) AS Titles FROM "
                          "Cast_Relationships INNER JOIN DVD_Title ON DVD_Title.ID = "
                          "Cast_Relationships.Movie")
           + scope(list, shownOnly)
           + QStringLiteral(" AND trim(Cast_Relationships.Actor) <> '' GROUP BY "
                            "trim(Cast_Relationships.Actor) COLLATE NOCASE ORDER BY "
                            "Titles DESC, Name");
}

QString TitlesPerList()
{
    return QStringLiteral("SELECT WishList, count(*) FROM DVD_Title WHERE WishList IN (0, 1) "
                          "GROUP BY WishList ORDER BY WishList");
}

QString TitleCount(int list, bool shownOnly)
{
    return QStringLiteral("SELECT count(*) FROM DVD_Title") + scope(list, shownOnly);
}

QString ListedTitles(int list)
{
    return QStringLiteral("SELECT ID, Title, Sub_Title, Date, Director, (SELECT "
                          "group_concat(Genre.Genre, ', ') FROM Genre_Relationships INNER JOIN "
                          "Genre ON Genre.Genre_ID = Genre_Relationships.Genre_ID WHERE "
                          "Genre_Relationships.Title_ID = DVD_Title.ID) FROM DVD_Title")
           + scope(list, false);
}

} // namespace ReportStatements
