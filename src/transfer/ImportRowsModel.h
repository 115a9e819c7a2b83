#pragma once

#include "ImportPlan.h"

#include <QAbstractTableModel>

// The import preview's rows (line, what happens, title, edition, column, reason), read
// straight from the plan, so a file of many thousand records opens at once.
class ImportRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ImportRowsModel(const ImportPlan &plan, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ImportPlan &m_plan;
};
