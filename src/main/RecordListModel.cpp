#include "RecordListModel.h"

namespace {
quint64 cellKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}
} // namespace

RecordListModel::RecordListModel(QObject *parent) : QAbstractTableModel(parent) {}

void RecordListModel::SetRecordList(std::shared_ptr<RecordList> list)
{
    beginResetModel();
    if (m_list)
        disconnect(m_list.get(), nullptr, this, nullptr);
    m_list = std::move(list);
    m_backgrounds.clear();
    if (m_list) {
        connect(m_list.get(), &RecordList::AboutToReset, this, &RecordListModel::listAboutToReset);
        connect(m_list.get(), &RecordList::Reset, this, &RecordListModel::listReset);
        connect(m_list.get(), &RecordList::AboutToInsertRow, this,
                &RecordListModel::rowAboutToBeInserted);
        connect(m_list.get(), &RecordList::RowInserted, this, &RecordListModel::rowInserted);
        connect(m_list.get(), &RecordList::AboutToRemoveRow, this,
                &RecordListModel::rowAboutToBeRemoved);
        connect(m_list.get(), &RecordList::RowRemoved, this, &RecordListModel::rowRemoved);
        connect(m_list.get(), &RecordList::ValueChanged, this, &RecordListModel::valueChanged);
    }
    m_rows = m_list ? m_list->RecordCount() : 0;
    m_columns = m_list ? m_list->FieldCount() : 0;
    endResetModel();
}

void RecordListModel::SetHeaderCaption(int column, const QString &caption)
{
    m_captions.insert(column, caption);
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void RecordListModel::SetCellBackground(int row, int column, const QColor &colour)
{
    m_backgrounds.insert(cellKey(row, column), colour);
    const QModelIndex cell = index(row, column);
    if (cell.isValid())
        Q_EMIT dataChanged(cell, cell, {Qt::BackgroundRole});
}

QColor RecordListModel::CellBackground(int row, int column) const
{
    return m_backgrounds.value(cellKey(row, column));
}

void RecordListModel::SetExtraColumns(const QStringList &captions, ExtraColumn text)
{
    beginResetModel();
    m_extraCaptions = text ? captions : QStringList();
    m_extraText = std::move(text);
    endResetModel();
}

void RecordListModel::SetEditable(bool editable)
{
    m_editable = editable;
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_columns == 0 ? 0 : m_columns + int(m_extraCaptions.size());
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!m_list || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (index.column() >= m_columns)
            return m_extraText(index.row(), index.column() - m_columns);
        const QVariant value = m_list->ValueAt(index.row(), index.column());
        return value.isNull() ? QVariant(QString()) : value;
    }
    case Qt::BackgroundRole: {
        const QColor colour = CellBackground(index.row(), index.column());
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::ForegroundRole:
    case Qt::ToolTipRole:
        return m_rowLook ? m_rowLook(index.row(), role) : QVariant();
    default:
        return {};
    }
}

bool RecordListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_list || !m_editable || role != Qt::EditRole || index.column() >= m_columns
        || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    if (m_beforeUpdate && !m_beforeUpdate(index.row(), index.column(), value))
        return false;
    m_list->SetValueAt(index.row(), index.column(), value);
    Q_EMIT CellUpdated(index.row(), index.column());
    return true;
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (m_captions.contains(section))
        return m_captions.value(section);
    if (section >= m_columns && section - m_columns < m_extraCaptions.size())
        return m_extraCaptions.at(section - m_columns);
    return m_list ? QVariant(m_list->FieldName(section)) : QVariant();
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid())
        result |= Qt::ItemIsEditable;
    return result;
}

void RecordListModel::listAboutToReset()
{
    beginResetModel();
}

void RecordListModel::listReset()
{
    m_backgrounds.clear();
    m_rows = m_list->RecordCount();
    m_columns = m_list->FieldCount();
    endResetModel();
}

void RecordListModel::rowAboutToBeInserted(int row)
{
    beginInsertRows({}, row, row);
}

void RecordListModel::rowInserted(int)
{
    ++m_rows;
    endInsertRows();
}

void RecordListModel::rowAboutToBeRemoved(int row)
{
    beginRemoveRows({}, row, row);
}

void RecordListModel::rowRemoved(int row)
{
    --m_rows;
    // Colours belong to cells; the ones below the removed row move up with their rows.
    QHash<quint64, QColor> moved;
    for (auto it = m_backgrounds.cbegin(); it != m_backgrounds.cend(); ++it) {
        const int r = int(it.key() >> 32);
        const int c = int(it.key() & 0xffffffffu);
        if (r != row)
            moved.insert(cellKey(r > row ? r - 1 : r, c), it.value());
    }
    m_backgrounds = std::move(moved);
    endRemoveRows();
}

void RecordListModel::valueChanged(int row, int field)
{
    const QModelIndex cell = index(row, field);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
}
