#include "PackedRows.h"

#include <limits>

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
