#pragma once

#include <QByteArrayView>
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
    // The same as Append of the text or the whole number, without a variant on the way.
    void AppendText(QByteArrayView utf8);
    void AppendInteger(qint64 value);
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
        quint32 start; // into m_text, m_others when length is kOther, m_integers at kInteger
        qint32 length;
    };
    static constexpr qint32 kOther = -1;
    static constexpr qint32 kInteger = -2;

    void appendOther(const QVariant &value);

    QVector<Cell> m_cells;
    QString m_text;
    QVector<QVariant> m_others;
    QVector<qint64> m_integers;
};
