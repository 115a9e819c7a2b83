#pragma once

#include "TitleFinder.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <optional>
#include <QVector>
#include <memory>

class DataGrid;
class FilteredRowsModel;
class FindBox;
class QWidget;

// The find box's filter over the main window's title list. It owns the finder (every
// title's searchable text), the proxy the grid shows while a query is active, and the query
// that waits while the finder reads the catalogue. With the box empty no proxy is set and
// the list is exactly as without the box.
//
// The finder learns of changes only through CatalogueChanged and TitleChanged, and what the
// list shows is worked out in one place (shownRows), where a browse condition that must hold
// beside the query comes in.
class TitleListFilter : public QObject
{
    Q_OBJECT

public:
    // connectionString: the catalogue's, read when the finder reads the titles; it and the
    // grid, the box and the window outlive the filter.
    TitleListFilter(const QString &connectionString, DataGrid &grid, FindBox &box, QWidget *window);
    ~TitleListFilter() override;

    // Whether the list is filtered: by the box's query, a browse choice, or both.
    bool IsActive() const { return m_active || m_browse.has_value(); }

    // A browse choice: only the titles with these IDs are shown, beside the query (both
    // must hold); nullopt shows every title again. The list is filtered at once.
    void SetBrowseTitles(std::optional<QSet<qint64>> ids);
    // The same for a list about to be read again: taken at the next ListLoaded.
    void KeepBrowseTitles(std::optional<QSet<qint64>> ids) { m_browse = std::move(ids); }
    // What the list shows, for reports: the titles' IDs in the order shown, and the query
    // while one filters (empty when none does).
    QVector<qint64> ShownTitleIds() const;
    // The order the list is shown in: every record-list row once, in the order wanted; empty
    // for the list's own order. SetOrder takes it for the list about to be loaded (at the next
    // ListLoaded), Reorder shows it at once (the grid's active row is the caller's to keep).
    void SetOrder(QVector<int> rows) { m_order = std::move(rows); }
    void Reorder(QVector<int> rows);
    QString Query() const;

    // The catalogue changed in ways not known here (an import, say): the finder reads the
    // titles again (at once while a query is active, else at the next query), and a title
    // added meanwhile that the query hides is pointed out.
    void CatalogueChanged();
    // One title was added, changed or deleted (and nothing else): the finder reads that
    // title again, or drops it. The list is reloaded after, as after CatalogueChanged.
    void TitleChanged(qint64 titleId);
    // Reads the titles on a worker thread with its own connection, ahead of the first
    // query (the box got the focus). A query that comes before the read is done waits for
    // it, under the progress window.
    void ReadAhead();
    // The same once the window has nothing else to do (its list shown): the first query
    // then seldom waits.
    void ReadWhenIdle();
    // While one lives, the read ahead waits: work the user waits for gets both cores.
    // Nothing but this thread's own work may run meanwhile (no events).
    class ReadAheadPause
    {
    public:
        explicit ReadAheadPause(TitleListFilter &filter);
        ~ReadAheadPause();
        Q_DISABLE_COPY(ReadAheadPause)

    private:
        TitleListFilter &m_filter;
    };
    // The grid was bound to a newly read list: filtered again while a query is active.
    void ListLoaded();

Q_SIGNALS:
    // The box's query changed what the list shows. activeBefore: the grid's active row (a
    // record-list row, -1 for none) before.
    void Refiltered(int activeBefore);

private:
    void apply(const QString &query);
    // Shows the rows the query leaves; false when the find was given up.
    bool filter();
    QVector<int> shownRows();
    void refilter(int activeBefore);
    bool ensureFinder();
    // Waits for the read ahead (progress window past a second); false when cancelled.
    bool waitForReadAhead();
    // Takes the finder read ahead; false when it could not read or a change since made
    // it stale.
    bool adoptReadAhead();
    // The finder's rows: the list shown, in its order (once per list read).
    void bindFinderRows();
    void updateTitle(qint64 titleId);
    void noteNewest();
    void giveUp();
    // Every row, in the order set (through the proxy only when one is set).
    void showUnfiltered();
    void showNote();

    const QString &m_connectionString;
    DataGrid &m_grid;
    FindBox &m_box;
    QWidget *m_window;
    FilteredRowsModel *m_proxy;

    struct Reading;

    TitleFinder m_finder;
    std::unique_ptr<Reading> m_readAhead;
    QVector<qint64> m_changedDuringRead; // titles changed while the worker read
    int m_generation = 0;                // changes that make every title stale
    QList<QByteArray> m_words;
    bool m_active = false; // the box holds a query
    std::optional<QSet<qint64>> m_browse;
    QVector<int> m_order;
    bool m_finderStale = true;
    const void *m_finderRowsOf = nullptr; // the list whose IDs the finder has
    bool m_building = false;
    bool m_queryPending = false; // a query came in while the finder was reading
    qint64 m_newestBefore = -1;  // the highest ID the list showed before a change
    bool m_newTitleHidden = false;
};
