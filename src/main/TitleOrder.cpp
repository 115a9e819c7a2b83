#include "TitleOrder.h"

#include "Letters.h"

#include <QHash>

#include <algorithm>
#include <numeric>

QVector<int> TitleOrder::ByText(int count, const std::function<QStringView(int)> &text,
                                bool descending)
{
    // Values repeat (directors, genres, borrowers): each different text is ranked once by the
    // letter rule, then the rows are counted into place by rank, which keeps ties in order.
    QHash<QStringView, int> valueOf;
    QVector<QStringView> values;
    QVector<int> filled;
    QVector<int> valueOfFilled;
    QVector<int> empty;
    filled.reserve(count);
    valueOfFilled.reserve(count);
    for (int row = 0; row < count; ++row) {
        const QStringView value = text(row);
        if (value.trimmed().isEmpty()) {
            empty.append(row);
            continue;
        }
        auto found = valueOf.constFind(value);
        if (found == valueOf.constEnd()) {
            found = valueOf.insert(value, int(values.size()));
            values.append(value);
        }
        filled.append(row);
        valueOfFilled.append(*found);
    }
    const int distinct = int(values.size());
    QVector<int> rank(distinct);
    const QVector<int> sorted =
        Letters::SortedOrder(distinct, [&](int value) { return values[value]; });
    for (int place = 0; place < distinct; ++place)
        rank[sorted[place]] = descending ? distinct - 1 - place : place;
    QVector<int> next(distinct + 1, 0); // where each rank's rows start
    for (const int value : valueOfFilled)
        ++next[rank[value] + 1];
    std::partial_sum(next.begin(), next.end(), next.begin());
    QVector<int> rows(count);
    for (qsizetype i = 0; i < filled.size(); ++i)
        rows[next[rank[valueOfFilled[i]]]++] = filled[i];
    std::copy(empty.begin(), empty.end(), rows.begin() + filled.size());
    return rows;
}

QVector<int> TitleOrder::ByNumber(const QVector<qint64> &numbers, bool descending)
{
    QVector<int> rows(numbers.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const qint64 x = numbers[a];
        const qint64 y = numbers[b];
        if (x < 0 || y < 0)
            return y < 0 && x >= 0;
        return descending ? x > y : x < y;
    });
    return rows;
}

int TitleOrder::Year(QStringView date)
{
    const QStringView year = date.trimmed();
    if (year.isEmpty() || year.size() > 4)
        return -1;
    for (const QChar c : year)
        if (c < u'0' || c > u'9')
            return -1;
    return year.toInt();
}
