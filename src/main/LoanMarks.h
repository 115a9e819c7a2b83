#pragma once

#include <QHash>
#include <QString>

class Connection;
class DataGrid;

// The title list's mark for titles on loan: a second text colour and a tooltip naming the
// borrower. Without open loans the list is left exactly as it is.
class LoanMarks
{
public:
    // Reads the open loans on `connection` and marks the rows of the list `grid` shows.
    void Attach(DataGrid &grid, Connection &connection);
    // The borrower of the title's open loan, empty when it is at home.
    QString BorrowerOf(qint64 titleId) const { return m_borrowers.value(titleId); }

private:
    QHash<qint64, QString> m_borrowers;
};
