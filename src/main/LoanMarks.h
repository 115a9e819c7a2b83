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

private:
    QHash<qint64, QString> m_borrowers;
};
