#include "ImportRowsModel.h"

#include <QBrush>
#include <QColor>

namespace {

enum Column { Line, Outcome, Title, Edition, ColumnName, Reason, Count };

QString outcome(ImportPlan::Status status)
{
    switch (status) {
    case ImportPlan::Status::Accepted:
        return QStringLiteral("Added");
    case ImportPlan::Status::Similar:
        return QStringLiteral("Similar");
    case ImportPlan::Status::Refused:
        break;
    }
    return QStringLiteral("Refused");
}

// A cell shows one line of a long text.
QString oneLine(const QString &text)
{
    QString line = text.left(200);
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

} // namespace

ImportRowsModel::ImportRowsModel(const ImportPlan &plan, QObject *parent)
    : QAbstractTableModel(parent), m_plan(plan)
{
}

int ImportRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_plan.Rows().size());
}

int ImportRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Count;
}

QVariant ImportRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_plan.Rows().size())
        return {};
    const ImportPlan::Row &row = m_plan.Rows()[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Line:
            return row.line;
        case Outcome:
            return outcome(row.status);
        case Title:
            return oneLine(row.title);
        case Edition:
            return oneLine(row.edition);
        case ColumnName:
            return row.column;
        case Reason:
            return row.reason;
        }
    } else if (role == Qt::ForegroundRole && index.column() == Outcome) {
        if (row.status == ImportPlan::Status::Refused)
            return QBrush(QColor(0xb0, 0x20, 0x20));
        if (row.status == ImportPlan::Status::Similar)
            return QBrush(QColor(0x9a, 0x60, 0x00));
    } else if (role == Qt::ToolTipRole && index.column() == Title) {
        return row.title.left(2000);
    }
    return {};
}

QVariant ImportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList headers{QStringLiteral("Line"),   QStringLiteral("Import"),
                                     QStringLiteral("Title"),  QStringLiteral("Edition"),
                                     QStringLiteral("Column"), QStringLiteral("Reason")};
    return headers.value(section);
}
