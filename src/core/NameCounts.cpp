#include "NameCounts.h"

#include "Letters.h"
#include "RecordList.h"

#include <QHash>

QVector<NameCount> NameCounts::Read(Connection &connection, const QString &statement)
{
    RecordList list;
    list.Open(statement, connection);
    QVector<NameCount> joined;
    QVector<qint64> largest; // per joined name, the titles of its spelling shown
    QHash<QString, int> at;
    for (int row = 0; row < list.RecordCount(); ++row) {
        const QString name = list.ValueAt(row, 0).toString();
        const qint64 titles = list.ValueAt(row, 1).toLongLong();
        const QString key = Letters::Folded(name);
        const auto found = at.constFind(key);
        if (found == at.constEnd()) {
            at.insert(key, int(joined.size()));
            joined.append({name, titles, {name}});
            largest.append(titles);
            continue;
        }
        NameCount &count = joined[*found];
        count.titles += titles;
        count.spellings.append(name);
        if (titles > largest[*found]) {
            largest[*found] = titles;
            count.name = name;
        }
    }
    return joined;
}
