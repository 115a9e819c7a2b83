#include "frmLoans.h"

#include "DbError.h"
#include "DialogButtons.h"
#include "Letters.h"
#include "MessageBox.h"
#include "WindowLook.h"

#include <QCheckBox>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kLoanRole = Qt::UserRole + 1; // index into the loans read
constexpr int kSortRole = Qt::UserRole + 2;

// Makes the items of stored dates, shown in the locale's short form. Each different date is
// formatted once: thousands of loans share a few hundred dates, and formatting each one was
// most of the window's opening time.
auto dateItems()
{
    return [locale = QLocale(),
            made = QHash<QString, std::pair<QString, QString>>()](const QString &stored) mutable {
        auto found = made.constFind(stored);
        if (found == made.constEnd()) {
            const QDate date = Loan::DateOf(stored);
            // Odd stored text sorts after every date, as typed.
            found = made.insert(
                stored,
                {date.isValid() ? locale.toString(date, QLocale::ShortFormat) : stored,
                 date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("~") + stored});
        }
        auto *item = new QStandardItem(found->first);
        item->setData(found->second, kSortRole);
        return item;
    };
}

} // namespace

frmLoans::frmLoans(Read read, Activate activate, QWidget *parent)
    : QDialog(parent),
      m_read(std::move(read)),
      m_activate(std::move(activate)),
      m_model(new QStandardItemModel(this))
{
    setWindowTitle(QStringLiteral("Loans"));
    setFont(WindowLook::FormFont());

    m_model->setSortRole(kSortRole);
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
    try {
        m_loans = m_read(chkHistory->isChecked());
    } catch (const DbError &error) {
        m_loans.clear();
        MessageBox::Failure(this, error.Message(QStringLiteral(" reading the loans.")));
    }
    m_model->clear();
    m_model->setHorizontalHeaderLabels({QStringLiteral("Title"), QStringLiteral("Borrower"),
                                        QStringLiteral("Lent On"), QStringLiteral("Due Back"),
                                        QStringLiteral("Days Overdue"),
                                        QStringLiteral("Returned On")});
    const QDate today = QDate::currentDate();
    auto dateItem = dateItems();
    QList<QList<QStandardItem *>> rows;
    rows.reserve(m_loans.size());
    for (int index = 0; index < m_loans.size(); ++index) {
        const Loan &loan = m_loans[index];
        // A loan whose title is gone (another tool's row) is shown as it is.
        auto *title = new QStandardItem(loan.Title.isNull()
                                            ? QStringLiteral("(title %1 missing)").arg(loan.TitleId)
                                            : loan.Title.toString());
        title->setData(Letters::Bare(title->text()), kSortRole);
        auto *borrower = new QStandardItem(loan.Borrower);
        borrower->setData(Letters::Bare(loan.Borrower), kSortRole);
        const int overdue = loan.DaysOverdue(today);
        auto *days = new QStandardItem(overdue > 0 ? QString::number(overdue) : QString());
        days->setData(overdue, kSortRole);
        days->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QList<QStandardItem *> row{title,
                                   borrower,
                                   dateItem(loan.LentOn),
                                   dateItem(loan.DueOn),
                                   days,
                                   dateItem(loan.ReturnedOn)};
        for (QStandardItem *item : row) {
            item->setData(index, kLoanRole);
            if (overdue > 0)
                item->setForeground(WindowLook::ErrorColour());
        }
        rows.append(row);
    }
    for (auto &row : rows)
        m_model->appendRow(row);
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
    return m_loans[m_model->index(viewRow, 0).data(kLoanRole).toInt()];
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
