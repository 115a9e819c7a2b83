#pragma once

#include "ColumnFit.h"
#include "RecordListModel.h"

#include <QTableView>
#include <memory>

class QAbstractProxyModel;

// The grid every list of the program uses: a table view bound to a record list. The
// list's current record follows the grid's active row (not the other way round, so a
// walk over the list does not activate rows).
//
// Rows in this interface are record-list rows. A sorting or filtering proxy may sit
// between the list's model and the view; the grid maps its view rows through it, so
// the first row and the active position are the ones the user sees.
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
    // Sizes a column by the fitting rule, its caption and values measured in metrics;
    // returns the width given, in twips.
    int FitColumn(int column, const QFontMetrics &metrics, const ColumnFit &fit);
    void SetGridFont(const QFont &font);

    // A proxy model shown in place of the list's model (its source is set here);
    // nullptr shows the list's model itself. The grid does not take ownership.
    void SetProxy(QAbstractProxyModel *proxy);
    // Record-list row of a view row and back; -1 where there is none.
    int RecordRow(int viewRow) const;
    int ViewRow(int recordRow) const;
    // Rows the view shows, and the 1-based view position of the active row (0: none).
    int ShownRowCount() const;
    int ActivePosition() const;

    // The first row shown active, its first visible cell the active cell.
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
    void watchSelection();
    void activateViewRow(int viewRow);
    int widestPixels(int column, const QFontMetrics &metrics) const;
    QModelIndex toRecordIndex(const QModelIndex &viewIndex) const;
    void currentRowChanged(const QModelIndex &current, const QModelIndex &previous);

    RecordListModel *m_model;
    QAbstractProxyModel *m_proxy = nullptr;
};
