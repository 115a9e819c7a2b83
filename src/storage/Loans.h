#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class Connection;

// One loan as stored. Dates are kept as the text stored (ISO yyyy-MM-dd when the program
// wrote them); another tool may have written anything, so they are read, not trusted.
struct Loan
{
    qint64 LoanId = 0;
    qint64 TitleId = 0;
    QString Borrower;
    QString LentOn;
    QString DueOn;
    QString ReturnedOn;
    QString Note;
    // The title's name and list: null when the title is missing (or not asked for).
    QVariant Title;
    QVariant WishList;

    bool IsOpen() const { return ReturnedOn.isEmpty(); }
    // The stored text as a date; invalid when it is not an ISO date.
    static QDate DateOf(const QString &stored);
    // Days past the due date on `today`; 0 when not due yet, returned or no valid due date.
    int DaysOverdue(const QDate &today) const;
};

// The loans of titles: who has which title since when. Kept in the table Loan beside the
// catalogue's four, which it never changes. A catalogue without that table (read-only,
// made elsewhere) reads as having no loans; writing a loan then fails as any write would.
namespace Loans {

enum class Outcome { Present, Created, Skipped };

// Makes the Loan table where it is missing, in one transaction. Never waits for a lock and
// never throws: a catalogue that cannot be written opens as it is.
Outcome Ensure(const QString &connectionString);

bool TableExists(Connection &connection);

enum class LendResult { Lent, AlreadyOnLoan, NotInInventory };

// Records a loan from lentOn; dueOn may be invalid (none). The borrower must not be empty
// and dueOn not before lentOn (std::invalid_argument). Failed writes throw DbError and
// leave nothing written.
LendResult Lend(Connection &connection, qint64 titleId, const QString &borrower,
                const QDate &lentOn, const QDate &dueOn, const QString &note);
// Ends the title's open loan(s) on returnedOn; false when it had none.
bool Return(Connection &connection, qint64 titleId, const QDate &returnedOn);

// The title's open loan (the one recorded last, where another tool left two).
std::optional<Loan> OpenLoan(Connection &connection, qint64 titleId);
// Every loan of the title, the open one first, then the one recorded last first.
QVector<Loan> History(Connection &connection, qint64 titleId);
// Every open loan (or every loan) with its title's name.
QVector<Loan> AllLoans(Connection &connection, bool withReturned);
// The borrower of each title on loan (of two open loans, the one recorded last).
QHash<qint64, QString> OpenBorrowers(Connection &connection);
// Borrowers named before, in the letter order.
QStringList BorrowerNames(Connection &connection);

// For a delete inside the caller's transaction; nothing without the table.
void DeleteLoansOfTitle(Connection &connection, qint64 titleId);

// "On loan to Anna since 3 Dec 2026, due back 17 Dec" (the locale's dates).
QString Describe(const Loan &loan);

} // namespace Loans
