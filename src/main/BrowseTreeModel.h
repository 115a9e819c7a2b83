#pragma once

#include "BrowseCounts.h"

#include <QAbstractItemModel>
// The browse panel's tree: the four branches (Genres, Directors, Decades, Actors), each with
// its values and their number of titles ("Drama (1,204)"). It holds the counted values
// only; the view asks for the rows it draws.
class BrowseTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    using Branch = BrowseCounts::Branch;
    static constexpr int BranchCount = BrowseCounts::BranchCount;

    explicit BrowseTreeModel(QObject *parent = nullptr);

    // Every branch's values at once (one reset, which closes the branches).
    void Set(BrowseCounts::AllBranches values);

    static QString BranchName(Branch branch);
    QModelIndex BranchIndex(Branch branch) const;
    // The branch an index is in (a branch row is in itself), and the value a value row shows
    // (nullptr on a branch row).
    static Branch BranchOf(const QModelIndex &index);
    const NameCount *ValueAt(const QModelIndex &index) const;
    // The row of the value equal to `value` by the letter rule ("(none)" to "(none)").
    QModelIndex Find(Branch branch, const NameCount &value) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    BrowseCounts::AllBranches m_values;
};
