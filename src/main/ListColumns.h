#pragma once

#include "ListColumnStatements.h"
#include "TitleColumnValues.h"

#include <QObject>
#include <QSet>
#include <QVector>
#include <array>
#include <functional>

class Connection;
class DataGrid;
class LoanMarks;
class QAction;
class QMenu;
class QWidget;
class TitleListFilter;

// The title list's columns and order: the header's menu shows more columns (Year, Director,
// Genres, Cast, On Loan) after Title and Edition, a click on a header orders the list by
// that column and a second click reverses it; the order menu does the same from the
// keyboard. Both are remembered between starts. With no column added and the title order
// (the default) the list is exactly as without this.
class ListColumns : public QObject
{
    Q_OBJECT

public:
    // Grid column of Title; Edition follows, then the extra columns in ListColumn's order.
    static constexpr int TitleColumn = 1;
    static constexpr int FirstExtra = 3;

    // The grid, the filter and the loan marks outlive this; `connection` opens the main
    // window's connection again.
    ListColumns(DataGrid &grid, TitleListFilter &filter, const LoanMarks &loans,
                std::function<Connection &()> connection, QWidget *window);

    // The list was read again and bound to the grid (before the filter's ListLoaded): the
    // shown columns' values are read for it on `connection` and its order worked out.
    // Throws DbError.
    void ListLoaded(Connection &connection, int list);
    // Every shown column sized by the fitting rule.
    void Fit();

    QMenu *HeaderMenu() const { return m_menu; }
    // One checked entry per shown column (the column ordered by), then Descending.
    QMenu *OrderMenu() const { return m_orderMenu; }
    // Shows or hides an extra column, as its menu entry does.
    void SetShown(ListColumn column, bool shown);
    bool IsShown(ListColumn column) const { return m_shown.contains(column); }
    // As a click on the grid column's header: ordered by it, or reversed when it already is.
    void HeaderClicked(int gridColumn);
    int OrderColumn() const { return m_orderColumn; }
    bool Descending() const { return m_descending; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QVector<int> order() const;
    void shareWidth();
    // Reads the shown columns' values and puts them in the grid's model (none: none at all,
    // and no connection needed).
    void bind(Connection *connection);
    // The order (and, after a change of columns, the values) shown again, the active title
    // kept active and in view.
    void reshow(bool columnsChanged);
    void orderBy(int gridColumn, bool descending);
    // The header's mark and the order menu's entries and checks.
    void showOrder();
    void save() const;

    DataGrid &m_grid;
    TitleListFilter &m_filter;
    const LoanMarks &m_loans;
    std::function<Connection &()> m_connection;
    QWidget *m_window;
    QMenu *m_menu;
    std::array<QAction *, 5> m_actions{};
    QMenu *m_orderMenu;
    std::array<QAction *, 7> m_orderActions{}; // by grid column from Title on
    QAction *m_descendingAction = nullptr;
    TitleColumnValues m_values;
    QSet<ListColumn> m_shown;
    int m_list = 0;
    bool m_bound = false;          // the model carries the extra columns
    std::array<int, 2> m_fitted{}; // Title's and Edition's fitted widths, in pixels
    int m_orderColumn = TitleColumn;
    bool m_descending = false;
};
