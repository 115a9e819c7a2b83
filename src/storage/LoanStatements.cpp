#include "LoanStatements.h"

#include "Statements.h"

namespace {

QString textOrNull(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("Null")
                           : QLatin1Char('\'') + Statements::Quote(value) + QLatin1Char('\'');
}

const QString kColumns =
    QStringLiteral("Loan.Loan_ID, Loan.Title_ID, Loan.Borrower, Loan.Lent_On, Loan.Due_On, "
                   "Loan.Returned_On, Loan.Note");

} // namespace

namespace LoanStatements {

QString CreateTable()
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS Loan (Loan_ID INTEGER PRIMARY KEY, "
                          "Title_ID INTEGER, Borrower TEXT COLLATE NOCASE, Lent_On TEXT, "
                          "Due_On TEXT, Returned_On TEXT, Note TEXT)");
}

QString CreateTitleIndex()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS idx_loan_title ON Loan (Title_ID)");
}

QString TableCount()
{
    return QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'Loan'");
}

QString InsertLoan(qint64 titleId, const QString &borrower, const QString &lentOn,
                   const QString &dueOn, const QString &note)
{
    return QStringLiteral("INSERT INTO Loan (Title_ID, Borrower, Lent_On, Due_On, Returned_On, "
                          "Note) VALUES (")
           + QString::number(titleId) + QStringLiteral(", ") + textOrNull(borrower)
           + QStringLiteral(", ") + textOrNull(lentOn) + QStringLiteral(", ") + textOrNull(dueOn)
           + QStringLiteral(", Null, ") + textOrNull(note) + QLatin1Char(')');
}

QString ReturnLoans(qint64 titleId, const QString &returnedOn)
{
    return QStringLiteral("UPDATE Loan SET Returned_On = ") + textOrNull(returnedOn)
           + QStringLiteral(" WHERE Title_ID = ") + QString::number(titleId)
           + QStringLiteral(" AND Returned_On IS NULL");
}

QString DeleteLoansOfTitle(qint64 titleId)
{
    return QStringLiteral("DELETE FROM Loan WHERE Title_ID = ") + QString::number(titleId);
}

QString LendableTitle(qint64 titleId)
{
    return QStringLiteral("SELECT WishList FROM DVD_Title WHERE ID = ") + QString::number(titleId);
}

QString LoansOfTitle(qint64 titleId, bool openOnly)
{
    return QStringLiteral("SELECT ") + kColumns
           + QStringLiteral(", NULL AS Title, NULL AS WishList FROM Loan WHERE Title_ID = ")
           + QString::number(titleId)
           + (openOnly ? QStringLiteral(" AND Returned_On IS NULL") : QString())
           + QStringLiteral(" ORDER BY Returned_On IS NOT NULL, Loan_ID DESC");
}

QString AllLoans(bool withReturned)
{
    return QStringLiteral("SELECT ") + kColumns
           + QStringLiteral(", DVD_Title.Title, DVD_Title.WishList FROM Loan LEFT JOIN "
                            "DVD_Title ON DVD_Title.ID = Loan.Title_ID")
           + (withReturned ? QString() : QStringLiteral(" WHERE Loan.Returned_On IS NULL"))
           + QStringLiteral(" ORDER BY Loan.Loan_ID");
}

QString OpenBorrowers()
{
    return QStringLiteral("SELECT Title_ID, Borrower FROM Loan WHERE Returned_On IS NULL ORDER "
                          "BY Loan_ID");
}

QString BorrowerNames()
{
    return QStringLiteral("SELECT DISTINCT Borrower FROM Loan WHERE Borrower IS NOT NULL AND "
                          "Borrower <> ''");
}

} // namespace LoanStatements
