#pragma once

#include "RecordListModel.h"

#include <QTableView>
#include <memory>

// The grid every list of the program uses: a table view bound to a record list. The
// list's current record follows the grid's active row (not the other way round, so a
// walk over the list does not activate rows).
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(QWidget *parent = nullptr);

    void SetDataSource(std::shared_ptr<RecordList> list);
    const std::shared_ptr<RecordList> &DataSource() const { return m_model->List(); }
    RecordListModel *Model() const { return m_model; }

    void SetHeaderCaption(int column, const QString &caption);
    QString HeaderCaption(int column) const;
    void SetColumnWidthTwips(int column, int twips);
    int ColumnWidthTwips(int column) const;
    void SetGridFont(const QString &family, int pointSize, bool bold);

    // The first row active, its first visible cell the active cell.
    void ActivateFirstRow();
    void ClearRowSelection();
    int ActiveRow() const;
    void ActivateRow(int row);

    QVariant CellValue(int row, int column) const;
    void SetCellValue(int row, int column, const QVariant &value);
    void SetCellBackground(int row, int column, const QColor &colour);
    QColor CellBackground(int row, int column) const;

    // In-place editing, with a hook that may refuse an edit before it is committed.
    void SetEditable(bool editable);
    void SetBeforeCellUpdate(RecordListModel::BeforeUpdate hook);

Q_SIGNALS:
    void InitializeLayout();
    void InitializeRow(int row);
    void AfterRowActivate(int row);
    void AfterCellUpdate(int row, int column);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void currentRowChanged(const QModelIndex &current, const QModelIndex &previous);

    RecordListModel *m_model;
};
