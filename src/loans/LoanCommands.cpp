#include "LoanCommands.h"

#include "Connection.h"
#include "DbError.h"
#include "Loans.h"
#include "MessageBox.h"
#include "Module1.h"
#include "frmLend.h"
#include "frmLoans.h"
#include "frmMain.h"
#include "frmReturn.h"

namespace {

QString activeTitle(frmMain &main)
{
    return main.Detail()->KeptTitle();
}

} // namespace

LoanCommands::LoanCommands(Module1 &shared, frmMain &main) : m_shared(shared), m_main(main) {}

void LoanCommands::Lend()
{
    if (m_shared.WishListFilter != 0 || m_shared.SelectedTitleId <= 0)
        return;
    const qint64 titleId = m_shared.SelectedTitleId;
    const QString title = activeTitle(m_main);
    QStringList borrowers;
    try {
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        if (const auto loan = Loans::OpenLoan(connection, titleId)) {
            const auto answer =
                MessageBox::Show(&m_main,
                                 title + QStringLiteral(" is on loan to ") + loan->Borrower
                                     + QStringLiteral(".\n\nRecord its return?"),
                                 QStringLiteral("Title On Loan"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                                 {{QMessageBox::Yes, QStringLiteral("&Return...")},
                                  {QMessageBox::No, QStringLiteral("&Cancel")}});
            if (answer == QMessageBox::Yes)
                Return();
            return;
        }
        borrowers = Loans::BorrowerNames(connection);
    } catch (const DbError &error) {
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" lending the title.")));
        return;
    }

    QWidget *shown = nullptr;
    frmLend window(
        title, borrowers,
        [&](const frmLend::Input &input) {
            try {
                Connection connection;
                connection.Open(m_shared.ConnectionString);
                const auto result = Loans::Lend(connection, titleId, input.Borrower, input.LentOn,
                                                input.DueOn, input.Note);
                if (result == Loans::LendResult::AlreadyOnLoan)
                    MessageBox::Critical(shown, title + QStringLiteral(" is already on loan."));
                else if (result == Loans::LendResult::NotInInventory)
                    MessageBox::Critical(shown, QStringLiteral("Only Inventory titles can be "
                                                               "lent."));
                return true;
            } catch (const DbError &error) {
                // Nothing was written: the window keeps what was typed.
                MessageBox::Failure(shown, error.Message(QStringLiteral(" lending the title.")));
                return false;
            }
        },
        &m_main);
    shown = &window;
    if (window.exec() == QDialog::Accepted)
        refresh(titleId);
}

void LoanCommands::Return()
{
    if (m_shared.SelectedTitleId <= 0)
        return;
    const qint64 titleId = m_shared.SelectedTitleId;
    const QString title = activeTitle(m_main);
    std::optional<Loan> loan;
    try {
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        loan = Loans::OpenLoan(connection, titleId);
    } catch (const DbError &error) {
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" returning the title.")));
        return;
    }
    if (!loan) {
        MessageBox::Show(&m_main, title + QStringLiteral(" is not on loan."),
                         MessageBox::ApplicationTitle(), QMessageBox::Ok, QMessageBox::Information);
        return;
    }

    QWidget *shown = nullptr;
    frmReturn window(
        Loans::Describe(*loan) + QLatin1Char('.'), Loan::DateOf(loan->LentOn),
        [&](const QDate &returnedOn) {
            try {
                Connection connection;
                connection.Open(m_shared.ConnectionString);
                Loans::Return(connection, titleId, returnedOn);
                return true;
            } catch (const DbError &error) {
                MessageBox::Failure(shown, error.Message(QStringLiteral(" returning the title.")));
                return false;
            }
        },
        &m_main);
    shown = &window;
    if (window.exec() == QDialog::Accepted)
        refresh(titleId);
}

void LoanCommands::ShowLoans()
{
    frmLoans window(
        [this](bool withReturned) {
            Connection connection;
            connection.Open(m_shared.ConnectionString);
            return Loans::AllLoans(connection, withReturned);
        },
        [this](const Loan &loan) {
            if (!m_main.ShowTitle(loan.TitleId,
                                  loan.WishList.isNull() ? -1 : loan.WishList.toInt()))
                MessageBox::Show(
                    &m_main, QStringLiteral("The title of this loan is not in the catalogue."),
                    MessageBox::ApplicationTitle(), QMessageBox::Ok, QMessageBox::Information);
        },
        &m_main);
    window.exec();
}

void LoanCommands::refresh(qint64 titleId)
{
    // The list's marks and the find index change with a loan; the title stays active.
    m_main.RefreshRecords();
    m_main.ShowTitle(titleId, 0);
}
