#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

// The values of a query's rows, one after another, kept small: texts share one UTF-16
// buffer instead of a variant and a string allocation each (a list of 100,000 titles
// took three times its text's size that way). Other values are kept as they came.
class PackedRows
{
public:
    void Append(const QVariant &value);
    QVariant At(qsizetype index) const;
    // A text cell's characters without a copy; empty for any other value.
    QStringView TextAt(qsizetype index) const;
    // Rows of `width` cells each put in a new order: row i becomes the old row order[i].
    void ReorderRows(const QVector<int> &order, int width);
    qsizetype Size() const { return m_cells.size(); }
    void Clear();

private:
    struct Cell
    {
        quint32 start; // into m_text, or into m_others when length is -1
        qint32 length;
    };

    QVector<Cell> m_cells;
    QString m_text;
    QVector<QVariant> m_others;
};
