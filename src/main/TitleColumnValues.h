#pragma once

#include "ListColumnStatements.h"

#include <QSet>
#include <QString>
#include <QStringView>
#include <QVector>
#include <array>

class Connection;
class LoanMarks;
class RecordList;

// The values of the title list's extra columns, by record-list row, read only for the
// columns shown. Texts share one buffer (a title's genres are joined there once, in the
// letter rule's order), so 100,000 titles cost no string each.
class TitleColumnValues
{
public:
    // Reads the columns' values for the titles of `titles` (its ID in field 0) on the
    // list `list`; what was held before goes. Throws DbError.
    void Read(Connection &connection, int list, const RecordList &titles,
              const QSet<ListColumn> &columns, const LoanMarks &loans);
    void Clear();

    // The value as shown: empty for a column not read or a row out of range.
    QString Text(ListColumn column, int row) const;
    // A text column's value without a copy (CastCount has none: see CastCount).
    QStringView View(ListColumn column, int row) const;
    int CastCount(int row) const { return m_castCounts.value(row); }

private:
    struct Span
    {
        qint32 start = 0;
        qint32 length = 0;
    };
    using Spans = QVector<Span>;

    void put(Spans &spans, int row, QStringView text);

    QString m_text;
    std::array<Spans, 5> m_spans; // by ListColumn (CastCount's stays empty)
    QVector<int> m_castCounts;
};
