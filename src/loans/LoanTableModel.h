#pragma once

#include "Loans.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QLocale>

// The Loans window's rows over the loans read, without an item per cell: a cell's text is
// made when the view asks for it (the rows in view), a column's sort keys when it is sorted.
class LoanTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Title, Borrower, LentOn, DueOn, DaysOverdue, ReturnedOn, ColumnCount };

    explicit LoanTableModel(QObject *parent = nullptr);

    // Shows `loans` in their order, overdue counted on `today`.
    void SetLoans(QVector<Loan> loans, const QDate &today);
    const Loan &LoanAt(int row) const { return m_loans[m_order[row]]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Stable: equal keys keep the order they had.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QString text(const Loan &loan, int loanIndex, int column) const;
    QString shownDate(const QString &stored) const;

    QVector<Loan> m_loans;
    QVector<int> m_overdue; // by loan
    QVector<int> m_order;   // loan shown in each row
    QLocale m_locale;
};
