#pragma once

#include "PackedRows.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Connection;

// A list of records with a current-record cursor: either a static snapshot of a query's
// rows (exact RecordCount, like a static cursor) or an in-memory list built from appended
// fields. Changes are announced so that a bound grid follows them.
class RecordList : public QObject
{
    Q_OBJECT

public:
    using Row = QVector<QVariant>;

    explicit RecordList(QObject *parent = nullptr);

    // Runs a SELECT on the connection and keeps all its rows; throws DbError.
    // "SELECT @@Identity" answers the ID inserted last on that connection.
    void Open(const QString &source, Connection &connection);

    // In-memory list: append the (text, nullable) fields first, then open it empty.
    void AppendField(const QString &name);
    void OpenInMemory();

    int State() const { return m_open ? 1 : 0; }
    void Close();

    bool Eof() const { return m_position >= RecordCount(); }
    void MoveFirst();
    void MoveNext();
    // Moves to a 0-based row; out-of-range rows give EOF.
    void Move(int row);

    int RecordCount() const { return m_packed ? m_packedRowCount : int(m_rows.size()); }
    // 1-based position of the current record, 0 when there is none.
    int AbsolutePosition() const;

    int FieldCount() const { return int(m_fields.size()); }
    QString FieldName(int index) const { return m_fields.value(index); }
    int FieldIndex(const QString &name) const; // case-insensitive, -1 when absent

    // Current record's values; an unknown field or no current record throws DbError.
    QVariant Value(int field) const;
    QVariant Value(const QString &field) const;
    void SetValue(int field, const QVariant &value);
    void SetValue(const QString &field, const QVariant &value);

    // Any row, for grids.
    QVariant ValueAt(int row, int field) const;
    void SetValueAt(int row, int field, const QVariant &value);

    // In-memory editing: AddNew appends an all-Null row and makes it current,
    // Update commits the field writes, Delete removes the current row.
    void AddNew();
    void Update();
    void Delete();

    // A row's text without a copy; empty for Null and for values that are not text.
    QStringView TextView(int row, int field) const;
    // Puts the rows in a new order (one reset for bound grids): row i becomes the old
    // row order[i]. The cursor goes to the first row.
    void ReorderRows(const QVector<int> &order);

    // Replaces every row at once (one reset for bound grids).
    void SetRows(QVector<Row> rows);
    const QVector<Row> &Rows() const;

    // A value is shown only when it is a non-empty text; Null is neither.
    static bool HasText(const QVariant &value);

Q_SIGNALS:
    // Each change is announced before and after, as item models need.
    void AboutToReset();
    void Reset();
    void AboutToInsertRow(int row);
    void RowInserted(int row);
    void AboutToRemoveRow(int row);
    void RowRemoved(int row);
    void ValueChanged(int row, int field);

private:
    int requireField(const QString &name) const;
    void requireCurrent() const;

    // A query's rows stay packed until something changes them.
    void unpack();
    void dropPacked();
    // No rows, the position at the start, open or closed; views are told of the reset.
    void empty(bool open);

    QStringList m_fields;
    QVector<Row> m_rows;
    PackedRows m_packedRows;
    int m_packedRowCount = 0;
    bool m_packed = false;
    int m_position = 0;
    bool m_open = false;
};
