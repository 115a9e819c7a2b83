#include "DataGrid.h"

#include "GridCellDelegate.h"
#include "Twips.h"

#include <QHeaderView>
#include <QKeyEvent>

DataGrid::DataGrid(QWidget *parent) : QTableView(parent), m_model(new RecordListModel(this))
{
    setModel(m_model);
    setItemDelegate(new GridCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DataGrid::currentRowChanged);
    connect(m_model, &RecordListModel::CellUpdated, this, &DataGrid::AfterCellUpdate);
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                for (int row = first; row <= last; ++row)
                    Q_EMIT InitializeRow(row);
            });
}

void DataGrid::SetDataSource(std::shared_ptr<RecordList> list)
{
    m_model->SetRecordList(std::move(list));
    for (int column = 0; column < m_model->columnCount(); ++column)
        setColumnHidden(column, false);
    Q_EMIT InitializeLayout();
    for (int row = 0; row < m_model->rowCount(); ++row)
        Q_EMIT InitializeRow(row);
}

void DataGrid::SetHeaderCaption(int column, const QString &caption)
{
    m_model->SetHeaderCaption(column, caption);
}

QString DataGrid::HeaderCaption(int column) const
{
    return m_model->headerData(column, Qt::Horizontal).toString();
}

void DataGrid::SetColumnWidthTwips(int column, int twips)
{
    setColumnWidth(column, Twips::ToPixels(twips));
}

int DataGrid::ColumnWidthTwips(int column) const
{
    return Twips::FromPixels(columnWidth(column));
}

void DataGrid::SetGridFont(const QString &family, int pointSize, bool bold)
{
    QFont font(family, pointSize);
    font.setBold(bold);
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
}

void DataGrid::ActivateFirstRow()
{
    ActivateRow(0);
}

void DataGrid::ActivateRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    int column = 0;
    while (column < m_model->columnCount() && isColumnHidden(column))
        ++column;
    const QModelIndex cell = m_model->index(row, column);
    const bool sameRow = currentIndex().isValid() && currentIndex().row() == row;
    selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect
                                                | QItemSelectionModel::Rows);
    // Activating the row that is already active still counts as an activation.
    if (sameRow)
        currentRowChanged(cell, cell);
}

void DataGrid::ClearRowSelection()
{
    selectionModel()->clearSelection();
}

int DataGrid::ActiveRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

QVariant DataGrid::CellValue(int row, int column) const
{
    const auto &list = m_model->List();
    return list ? list->ValueAt(row, column) : QVariant();
}

void DataGrid::SetCellValue(int row, int column, const QVariant &value)
{
    if (const auto &list = m_model->List())
        list->SetValueAt(row, column, value);
}

void DataGrid::SetCellBackground(int row, int column, const QColor &colour)
{
    m_model->SetCellBackground(row, column, colour);
}

QColor DataGrid::CellBackground(int row, int column) const
{
    return m_model->CellBackground(row, column);
}

void DataGrid::SetEditable(bool editable)
{
    m_model->SetEditable(editable);
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                   | QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(editable ? QAbstractItemView::SelectItems
                                  : QAbstractItemView::SelectRows);
}

void DataGrid::SetBeforeCellUpdate(RecordListModel::BeforeUpdate hook)
{
    m_model->SetBeforeUpdate(std::move(hook));
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    // A grid that selects whole rows has nothing to move across: Home and End, with or
    // without Ctrl, go to the first and the last row.
    const bool key = event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
    const Qt::KeyboardModifiers others =
        event->modifiers() & ~(Qt::ControlModifier | Qt::KeypadModifier);
    if (key && others == Qt::NoModifier && selectionBehavior() == SelectRows
        && m_model->rowCount() > 0) {
        const int row = event->key() == Qt::Key_Home ? 0 : m_model->rowCount() - 1;
        if (row != ActiveRow())
            ActivateRow(row);
        scrollTo(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::currentRowChanged(const QModelIndex &current, const QModelIndex &)
{
    if (!current.isValid())
        return;
    if (const auto &list = m_model->List())
        list->Move(current.row());
    Q_EMIT AfterRowActivate(current.row());
}
