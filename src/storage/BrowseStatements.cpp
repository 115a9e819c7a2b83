#include "BrowseStatements.h"

#include "ReportStatements.h"
#include "Statements.h"

namespace BrowseStatements {

namespace {

QString inList(int list)
{
    return QStringLiteral(" DVD_Title.WishList = ") + QString::number(list);
}

// (expression = 'a' COLLATE NOCASE OR ...)
QString anyOf(const QString &expression, const QStringList &spellings)
{
    QStringList tests;
    for (const QString &spelling : spellings)
        tests << expression + QStringLiteral(" = '") + Statements::Quote(spelling)
                     + QStringLiteral("' COLLATE NOCASE");
    return QLatin1Char('(') + tests.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

// 'a', 'b', ... as stored (compared the column's way).
QString quoted(const QStringList &spellings)
{
    QStringList texts;
    for (const QString &spelling : spellings)
        texts << QLatin1Char('\'') + Statements::Quote(spelling) + QLatin1Char('\'');
    return texts.join(QStringLiteral(", "));
}

// The condition on DVD_Title that a title has a value in the branch.
QString hasValue(Branch branch, int list)
{
    switch (branch) {
    case Branch::Genres:
        return QStringLiteral("EXISTS (SELECT 1 FROM Genre_Relationships INNER JOIN Genre ON "
                              "Genre.Genre_ID = Genre_Relationships.Genre_ID WHERE "
                              "Genre_Relationships.Title_ID = DVD_Title.ID)");
    case Branch::Directors:
        return QStringLiteral("DVD_Title.ID IN (") + ReportStatements::DirectorNames(list, false)
               + QStringLiteral("SELECT ID FROM Names WHERE Name <> '')");
    case Branch::Decades:
        return ReportStatements::DecadeOfDate() + QStringLiteral(" IS NOT NULL");
    case Branch::Actors:
        return QStringLiteral("EXISTS (SELECT 1 FROM Cast_Relationships WHERE "
                              "Cast_Relationships.Movie = DVD_Title.ID AND "
                              "trim(Cast_Relationships.Actor) <> '')");
    }
    return {};
}

} // namespace

QString ListTitles(int list)
{
    return QStringLiteral("SELECT ID FROM DVD_Title WHERE") + inList(list);
}

QString GenreTitles(const QString &titles)
{
    return QStringLiteral("SELECT Genre_ID, ") + titles
           + QStringLiteral("(Title_ID) FROM Genre_Relationships GROUP BY Genre_ID");
}

QString ActorTitles(const QString &titles)
{
    // NOCASE named here as in the index: a catalogue from another tool may declare the
    // column without it. The spelling of a group's last row: min() would double the time.
    return QStringLiteral("SELECT Actor, ") + titles
           + QStringLiteral("(Movie) FROM Cast_Relationships GROUP BY Actor COLLATE NOCASE");
}

QString ActorRuns(const QString &runs)
{
    // The only index holding both columns: a scan of it gives them in its order.
    return QStringLiteral("SELECT ") + runs
           + QStringLiteral("(Actor, Movie) FROM Cast_Relationships");
}

QString GenreNames()
{
    return QStringLiteral("SELECT Genre_ID, Genre FROM Genre");
}

QString DirectorTitles(int list)
{
    return QStringLiteral("SELECT Director, count(*) FROM DVD_Title WHERE") + inList(list)
           + QStringLiteral(" GROUP BY Director COLLATE NOCASE");
}

QString DirectorRuns(const QString &runs, int list)
{
    return QStringLiteral("SELECT ") + runs + QStringLiteral("(Director, ID) FROM DVD_Title WHERE")
           + inList(list);
}

QString DateTitles(int list)
{
    return QStringLiteral("SELECT Date, count(*) FROM DVD_Title WHERE") + inList(list)
           + QStringLiteral(" GROUP BY Date COLLATE NOCASE");
}

QStringList CreateIndexes()
{
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS idx_dvd_title_director ON DVD_Title "
                           "(WishList, Director)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS idx_dvd_title_date ON DVD_Title "
                           "(WishList, Date)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS idx_genre_rel_genre_title ON "
                           "Genre_Relationships (Genre_ID, Title_ID)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS idx_cast_actor ON Cast_Relationships "
                           "(Actor COLLATE NOCASE, Movie)")};
}

QString DropOldGenreIndex()
{
    return QStringLiteral("DROP INDEX IF EXISTS idx_genre_rel_genre");
}

QStringList Plans()
{
    QStringList plans;
    // count() stands for the aggregate, which only a counting connection knows.
    const QString count = QStringLiteral("count");
    for (const QString &statement :
         {GenreTitles(count), ActorTitles(count), ActorRuns(QStringLiteral("max")),
          DirectorTitles(0), DateTitles(0), DirectorRuns(QStringLiteral("max"), 0)})
        plans << QStringLiteral("EXPLAIN QUERY PLAN ") + statement;
    return plans;
}

QString Titles(Branch branch, int list, const QStringList &spellings)
{
    if (spellings.isEmpty())
        return QStringLiteral("SELECT DVD_Title.ID FROM DVD_Title WHERE") + inList(list)
               + QStringLiteral(" AND NOT ") + hasValue(branch, list);
    switch (branch) {
    case Branch::Genres:
        return QStringLiteral("SELECT DISTINCT DVD_Title.ID FROM Genre_Relationships INNER JOIN "
                              "Genre ON Genre.Genre_ID = Genre_Relationships.Genre_ID INNER JOIN "
                              "DVD_Title ON DVD_Title.ID = Genre_Relationships.Title_ID WHERE")
               + inList(list) + QStringLiteral(" AND ")
               + anyOf(QStringLiteral("Genre.Genre"), spellings);
    case Branch::Directors:
        return ReportStatements::DirectorNames(list, false)
               + QStringLiteral("SELECT DISTINCT ID FROM Names WHERE ")
               + anyOf(QStringLiteral("Name"), spellings);
    case Branch::Decades:
        return QStringLiteral("SELECT DVD_Title.ID FROM DVD_Title WHERE") + inList(list)
               + QStringLiteral(" AND ") + anyOf(ReportStatements::DecadeOfDate(), spellings);
    case Branch::Actors:
        return QStringLiteral("SELECT DISTINCT DVD_Title.ID FROM Cast_Relationships INNER JOIN "
                              "DVD_Title ON DVD_Title.ID = Cast_Relationships.Movie WHERE")
               + inList(list) + QStringLiteral(" AND Cast_Relationships.Actor COLLATE NOCASE IN (")
               + quoted(spellings) + QLatin1Char(')');
    }
    return {};
}

QString LinkedTitles(Branch branch, const QStringList &spellings)
{
    if (branch == Branch::Genres)
        return QStringLiteral("SELECT DISTINCT Genre_Relationships.Title_ID FROM "
                              "Genre_Relationships INNER JOIN Genre ON Genre.Genre_ID = "
                              "Genre_Relationships.Genre_ID WHERE ")
               + anyOf(QStringLiteral("Genre.Genre"), spellings);
    return QStringLiteral("SELECT DISTINCT Movie FROM Cast_Relationships WHERE Actor COLLATE "
                          "NOCASE IN (")
           + quoted(spellings) + QLatin1Char(')');
}

} // namespace BrowseStatements
