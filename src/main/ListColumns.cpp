#include "ListColumns.h"

#include "DataGrid.h"
#include "DbError.h"
#include "MessageBox.h"
#include "TitleListFilter.h"
#include "TitleOrder.h"
#include "Twips.h"
#include "ViewSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>

namespace {

constexpr int kExtras = 5;

// By grid column from Title on: how the settings name a column.
const QStringList kKeys{QStringLiteral("title"),  QStringLiteral("edition"),
                        QStringLiteral("year"),   QStringLiteral("director"),
                        QStringLiteral("genres"), QStringLiteral("cast"),
                        QStringLiteral("onloan")};

} // namespace

ListColumns::ListColumns(DataGrid &grid, TitleListFilter &filter, const LoanMarks &loans,
                         std::function<Connection &()> connection, QWidget *window)
    : QObject(window),
      m_grid(grid),
      m_filter(filter),
      m_loans(loans),
      m_connection(std::move(connection)),
      m_window(window),
      m_menu(new QMenu(window)),
      m_orderMenu(new QMenu(window))
{
    const QStringList entries{QStringLiteral("&Year"), QStringLiteral("&Director"),
                              QStringLiteral("&Genres"), QStringLiteral("&Cast Count"),
                              QStringLiteral("On &Loan")};
    const auto settings = ViewSettings::Open();
    const QStringList shown = settings->value(QStringLiteral("list/columns")).toStringList();
    for (int extra = 0; extra < kExtras; ++extra) {
        const auto column = ListColumn(extra);
        if (shown.contains(kKeys[FirstExtra - TitleColumn + extra]))
            m_shown.insert(column);
        m_actions[extra] = m_menu->addAction(entries[extra]);
        m_actions[extra]->setCheckable(true);
        m_actions[extra]->setChecked(m_shown.contains(column));
        connect(m_actions[extra], &QAction::triggered, this,
                [this, column](bool on) { SetShown(column, on); });
    }
    const int ordered = kKeys.indexOf(settings->value(QStringLiteral("list/order")).toString());
    if (ordered >= 0
        && (ordered < FirstExtra - TitleColumn
            || m_shown.contains(ListColumn(ordered - FirstExtra + TitleColumn)))) {
        m_orderColumn = ordered + TitleColumn;
        m_descending = settings->value(QStringLiteral("list/descending"), false).toBool();
    }

    // Director gives its D to Descending.
    const QStringList orderEntries{QStringLiteral("&Title"),  QStringLiteral("&Edition"),
                                   QStringLiteral("&Year"),   QStringLiteral("D&irector"),
                                   QStringLiteral("&Genres"), QStringLiteral("&Cast Count"),
                                   QStringLiteral("On &Loan")};
    auto *group = new QActionGroup(m_orderMenu);
    for (int at = 0; at < int(m_orderActions.size()); ++at) {
        m_orderActions[at] = m_orderMenu->addAction(orderEntries[at]);
        m_orderActions[at]->setCheckable(true);
        group->addAction(m_orderActions[at]);
        // The direction stays as chosen: Descending is an entry of its own.
        connect(m_orderActions[at], &QAction::triggered, this,
                [this, at] { orderBy(TitleColumn + at, m_descending); });
    }
    m_orderMenu->addSeparator();
    m_descendingAction = m_orderMenu->addAction(QStringLiteral("&Descending"));
    m_descendingAction->setCheckable(true);
    connect(m_descendingAction, &QAction::triggered, this,
            [this](bool on) { orderBy(m_orderColumn, on); });
    showOrder();

    QHeaderView *header = m_grid.horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint &at) { m_menu->popup(header->mapToGlobal(at)); });
    connect(header, &QHeaderView::sectionClicked, this, &ListColumns::HeaderClicked);
    m_grid.viewport()->installEventFilter(this);
}

void ListColumns::ListLoaded(Connection &connection, int list)
{
    m_list = list;
    bind(&connection);
    m_filter.SetOrder(order());
    showOrder();
}

void ListColumns::bind(Connection *connection)
{
    const auto &titles = m_grid.DataSource();
    m_values.Clear();
    if (!m_shown.isEmpty() && titles && connection) {
        m_values.Read(*connection, m_list, *titles, m_shown, m_loans);
        m_grid.Model()->SetExtraColumns(
            {QStringLiteral("Year"), QStringLiteral("Director"), QStringLiteral("Genres"),
             QStringLiteral("Cast"), QStringLiteral("On Loan")},
            [this](int row, int extra) { return m_values.Text(ListColumn(extra), row); });
        m_bound = true;
    } else if (std::exchange(m_bound, false)) {
        m_grid.Model()->SetExtraColumns({}, nullptr);
    }
    // A reset model shows every column again.
    m_grid.setColumnHidden(0, true);
    if (m_bound)
        for (int extra = 0; extra < kExtras; ++extra)
            m_grid.setColumnHidden(FirstExtra + extra, !m_shown.contains(ListColumn(extra)));
}

void ListColumns::Fit()
{
    // Measured in the grid's own (bold) font: the window's regular font would leave
    // every long title cut off by a few letters.
    const QFontMetrics metrics(m_grid.font());
    // An added column's caption keeps room beside it for the order mark: a narrow one
    // ("Cast" over short counts) would lose letters to it.
    const QStyle *style = m_grid.horizontalHeader()->style();
    const int mark =
        style->pixelMetric(QStyle::PM_HeaderMarkSize) + style->pixelMetric(QStyle::PM_HeaderMargin);
    for (int column = TitleColumn; column < m_grid.model()->columnCount(); ++column)
        if (!m_grid.isColumnHidden(column))
            m_grid.FitColumn(
                column, metrics,
                ColumnFit(column < FirstExtra ? 0 : Twips::FromPixels(mark), 200, true));
    m_fitted = {m_grid.columnWidth(TitleColumn), m_grid.columnWidth(TitleColumn + 1)};
    shareWidth();
}

