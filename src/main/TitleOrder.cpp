#include "TitleOrder.h"

#include "Letters.h"

#include <algorithm>
#include <numeric>

QVector<int> TitleOrder::ByText(int count, const std::function<QStringView(int)> &text,
                                bool descending)
{
    QVector<int> filled;
    QVector<int> empty;
    filled.reserve(count);
    for (int row = 0; row < count; ++row)
        (text(row).trimmed().isEmpty() ? empty : filled).append(row);
    QVector<int> rows;
    rows.reserve(count);
    for (const int index :
         Letters::SortedOrder(int(filled.size()), [&](int i) { return text(filled[i]); }))
        rows.append(filled[index]);
    if (descending) {
        // The runs of equal texts in reverse, each run in its own order.
        QVector<int> reversed;
        reversed.reserve(count);
        for (qsizetype end = rows.size(); end > 0;) {
            qsizetype start = end - 1;
            while (start > 0 && text(rows[start - 1]) == text(rows[end - 1]))
                --start;
            reversed.append(rows.mid(start, end - start));
            end = start;
        }
        rows = std::move(reversed);
    }
    rows.append(empty);
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
