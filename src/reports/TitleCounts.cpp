#include "TitleCounts.h"

#include "Connection.h"
#include "Letters.h"
#include "NameCounts.h"
#include "RecordList.h"
#include "ReportStatements.h"

#include <algorithm>

namespace {

QVector<TitleCounts::Count> rowsOf(Connection &connection, const QString &statement)
{
    RecordList list;
    list.Open(statement, connection);
    QVector<TitleCounts::Count> counts;
    counts.reserve(list.RecordCount());
    for (int row = 0; row < list.RecordCount(); ++row)
        counts.append({list.ValueAt(row, 0).toString(), list.ValueAt(row, 1).toLongLong()});
    return counts;
}

// Names equal by the letter rule are one (NameCounts), the largest count first.
QVector<TitleCounts::Count> joinSpellings(Connection &connection, const QString &statement)
{
    QVector<TitleCounts::Count> joined;
    for (const NameCount &count : NameCounts::Read(connection, statement))
        joined.append({count.name, count.titles});
    std::stable_sort(joined.begin(), joined.end(),
                     [](const TitleCounts::Count &a, const TitleCounts::Count &b) {
                         if (a.titles != b.titles)
                             return a.titles > b.titles;
                         return Letters::Compare(a.name, b.name) < 0;
                     });
    return joined;
}

} // namespace

TitleCounts TitleCounts::Read(const QString &connectionString, const ReportScope &scope)
{
    Connection connection;
    connection.Open(connectionString);
    if (scope.filtered)
        ReportStatements::MarkShownTitles(connection, scope.ids);
    const int list = scope.list;
    const bool shown = scope.filtered;

    TitleCounts counts;
    {
        RecordList total;
        total.Open(ReportStatements::TitleCount(list, shown), connection);
        counts.titles = total.ValueAt(0, 0).toLongLong();
    }
    counts.genres = joinSpellings(connection, ReportStatements::TitlesPerGenre(list, shown));
    for (const Count &decade : rowsOf(connection, ReportStatements::TitlesPerDecade(list, shown))) {
        if (decade.name.isEmpty())
            counts.noYear += decade.titles;
        else
            counts.decades.append({decade.name + QLatin1Char('s'), decade.titles});
    }
    counts.directors = joinSpellings(connection, ReportStatements::TitlesPerDirector(list, shown));
    counts.actors = joinSpellings(connection, ReportStatements::TitlesPerActor(list, shown));
    counts.lists = {{QStringLiteral("Inventory"), 0}, {QStringLiteral("Wishlist"), 0}};
    for (const Count &each : rowsOf(connection, ReportStatements::TitlesPerList()))
        counts.lists[each.name == QLatin1String("1") ? 1 : 0].titles = each.titles;
    return counts;
}

QVector<TitleCounts::Count> TitleCounts::Top(const QVector<Count> &counts, int count)
{
    return counts.mid(0, count);
}
