#include "FilteredRowsModel.h"

FilteredRowsModel::FilteredRowsModel(QObject *parent) : QAbstractProxyModel(parent) {}

void FilteredRowsModel::setSourceModel(QAbstractItemModel *source)
{
    beginResetModel();
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    m_rows.clear();
    m_shownAt.clear();
    if (source) {
        // A reloaded list shows nothing until rows are chosen again; the title list changes
        // only by being reloaded whole.
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this,
                &FilteredRowsModel::beginResetModel);
        connect(source, &QAbstractItemModel::modelReset, this, &FilteredRowsModel::sourceReset);
        connect(source, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
                        const int shown = m_shownAt.value(row, -1);
                        if (shown >= 0)
                            Q_EMIT dataChanged(index(shown, topLeft.column()),
                                               index(shown, bottomRight.column()));
                    }
                });
        connect(source, &QAbstractItemModel::headerDataChanged, this,
                &FilteredRowsModel::headerDataChanged);
        connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
                &FilteredRowsModel::beginResetModel);
        connect(source, &QAbstractItemModel::rowsInserted, this, &FilteredRowsModel::sourceReset);
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                &FilteredRowsModel::beginResetModel);
        connect(source, &QAbstractItemModel::rowsRemoved, this, &FilteredRowsModel::sourceReset);
    }
    endResetModel();
}

void FilteredRowsModel::sourceReset()
{
    m_rows.clear();
    m_shownAt.clear();
    endResetModel();
}

void FilteredRowsModel::ShowRows(const QVector<int> &rows)
{
    beginResetModel();
    const int sourceRows = sourceModel() ? sourceModel()->rowCount() : 0;
    m_rows.clear();
    m_rows.reserve(rows.size());
    m_shownAt.fill(-1, sourceRows);
    for (const int row : rows) {
        if (row >= 0 && row < sourceRows && m_shownAt[row] < 0) {
            m_shownAt[row] = int(m_rows.size());
            m_rows.append(row);
        }
    }
    endResetModel();
}

QModelIndex FilteredRowsModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel() || proxyIndex.row() >= m_rows.size())
        return {};
    return sourceModel()->index(m_rows[proxyIndex.row()], proxyIndex.column());
}

QModelIndex FilteredRowsModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int shown = m_shownAt.value(sourceIndex.row(), -1);
    return shown < 0 ? QModelIndex() : index(shown, sourceIndex.column());
}

QModelIndex FilteredRowsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= m_rows.size() || column < 0
        || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex FilteredRowsModel::parent(const QModelIndex &) const
{
    return {};
}

int FilteredRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FilteredRowsModel::columnCount(const QModelIndex &parent) const
{
    return (parent.isValid() || !sourceModel()) ? 0 : sourceModel()->columnCount();
}

QVariant FilteredRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!sourceModel())
        return {};
    if (orientation == Qt::Horizontal)
        return sourceModel()->headerData(section, orientation, role);
    return QAbstractProxyModel::headerData(section, orientation, role);
}
