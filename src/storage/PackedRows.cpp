#include "PackedRows.h"

#include <algorithm>
#include <limits>
#include <vector>

void PackedRows::Append(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString && !value.isNull()) {
        const QString text = value.toString();
        if (text.size() <= std::numeric_limits<qint32>::max()
            && m_text.size() + text.size() <= std::numeric_limits<quint32>::max()) {
            m_cells.append({quint32(m_text.size()), qint32(text.size())});
            m_text.append(text);
            return;
        }
    }
    m_cells.append({quint32(m_others.size()), -1});
    m_others.append(value);
}

QVariant PackedRows::At(qsizetype index) const
{
    const Cell cell = m_cells.at(index);
    if (cell.length < 0)
        return m_others.at(cell.start);
    // An empty text stays an empty text, not a Null one.
    if (cell.length == 0)
        return QVariant(QStringLiteral(""));
    return QVariant(QString(m_text.constData() + cell.start, cell.length));
}

void PackedRows::Clear()
{
    m_cells = {};
    m_text = {};
    m_others = {};
}

QStringView PackedRows::TextAt(qsizetype index) const
{
    const Cell cell = m_cells.at(index);
    if (cell.length < 0) {
        const QVariant &other = m_others.at(cell.start);
        if (other.metaType().id() == QMetaType::QString)
            return *static_cast<const QString *>(other.constData());
        return {};
    }
    return QStringView(m_text.constData() + cell.start, cell.length);
}

void PackedRows::ReorderRows(const QVector<int> &order, int width)
{
    // Only the cells move, in place along the permutation's cycles: a second copy of a
    // long list's cells would add to the peak memory for nothing.
    const qsizetype rows = order.size();
    std::vector<bool> placed(static_cast<std::size_t>(rows), false);
    std::vector<Cell> held(static_cast<std::size_t>(width));
    for (qsizetype start = 0; start < rows; ++start) {
        if (placed[std::size_t(start)] || order[start] == start)
            continue;
        std::copy_n(m_cells.constBegin() + start * width, width, held.begin());
        qsizetype to = start;
        while (true) {
            placed[std::size_t(to)] = true;
            const qsizetype from = order[to];
            if (from == start) {
                std::copy(held.begin(), held.end(), m_cells.begin() + to * width);
                break;
            }
            std::copy_n(m_cells.constBegin() + from * width, width, m_cells.begin() + to * width);
            to = from;
        }
    }
}
