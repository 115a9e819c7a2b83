#pragma once

#include "BrowseCounts.h"

#include <QAbstractItemModel>
#include <array>
#include <functional>

// The browse panel's tree: the four branches (Genres, Directors, Decades, Actors), each with
// its values and their number of titles ("Drama (1,204)"). A branch is counted when it is
// first opened (fetchMore), so a closed Actors branch (a million cast rows) costs nothing;
// it holds the counted values only and the view asks for the rows it draws.
class BrowseTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    using Branch = BrowseCounts::Branch;
    static constexpr int BranchCount = 4;
    // Reads one branch's values; it reports its own failures.
    using Counter = std::function<QVector<NameCount>(Branch)>;

    explicit BrowseTreeModel(QObject *parent = nullptr);

    void SetCounter(Counter counter) { m_counter = std::move(counter); }
    // Forgets every count (one reset): each branch is counted again when next needed.
    void Clear();
    // Counts the branch now unless it is counted.
    void EnsureCounted(Branch branch);
    bool IsCounted(Branch branch) const { return m_counted[int(branch)]; }

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
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    std::array<QVector<NameCount>, BranchCount> m_values;
    std::array<bool, BranchCount> m_counted{};
    Counter m_counter;
};
