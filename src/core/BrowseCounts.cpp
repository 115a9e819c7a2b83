#include "BrowseCounts.h"

#include "Letters.h"
#include "RecordList.h"
#include "ReportStatements.h"

namespace BrowseCounts {

QVector<NameCount> Read(Connection &connection, Branch branch, int list)
{
    QVector<NameCount> values;
    switch (branch) {
    case Branch::Genres:
        values = NameCounts::Read(connection, ReportStatements::TitlesPerGenre(list, false));
        break;
    case Branch::Directors:
        values = NameCounts::Read(connection, ReportStatements::TitlesPerDirector(list, false));
        break;
    case Branch::Actors:
        values = NameCounts::Read(connection, ReportStatements::TitlesPerActor(list, false));
        break;
    case Branch::Decades:
        // Four-digit decades only: the years without one are the "(none)" row below.
        for (const NameCount &decade :
             NameCounts::Read(connection, ReportStatements::TitlesPerDecade(list, false)))
            if (!decade.name.isEmpty())
                values.append({decade.name + QLatin1Char('s'), decade.titles, {decade.name}});
        break;
    }
    const QVector<int> order = Letters::SortedOrder(
        int(values.size()), [&values](int index) { return QStringView(values[index].name); });
    QVector<NameCount> sorted;
    sorted.reserve(values.size() + 1);
    for (const int index : order)
        sorted.append(std::move(values[index]));

    RecordList none;
    none.Open(BrowseStatements::NoValueCount(branch, list), connection);
    if (const qint64 titles = none.ValueAt(0, 0).toLongLong(); titles > 0)
        sorted.append({QStringLiteral("(none)"), titles, {}});
    return sorted;
}

QVector<qint64> Titles(Connection &connection, Branch branch, int list, const NameCount &value)
{
    RecordList rows;
    rows.Open(BrowseStatements::Titles(branch, list, value.spellings), connection);
    QVector<qint64> ids(rows.RecordCount());
    for (int row = 0; row < ids.size(); ++row)
        ids[row] = rows.ValueAt(row, 0).toLongLong();
    return ids;
}

} // namespace BrowseCounts
