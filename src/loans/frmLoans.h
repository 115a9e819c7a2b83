#pragma once

#include "LoanTableModel.h"
#include "Loans.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;
class QTableView;

// "Loans": every open loan (with the check box, the returned ones too), overdue first,
// sortable by any column. Double-click or Enter on a loan hands it to `activate` and
// closes the window.
class frmLoans : public QDialog
{
    Q_OBJECT

public:
    // Reads the loans; a failed read throws DbError.
    using Read = std::function<QVector<Loan>(bool withReturned)>;
    using Activate = std::function<void(const Loan &)>;

    frmLoans(Read read, Activate activate, QWidget *parent = nullptr);

    // Columns of the grid.
    using enum LoanTableModel::Column;

    QTableView *grdLoans = nullptr;
    QCheckBox *chkHistory = nullptr;
    QPushButton *cmdClose = nullptr;

    // The loan shown in a view row.
    const Loan &LoanAt(int viewRow) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill();
    void activateRow(int viewRow);

    Read m_read;
    Activate m_activate;
    LoanTableModel *m_model;
};
