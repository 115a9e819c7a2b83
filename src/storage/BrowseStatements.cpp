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

QString NoValueCount(Branch branch, int list)
{
    return QStringLiteral("SELECT count(*) FROM DVD_Title WHERE") + inList(list)
           + QStringLiteral(" AND NOT ") + hasValue(branch, list);
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
               + inList(list) + QStringLiteral(" AND ")
               + anyOf(QStringLiteral("trim(Cast_Relationships.Actor)"), spellings);
    }
    return {};
}

} // namespace BrowseStatements
