#include "frmLoans.h"

#include "DbError.h"
#include "DialogButtons.h"
#include "MessageBox.h"
#include "WindowLook.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

frmLoans::frmLoans(Read read, Activate activate, QWidget *parent)
    : QDialog(parent),
      m_read(std::move(read)),
      m_activate(std::move(activate)),
      m_model(new LoanTableModel(this))
{
    setWindowTitle(QStringLiteral("Loans"));
    setFont(WindowLook::FormFont());

    grdLoans = new QTableView(this);
    grdLoans->setObjectName(QStringLiteral("grdLoans"));
    grdLoans->setModel(m_model);
    grdLoans->setFont(WindowLook::Font(9, false));
    grdLoans->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdLoans->setSelectionMode(QAbstractItemView::SingleSelection);
    grdLoans->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLoans->setSortingEnabled(true);
    grdLoans->verticalHeader()->hide();
    grdLoans->installEventFilter(this);
    connect(grdLoans, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { activateRow(index.row()); });

    chkHistory = new QCheckBox(QStringLiteral("Show &returned loans too"), this);
    chkHistory->setObjectName(QStringLiteral("chkHistory"));
    connect(chkHistory, &QCheckBox::toggled, this, &frmLoans::fill);
    cmdClose = WindowLook::Button(this, QStringLiteral("&Close"), QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(grdLoans, 1);
    layout->addLayout(DialogButtons::Row(chkHistory, cmdClose));
    resize(760, 460);
    fill();
}

void frmLoans::fill()
{
    QVector<Loan> loans;
    try {
        loans = m_read(chkHistory->isChecked());
    } catch (const DbError &error) {
        MessageBox::Failure(this, error.Message(QStringLiteral(" reading the loans.")));
    }
    m_model->SetLoans(std::move(loans), QDate::currentDate());
    grdLoans->setColumnHidden(ReturnedOn, !chkHistory->isChecked());
    // Overdue first, the longest overdue at the top.
    grdLoans->sortByColumn(DaysOverdue, Qt::DescendingOrder);
    grdLoans->horizontalHeader()->setResizeContentsPrecision(200);
    grdLoans->resizeColumnsToContents();
    // The title takes the room left (the last column shown changes with the check box).
    grdLoans->horizontalHeader()->setSectionResizeMode(Title, QHeaderView::Stretch);
    if (m_model->rowCount() > 0)
        grdLoans->selectRow(0);
}

const Loan &frmLoans::LoanAt(int viewRow) const
{
    return m_model->LoanAt(viewRow);
}

void frmLoans::activateRow(int viewRow)
{
    if (viewRow < 0 || viewRow >= m_model->rowCount())
        return;
    const Loan loan = LoanAt(viewRow);
    accept();
    m_activate(loan);
}

bool frmLoans::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grdLoans && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            activateRow(grdLoans->currentIndex().row());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
