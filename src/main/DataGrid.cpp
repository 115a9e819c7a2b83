#include "DataGrid.h"

#include "GridCellDelegate.h"
#include "Twips.h"
#include "WidestText.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

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
    watchSelection();
    connect(m_model, &RecordListModel::CellUpdated, this, &DataGrid::AfterCellUpdate);
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                for (int row = first; row <= last; ++row)
                    Q_EMIT InitializeRow(row);
            });
}

void DataGrid::watchSelection()
{
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DataGrid::currentRowChanged);
}

void DataGrid::SetProxy(QAbstractProxyModel *proxy)
{
    if (proxy == m_proxy)
        return;
    QItemSelectionModel *previous = selectionModel();
    m_proxy = proxy;
    if (m_proxy)
        m_proxy->setSourceModel(m_model);
    setModel(m_proxy ? static_cast<QAbstractItemModel *>(m_proxy) : m_model);
    // setModel makes a new selection model and leaves the old one to its owner.
    delete previous;
    watchSelection();
}

QModelIndex DataGrid::toRecordIndex(const QModelIndex &viewIndex) const
{
    return m_proxy ? m_proxy->mapToSource(viewIndex) : viewIndex;
}

int DataGrid::RecordRow(int viewRow) const
{
    const QModelIndex index = toRecordIndex(model()->index(viewRow, 0));
    return index.isValid() ? index.row() : -1;
}

int DataGrid::ViewRow(int recordRow) const
{
    const QModelIndex index = m_model->index(recordRow, 0);
    if (!index.isValid())
        return -1;
    const QModelIndex shown = m_proxy ? m_proxy->mapFromSource(index) : index;
    return shown.isValid() ? shown.row() : -1;
}

int DataGrid::ShownRowCount() const
{
    return model()->rowCount();
}

int DataGrid::ActivePosition() const
{
    return currentIndex().isValid() ? currentIndex().row() + 1 : 0;
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

int DataGrid::widestPixels(int column, const QFontMetrics &metrics) const
{
    const auto &list = m_model->List();
    // Columns after the list's fields (extra columns) hold what the model shows.
    const bool field = !list || column < list->FieldCount();
    // On a long list (100,000 titles, a paste of thousands of lines) only the texts that may
    // be the widest are shaped.
    return WidestText::Among(metrics, list ? list->RecordCount() : 0, [&](int row) {
        // A kept text is measured where it lies (the list does not change meanwhile): a
        // copy of each would cost more than measuring it.
        if (field) {
            const QStringView text = list->TextView(row, column);
            if (!text.isEmpty())
                return QString::fromRawData(text.data(), text.size());
        }
        const QVariant value =
            field ? list->ValueAt(row, column) : m_model->index(row, column).data();
        return RecordList::HasText(value) ? value.toString() : QString();
    });
}

int DataGrid::FitColumn(int column, const QFontMetrics &metrics, const ColumnFit &fit)
{
    const int caption = fit.CaptionPixels(*horizontalHeader(), metrics, HeaderCaption(column));
    const int width = fit.Width(caption, widestPixels(column, metrics));
    SetColumnWidthTwips(column, width);
    return width;
}

void DataGrid::SetGridFont(const QFont &font)
{
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
}

void DataGrid::ActivateFirstRow()
{
    activateViewRow(0);
}

void DataGrid::ActivateRow(int row)
{
    activateViewRow(ViewRow(row));
}

void DataGrid::activateViewRow(int row)
{
    const QAbstractItemModel *shown = model();
    if (row < 0 || row >= shown->rowCount())
        return;
    int column = 0;
    while (column < shown->columnCount() && isColumnHidden(column))
        ++column;
    const QModelIndex cell = shown->index(row, column);
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
    const QModelIndex index = toRecordIndex(currentIndex());
    return index.isValid() ? index.row() : -1;
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
    setSelectionBehavior(editable ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
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
    // Rows as the view shows them (a proxy may sort or filter the list).
    const int shown = ShownRowCount();
    if (key && others == Qt::NoModifier && selectionBehavior() == SelectRows && shown > 0) {
        const int row = event->key() == Qt::Key_Home ? 0 : shown - 1;
        if (row + 1 != ActivePosition())
            activateViewRow(row);
        scrollTo(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::currentRowChanged(const QModelIndex &current, const QModelIndex &)
{
    const QModelIndex record = toRecordIndex(current);
    if (!record.isValid())
        return;
    if (const auto &list = m_model->List())
        list->Move(record.row());
    Q_EMIT AfterRowActivate(record.row());
}