void ListColumns::shareWidth()
{
    if (!m_bound)
        return;
    // Title and Edition give up width to the added columns, which would otherwise always be
    // out of view beside the longest title; together they keep at least half the list's
    // width (Edition a third of it), and a text cut short ends in "…" as in any narrow
    // column.
    int added = 0;
    for (int column = FirstExtra; column < m_grid.model()->columnCount(); ++column)
        if (!m_grid.isColumnHidden(column))
            added += m_grid.columnWidth(column);
    const int shown = m_grid.viewport()->width();
    const int room = std::max(shown - added, shown / 2);
    const int edition = std::min(m_fitted[1], std::max(room - m_fitted[0], room / 3));
    m_grid.setColumnWidth(TitleColumn + 1, edition);
    m_grid.setColumnWidth(TitleColumn, std::min(m_fitted[0], room - edition));
}

bool ListColumns::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && m_fitted[0] > 0)
        shareWidth();
    return QObject::eventFilter(watched, event);
}

void ListColumns::SetShown(ListColumn column, bool shown)
{
    m_actions[int(column)]->setChecked(shown);
    if (shown == m_shown.contains(column))
        return;
    if (shown) {
        m_shown.insert(column);
    } else {
        m_shown.remove(column);
        if (m_orderColumn == FirstExtra + int(column)) {
            m_orderColumn = TitleColumn;
            m_descending = false;
        }
    }
    reshow(true);
    // A column shown is brought into view where the others leave it outside.
    const int at = m_grid.columnViewportPosition(FirstExtra + int(column));
    if (shown && (at < 0 || at >= m_grid.viewport()->width()))
        m_grid.scrollTo(m_grid.model()->index(std::max(m_grid.currentIndex().row(), 0),
                                              FirstExtra + int(column)));
}

void ListColumns::HeaderClicked(int gridColumn)
{
    if (gridColumn < TitleColumn || gridColumn >= m_grid.model()->columnCount())
        return;
    orderBy(gridColumn, gridColumn == m_orderColumn && !m_descending);
}

void ListColumns::orderBy(int gridColumn, bool descending)
{
    m_orderColumn = gridColumn;
    m_descending = descending;
    reshow(false);
}

void ListColumns::reshow(bool columnsChanged)
{
    const int active = m_grid.ActiveRow();
    if (columnsChanged) {
        try {
            bind(&m_connection());
        } catch (const DbError &error) {
            MessageBox::Failure(m_window, error.Message(QStringLiteral(" reading the columns.")));
            m_shown.clear();
            for (QAction *action : m_actions)
                action->setChecked(false);
            m_orderColumn = TitleColumn;
            m_descending = false;
            bind(nullptr);
        }
    }
    m_filter.Reorder(order());
    if (columnsChanged)
        Fit();
    if (active >= 0)
        m_grid.ActivateRow(active);
    // The active title in view, across at the column ordered by (Title, or the one clicked).
    m_grid.scrollTo(m_grid.model()->index(m_grid.currentIndex().row(), m_orderColumn));
    showOrder();
    save();
}

QVector<int> ListColumns::order() const
{
    const auto &list = m_grid.DataSource();
    if (!list || (m_orderColumn == TitleColumn && !m_descending))
        return {};
    const int rows = list->RecordCount();
    if (m_orderColumn < FirstExtra)
        return TitleOrder::ByText(
            rows, [&](int row) { return list->TextView(row, m_orderColumn); }, m_descending);
    const auto column = ListColumn(m_orderColumn - FirstExtra);
    if (column == ListColumn::Year || column == ListColumn::CastCount) {
        QVector<qint64> numbers(rows);
        for (int row = 0; row < rows; ++row)
            numbers[row] = column == ListColumn::Year
                               ? TitleOrder::Year(m_values.View(ListColumn::Year, row))
                               : m_values.CastCount(row);
        return TitleOrder::ByNumber(numbers, m_descending);
    }
    return TitleOrder::ByText(
        rows, [&](int row) { return m_values.View(column, row); }, m_descending);
}

void ListColumns::showOrder()
{
    // The title order is the list's own and has no mark, as before columns could be chosen.
    QHeaderView *header = m_grid.horizontalHeader();
    header->setSortIndicatorShown(m_orderColumn != TitleColumn || m_descending);
    header->setSortIndicator(m_orderColumn,
                             m_descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    for (int at = 0; at < int(m_orderActions.size()); ++at) {
        const int gridColumn = TitleColumn + at;
        m_orderActions[at]->setVisible(gridColumn < FirstExtra
                                       || m_shown.contains(ListColumn(gridColumn - FirstExtra)));
        m_orderActions[at]->setChecked(gridColumn == m_orderColumn);
    }
    m_descendingAction->setChecked(m_descending);
}

void ListColumns::save() const
{
    QStringList shown;
    for (int extra = 0; extra < kExtras; ++extra)
        if (m_shown.contains(ListColumn(extra)))
            shown << kKeys[FirstExtra - TitleColumn + extra];
    const auto settings = ViewSettings::Open();
    settings->setValue(QStringLiteral("list/columns"), shown);
    settings->setValue(QStringLiteral("list/order"), kKeys[m_orderColumn - TitleColumn]);
    settings->setValue(QStringLiteral("list/descending"), m_descending);
}
