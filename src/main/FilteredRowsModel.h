#pragma once

#include <QAbstractProxyModel>
#include <QVector>

// Shows chosen rows of a flat source model, in the order given. Built for lists of
// 100,000 rows: a new choice is one reset, and mapping either way is a lookup.
class FilteredRowsModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit FilteredRowsModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;
    // Source rows to show; rows out of the source's range are left out.
    void ShowRows(const QVector<int> &rows);

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // Column captions come from the source even while no row is shown.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void sourceReset();

    QVector<int> m_rows;    // shown row -> source row
    QVector<int> m_shownAt; // source row -> shown row, -1 when hidden
};
