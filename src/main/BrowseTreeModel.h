#pragma once

#include "BrowseCounts.h"

#include <QAbstractItemModel>
#include <array>

// The browse panel's tree: the four branches (Genres, Directors, Decades, Actors), each with
// its values and their number of titles ("Drama (1,204)"). It holds the counted values only;
// the view asks for the rows it draws, so a branch of a million names costs no items.
class BrowseTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    using Branch = BrowseCounts::Branch;
    static constexpr int BranchCount = 4;

    explicit BrowseTreeModel(QObject *parent = nullptr);

    // Replaces every branch's values (one reset).
    void SetValues(std::array<QVector<NameCount>, BranchCount> values);
    void Clear();

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
    std::array<QVector<NameCount>, BranchCount> m_values;
};
