#include "Loans.h"

#include "Connection.h"
#include "DbError.h"
#include "Letters.h"
#include "LoanStatements.h"
#include "RecordList.h"
#include "Transaction.h"
#include "UpkeepConnection.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <stdexcept>

namespace {

const QString kIsoDate = QStringLiteral("yyyy-MM-dd");

QString textOf(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

QVector<Loan> readLoans(Connection &connection, const QString &statement)
{
    QVector<Loan> loans;
    if (!Loans::TableExists(connection))
        return loans;
    RecordList rows;
    rows.Open(statement, connection);
    loans.reserve(rows.RecordCount());
    for (int row = 0; row < rows.RecordCount(); ++row) {
        Loan loan;
        loan.LoanId = rows.ValueAt(row, 0).toLongLong();
        loan.TitleId = rows.ValueAt(row, 1).toLongLong();
        loan.Borrower = textOf(rows.ValueAt(row, 2));
        loan.LentOn = textOf(rows.ValueAt(row, 3));
        loan.DueOn = textOf(rows.ValueAt(row, 4));
        loan.ReturnedOn = textOf(rows.ValueAt(row, 5));
        loan.Note = textOf(rows.ValueAt(row, 6));
        loan.Title = rows.ValueAt(row, 7);
        loan.WishList = rows.ValueAt(row, 8);
        loans.append(std::move(loan));
    }
    return loans;
}

QString shown(const QString &stored, const QString &format)
{
    const QDate date = Loan::DateOf(stored);
    return date.isValid() ? QLocale().toString(date, format) : stored;
}

} // namespace

QDate Loan::DateOf(const QString &stored)
{
    return QDate::fromString(stored.trimmed(), kIsoDate);
}

int Loan::DaysOverdue(const QDate &today) const
{
    const QDate due = DateOf(DueOn);
    if (!IsOpen() || !due.isValid() || due >= today)
        return 0;
    return int(due.daysTo(today));
}

namespace Loans {

Outcome Ensure(const QString &connectionString)
{
    return UpkeepConnection::Run(connectionString, Outcome::Skipped, [](QSqlDatabase &db) {
        Outcome outcome = Outcome::Skipped;
        QSqlQuery query(db);
        if (query.exec(LoanStatements::TableCount()) && query.next()
            && query.value(0).toInt() > 0) {
            outcome = Outcome::Present;
        } else {
            query.finish();
            // Only in a catalogue: a file without titles is the open's to report.
            const bool made = query.exec(QStringLiteral("SELECT ID FROM DVD_Title LIMIT 0"))
                              && query.exec(QStringLiteral("BEGIN IMMEDIATE"))
                              && query.exec(LoanStatements::CreateTable())
                              && query.exec(LoanStatements::CreateTitleIndex())
                              && query.exec(QStringLiteral("COMMIT"));
            if (made)
                outcome = Outcome::Created;
            else
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        }
        return outcome;
    });
}

bool TableExists(Connection &connection)
{
    RecordList count;
    count.Open(LoanStatements::TableCount(), connection);
    return !count.Eof() && count.Value(0).toInt() > 0;
}

LendResult Lend(Connection &connection, qint64 titleId, const QString &borrower,
                const QDate &lentOn, const QDate &dueOn, const QString &note)
{
    if (borrower.trimmed().isEmpty())
        throw std::invalid_argument("no borrower");
    if (!lentOn.isValid() || (dueOn.isValid() && dueOn < lentOn))
        throw std::invalid_argument("due before lent");
    Transaction transaction(connection);
    RecordList title;
    title.Open(LoanStatements::LendableTitle(titleId), connection);
    if (title.Eof() || title.Value(0).toInt() != 0)
        return LendResult::NotInInventory;
    if (OpenLoan(connection, titleId))
        return LendResult::AlreadyOnLoan;
    connection.Execute(
        LoanStatements::InsertLoan(titleId, borrower, lentOn.toString(kIsoDate),
                                   dueOn.isValid() ? dueOn.toString(kIsoDate) : QString(), note));
    transaction.Commit();
    return LendResult::Lent;
}

bool Return(Connection &connection, qint64 titleId, const QDate &returnedOn)
{
    Transaction transaction(connection);
    if (!OpenLoan(connection, titleId))
        return false;
    connection.Execute(LoanStatements::ReturnLoans(titleId, returnedOn.toString(kIsoDate)));
    transaction.Commit();
    return true;
}

std::optional<Loan> OpenLoan(Connection &connection, qint64 titleId)
{
    const QVector<Loan> open = readLoans(connection, LoanStatements::LoansOfTitle(titleId, true));
    if (open.isEmpty())
        return std::nullopt;
    return open.first();
}

QVector<Loan> History(Connection &connection, qint64 titleId)
{
    return readLoans(connection, LoanStatements::LoansOfTitle(titleId, false));
}

QVector<Loan> AllLoans(Connection &connection, bool withReturned)
{
    return readLoans(connection, LoanStatements::AllLoans(withReturned));
}

QHash<qint64, QString> OpenBorrowers(Connection &connection)
{
    QHash<qint64, QString> borrowers;
    if (!TableExists(connection))
        return borrowers;
    RecordList rows;
    rows.Open(LoanStatements::OpenBorrowers(), connection);
    for (int row = 0; row < rows.RecordCount(); ++row)
        borrowers.insert(rows.ValueAt(row, 0).toLongLong(), textOf(rows.ValueAt(row, 1)));
    return borrowers;
}

QStringList BorrowerNames(Connection &connection)
{
    QStringList names;
    if (!TableExists(connection))
        return names;
    RecordList rows;
    rows.Open(LoanStatements::BorrowerNames(), connection);
    for (int row = 0; row < rows.RecordCount(); ++row) {
        const QString name = rows.ValueAt(row, 0).toString();
        // NOCASE's DISTINCT misses another script's case.
        const bool known = std::any_of(names.cbegin(), names.cend(), [&](const QString &other) {
            return Letters::Equal(other, name);
        });
        if (!known)
            names << name;
    }
    QStringList sorted;
    for (int index :
         Letters::SortedOrder(int(names.size()), [&](int i) { return QStringView(names[i]); }))
        sorted << names[index];
    return sorted;
}

void DeleteLoansOfTitle(Connection &connection, qint64 titleId)
{
    if (TableExists(connection))
        connection.Execute(LoanStatements::DeleteLoansOfTitle(titleId));
}

QString Describe(const Loan &loan)
{
    QString text = QStringLiteral("On loan to %1 since %2")
                       .arg(loan.Borrower, shown(loan.LentOn, QStringLiteral("d MMM yyyy")));
    if (!loan.DueOn.isEmpty())
        text += QStringLiteral(", due back ") + shown(loan.DueOn, QStringLiteral("d MMM"));
    return text;
}

} // namespace Loans
