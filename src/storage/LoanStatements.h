#pragma once

#include <QString>
#include <QtGlobal>

// The text of the loans' statements (the Loan table beside the catalogue's four). Text
// values go through Statements::Quote, numbers through QString::number.
namespace LoanStatements {

QString CreateTable();
QString CreateTitleIndex();
QString TableCount();

// Lent_On, Due_On and Returned_On are ISO dates (yyyy-MM-dd) as text; another tool may
// have stored anything there, so they are read as text.
QString InsertLoan(qint64 titleId, const QString &borrower, const QString &lentOn,
                   const QString &dueOn, const QString &note);
// Every open loan of the title ends: two open loans written by another tool end together.
QString ReturnLoans(qint64 titleId, const QString &returnedOn);
QString DeleteLoansOfTitle(qint64 titleId);

QString LendableTitle(qint64 titleId);
// The title's loans, the open ones first, each part the one recorded last first.
QString LoansOfTitle(qint64 titleId, bool openOnly);
// Every loan with its title (none where the title is missing).
QString AllLoans(bool withReturned);
// The borrower of every open loan by title, oldest loan first: no title row is read.
QString OpenBorrowers();
QString BorrowerNames();

} // namespace LoanStatements
