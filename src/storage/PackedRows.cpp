#include "PackedRows.h"

#include <QStringDecoder>

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
    appendOther(value);
}

void PackedRows::appendOther(const QVariant &value)
{
    m_cells.append({quint32(m_others.size()), kOther});
    m_others.append(value);
}

void PackedRows::AppendText(QByteArrayView utf8)
{
    // UTF-16 never needs more units than UTF-8 has bytes: decoded straight into the
    // buffer, which then gives back what it did not use.
    const qsizetype start = m_text.size();
    if (utf8.size() > std::numeric_limits<qint32>::max()
        || start + utf8.size() > std::numeric_limits<quint32>::max()) {
        appendOther(QVariant(QString::fromUtf8(utf8)));
        return;
    }
    m_text.resize(start + utf8.size());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar *end = decoder.appendToBuffer(m_text.data() + start, utf8);
    const qsizetype length = end - (m_text.constData() + start);
    m_text.resize(start + length);
    m_cells.append({quint32(start), qint32(length)});
}

void PackedRows::AppendInteger(qint64 value)
{
    m_cells.append({quint32(m_integers.size()), kInteger});
    m_integers.append(value);
}

QVariant PackedRows::At(qsizetype index) const
{
    const Cell cell = m_cells.at(index);
    if (cell.length == kInteger)
        return QVariant(qlonglong(m_integers.at(cell.start)));
    if (cell.length == kOther)
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
    m_integers = {};
}

QStringView PackedRows::TextAt(qsizetype index) const
{
    const Cell cell = m_cells.at(index);
    if (cell.length == kInteger)
        return {};
    if (cell.length == kOther) {
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
