#include "LoanTableModel.h"

#include "Letters.h"
#include "WindowLook.h"

#include <algorithm>
#include <numeric>

LoanTableModel::LoanTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void LoanTableModel::SetLoans(QVector<Loan> loans, const QDate &today)
{
    beginResetModel();
    m_loans = std::move(loans);
    m_overdue.resize(m_loans.size());
    for (int index = 0; index < m_loans.size(); ++index)
        m_overdue[index] = m_loans[index].DaysOverdue(today);
    m_order.resize(m_loans.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
}

int LoanTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int LoanTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString LoanTableModel::shownDate(const QString &stored) const
{
    const QDate date = Loan::DateOf(stored);
    return date.isValid() ? m_locale.toString(date, QLocale::ShortFormat) : stored;
}

QString LoanTableModel::text(const Loan &loan, int loanIndex, int column) const
{
    switch (column) {
    case Title:
        // A loan whose title is gone (another tool's row) is shown as it is.
        return loan.Title.isNull() ? QStringLiteral("(title %1 missing)").arg(loan.TitleId)
                                   : loan.Title.toString();
    case Borrower:
        return loan.Borrower;
    case LentOn:
        return shownDate(loan.LentOn);
    case DueOn:
        return shownDate(loan.DueOn);
    case DaysOverdue:
        return m_overdue[loanIndex] > 0 ? QString::number(m_overdue[loanIndex]) : QString();
    case ReturnedOn:
        return shownDate(loan.ReturnedOn);
    }
    return {};
}

QVariant LoanTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_order.size())
        return {};
    const int loanIndex = m_order[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return text(m_loans[loanIndex], loanIndex, index.column());
    case Qt::ForegroundRole:
        return m_overdue[loanIndex] > 0 ? QVariant(WindowLook::ErrorColour()) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == DaysOverdue ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                             : QVariant();
    default:
        return {};
    }
}

QVariant LoanTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList captions{
        QStringLiteral("Title"),    QStringLiteral("Borrower"),     QStringLiteral("Lent On"),
        QStringLiteral("Due Back"), QStringLiteral("Days Overdue"), QStringLiteral("Returned On")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return captions[section];
}

void LoanTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    // Keys by loan: texts by the letter rule's bare form, dates as ISO text with odd stored
    // text after every date, the days as numbers.
    QVector<QString> keys;
    if (column != DaysOverdue) {
        keys.resize(m_loans.size());
        for (int index = 0; index < m_loans.size(); ++index) {
            const Loan &loan = m_loans[index];
            if (column == Title || column == Borrower) {
                keys[index] = Letters::Bare(text(loan, index, column));
                continue;
            }
            const QString &stored = column == LentOn  ? loan.LentOn
                                    : column == DueOn ? loan.DueOn
                                                      : loan.ReturnedOn;
            const QDate date = Loan::DateOf(stored);
            keys[index] =
                date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("~") + stored;
        }
    }
    const auto less = [&](int a, int b) {
        return column == DaysOverdue ? m_overdue[a] < m_overdue[b] : keys[a] < keys[b];
    };
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QVector<int> loanOf;
    for (const QModelIndex &index : before)
        loanOf << m_order[index.row()];
    if (order == Qt::AscendingOrder)
        std::stable_sort(m_order.begin(), m_order.end(), less);
    else
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) { return less(b, a); });
    QVector<int> rowOf(m_loans.size());
    for (int row = 0; row < m_order.size(); ++row)
        rowOf[m_order[row]] = row;
    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i)
        after << index(rowOf[loanOf[i]], before[i].column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
