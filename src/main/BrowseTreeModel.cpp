#include "BrowseTreeModel.h"

#include "Letters.h"

#include <QLocale>

namespace {

// internalId: 0 for a branch row, the branch + 1 for its value rows.
constexpr quintptr kBranchRow = 0;

} // namespace

BrowseTreeModel::BrowseTreeModel(QObject *parent) : QAbstractItemModel(parent) {}

void BrowseTreeModel::Set(BrowseCounts::AllBranches values)
{
    beginResetModel();
    m_values = std::move(values);
    endResetModel();
}

QString BrowseTreeModel::BranchName(Branch branch)
{
    switch (branch) {
    case Branch::Genres:
        return QStringLiteral("Genres");
    case Branch::Directors:
        return QStringLiteral("Directors");
    case Branch::Decades:
        return QStringLiteral("Decades");
    case Branch::Actors:
        return QStringLiteral("Actors");
    }
    return {};
}

QModelIndex BrowseTreeModel::BranchIndex(Branch branch) const
{
    return index(int(branch), 0);
}

BrowseTreeModel::Branch BrowseTreeModel::BranchOf(const QModelIndex &index)
{
    if (index.internalId() == kBranchRow)
        return Branch(index.row());
    return Branch(index.internalId() - 1);
}

const NameCount *BrowseTreeModel::ValueAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == kBranchRow)
        return nullptr;
    const QVector<NameCount> &values = m_values[index.internalId() - 1];
    return index.row() < values.size() ? &values[index.row()] : nullptr;
}

QModelIndex BrowseTreeModel::Find(Branch branch, const NameCount &value) const
{
    const QVector<NameCount> &values = m_values[int(branch)];
    for (int row = 0; row < values.size(); ++row) {
        const NameCount &each = values[row];
        if (each.spellings.isEmpty() == value.spellings.isEmpty()
            && (value.spellings.isEmpty() || Letters::Equal(each.name, value.name)))
            return index(row, 0, BranchIndex(branch));
    }
    return {};
}

QModelIndex BrowseTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < BranchCount ? createIndex(row, 0, kBranchRow) : QModelIndex();
    if (parent.internalId() != kBranchRow || row >= m_values[parent.row()].size())
        return {};
    return createIndex(row, 0, quintptr(parent.row() + 1));
}

QModelIndex BrowseTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == kBranchRow)
        return {};
    return createIndex(int(child.internalId() - 1), 0, kBranchRow);
}

int BrowseTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return BranchCount;
    if (parent.internalId() != kBranchRow)
        return 0;
    return int(m_values[parent.row()].size());
}

int BrowseTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant BrowseTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const NameCount *value = ValueAt(index);
    if (!value)
        return BranchName(BranchOf(index));
    const QLocale numbers(QLocale::English, QLocale::UnitedStates);
    return value->name + QStringLiteral(" (") + numbers.toString(value->titles) + QLatin1Char(')');
}
