#include "TitleColumnValues.h"

#include "Connection.h"
#include "Letters.h"
#include "LoanMarks.h"
#include "LockWait.h"
#include "RecordList.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>

void TitleColumnValues::Clear()
{
    m_text.clear();
    for (Spans &spans : m_spans)
        spans.clear();
    m_castCounts.clear();
}

void TitleColumnValues::put(Spans &spans, int row, QStringView text)
{
    spans[row] = {qint32(m_text.size()), qint32(text.size())};
    m_text.append(text);
}

void TitleColumnValues::Read(Connection &connection, int list, const RecordList &titles,
                             const QSet<ListColumn> &columns, const LoanMarks &loans)
{
    Clear();
    const int rows = titles.RecordCount();
    QHash<qint64, int> rowOf;
    rowOf.reserve(rows);
    for (int row = 0; row < rows; ++row)
        rowOf.insert(titles.ValueAt(row, 0).toLongLong(), row);

    for (const ListColumn column : columns) {
        if (column == ListColumn::OnLoan) {
            m_spans[int(column)].resize(rows);
            for (int row = 0; row < rows; ++row)
                put(m_spans[int(column)], row,
                    loans.BorrowerOf(titles.ValueAt(row, 0).toLongLong()));
            continue;
        }
        QSqlQuery query(connection.Database());
        query.setForwardOnly(true);
        LockWait::Exec(query, ListColumnStatements::Values(column, list));
        if (column == ListColumn::CastCount) {
            m_castCounts.fill(0, rows);
            while (query.next())
                if (const int row = rowOf.value(query.value(0).toLongLong(), -1); row >= 0)
                    m_castCounts[row] = query.value(1).toInt();
            continue;
        }
        Spans &spans = m_spans[int(column)];
        spans.resize(rows);
        if (column != ListColumn::Genres) {
            while (query.next())
                if (const int row = rowOf.value(query.value(0).toLongLong(), -1); row >= 0)
                    put(spans, row, query.value(1).toString());
            continue;
        }
        // A title's links come together; each name once, in the letter rule's order.
        QStringList names;
        int current = -1;
        const auto flush = [&] {
            if (current >= 0) {
                std::stable_sort(
                    names.begin(), names.end(),
                    [](const QString &a, const QString &b) { return Letters::Compare(a, b) < 0; });
                names.erase(std::unique(names.begin(), names.end()), names.end());
                put(spans, current, names.join(QStringLiteral(", ")));
            }
            names.clear();
        };
        while (query.next()) {
            const int row = rowOf.value(query.value(0).toLongLong(), -1);
            if (row != current)
                flush();
            current = row;
            names << query.value(1).toString();
        }
        flush();
    }
    m_text.squeeze();
}

QStringView TitleColumnValues::View(ListColumn column, int row) const
{
    const Spans &spans = m_spans[int(column)];
    if (row < 0 || row >= spans.size())
        return {};
    const Span span = spans[row];
    return QStringView(m_text).mid(span.start, span.length);
}

QString TitleColumnValues::Text(ListColumn column, int row) const
{
    if (column == ListColumn::CastCount)
        return row >= 0 && row < m_castCounts.size() ? QString::number(m_castCounts[row])
                                                     : QString();
    return View(column, row).toString();
}
