#include "LoanMarks.h"

#include "DataGrid.h"
#include "Loans.h"

#include <QColor>

void LoanMarks::Attach(DataGrid &grid, Connection &connection)
{
    m_borrowers = Loans::OpenBorrowers(connection);
    if (m_borrowers.isEmpty()) {
        grid.Model()->SetRowLook(nullptr);
        return;
    }
    const std::weak_ptr<RecordList> shown = grid.DataSource();
    grid.Model()->SetRowLook([this, shown](int row, int role) -> QVariant {
        const std::shared_ptr<RecordList> list = shown.lock();
        if (!list)
            return {};
        const auto found = m_borrowers.constFind(list->ValueAt(row, 0).toLongLong());
        if (found == m_borrowers.constEnd())
            return {};
        if (role == Qt::ForegroundRole)
            return QColor(0x1f, 0x5f, 0xa8);
        return QStringLiteral("On loan to ") + *found;
    });
}
