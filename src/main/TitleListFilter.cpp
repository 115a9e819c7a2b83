#include "TitleListFilter.h"

#include "Connection.h"
#include "DataGrid.h"
#include "DbError.h"
#include "FilteredRowsModel.h"
#include "FindBox.h"
#include "LockWait.h"
#include "MessageBox.h"
#include "ProgressWindow.h"
#include "RecordList.h"

#include <QDeadlineTimer>
#include <QLocale>
#include <QThread>
#include <QTimer>
#include <numeric>
#include <atomic>

namespace {
const QString kReading = QStringLiteral("Reading the titles to find in...");
} // namespace

// A read of every title on a worker thread. The worker writes only here, and only the
// finder and `built` until it ends; the window's thread takes them once it has ended.
struct TitleListFilter::Reading
{
    TitleFinder finder;
    bool built = false;
    int generation = 0;
    std::atomic<bool> cancel{false};
    std::atomic<bool> paused{false};
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::unique_ptr<QThread> thread;

    ~Reading()
    {
        cancel = true;
        thread->wait();
    }
};

TitleListFilter::TitleListFilter(const QString &connectionString, DataGrid &grid, FindBox &box,
                                 QWidget *window)
    : QObject(window),
      m_connectionString(connectionString),
      m_grid(grid),
      m_box(box),
      m_window(window),
      m_proxy(new FilteredRowsModel(this))
{
    connect(&m_box, &FindBox::QueryChanged, this, &TitleListFilter::apply);
    connect(&m_box, &FindBox::FocusGained, this, &TitleListFilter::ReadAhead);
}

TitleListFilter::~TitleListFilter() = default;

void TitleListFilter::CatalogueChanged()
{
    m_finderStale = true;
    ++m_generation;
    noteNewest();
}

void TitleListFilter::TitleChanged(qint64 titleId)
{
    noteNewest();
    if (m_readAhead)
        m_changedDuringRead.append(titleId);
    else if (m_finder.IsBuilt() && !m_finderStale)
        updateTitle(titleId);
}

void TitleListFilter::updateTitle(qint64 titleId)
{
    try {
        Connection connection;
        connection.Open(m_connectionString);
        m_finder.Update(connection, titleId);
    } catch (const DbError &) {
        // Read whole at the next query, which reports what goes wrong.
        m_finderStale = true;
    }
}

void TitleListFilter::noteNewest()
{
    if (!IsActive())
        return;
    m_newestBefore = 0;
    if (const auto &list = m_grid.DataSource())
        for (int row = 0; row < list->RecordCount(); ++row)
            m_newestBefore = std::max(m_newestBefore, list->ValueAt(row, 0).toLongLong());
}

void TitleListFilter::ListLoaded()
{
    m_finderRowsOf = nullptr;
    m_newTitleHidden = false;
    const qint64 newestBefore = std::exchange(m_newestBefore, -1);
    if (!IsActive())
        showUnfiltered();
    else if (!filter())
        giveUp();
    else if (newestBefore >= 0) {
        const RecordList &list = *m_grid.DataSource();
        for (int row = 0; row < list.RecordCount(); ++row)
            if (list.ValueAt(row, 0).toLongLong() > newestBefore && m_grid.ViewRow(row) < 0)
                m_newTitleHidden = true;
    }
    showNote();
}

void TitleListFilter::apply(const QString &query)
{
    // A read of the titles in progress lets events through; the box is read again after it.
    if (m_building) {
        m_queryPending = true;
        return;
    }
    const bool active = !query.trimmed().isEmpty();
    if (!active && !m_active)
        return;
    const int activeBefore = m_grid.ActiveRow();
    m_words = TitleFinder::Words(query);
    m_active = active;
    if (!active)
        m_finder.ForgetLastQuery();
    refilter(activeBefore);
}

void TitleListFilter::SetBrowseTitles(std::optional<QSet<qint64>> ids)
{
    if (!ids && !m_browse)
        return;
    const int activeBefore = m_grid.ActiveRow();
    m_browse = std::move(ids);
    refilter(activeBefore);
}

void TitleListFilter::refilter(int activeBefore)
{
    m_newTitleHidden = false;
    if (IsActive() && !filter())
        giveUp();
    if (!IsActive())
        showUnfiltered();
    showNote();
    Q_EMIT Refiltered(activeBefore);
}

bool TitleListFilter::filter()
{
    // The finder is read only for a query: a browse choice alone needs no index.
    if (m_active && !ensureFinder())
        return false;
    if (m_active)
        bindFinderRows();
    m_grid.SetProxy(m_proxy);
    m_proxy->ShowRows(shownRows());
    return true;
}

QVector<int> TitleListFilter::shownRows()
{
    // Every condition on the list narrows these rows: the query, then the browse choice.
    const RecordList &list = *m_grid.DataSource();
    QVector<int> rows;
    if (m_active) {
        rows = m_finder.MatchingRows(m_words);
    } else {
        rows.resize(list.RecordCount());
        std::iota(rows.begin(), rows.end(), 0);
    }
    if (m_browse)
        rows.removeIf(
            [&](int row) { return !m_browse->contains(list.ValueAt(row, 0).toLongLong()); });
    if (m_order.isEmpty())
        return rows;
    // What is left, in the order chosen.
    QVector<bool> kept(list.RecordCount());
    for (const int row : rows)
        kept[row] = true;
    rows.clear();
    for (const int row : m_order)
        if (row >= 0 && row < kept.size() && kept[row])
            rows.append(row);
    return rows;
}

void TitleListFilter::ReadAhead()
{
    if (m_readAhead || m_building || (m_finder.IsBuilt() && !m_finderStale))
        return;
    auto reading = std::make_unique<Reading>();
    reading->generation = m_generation;
    Reading *job = reading.get();
    reading->thread.reset(QThread::create([job, connectionString = m_connectionString] {
        // A lock or a failure ends the read quietly: the query then reads as before.
        const LockWait::AnswerLocksHere answeredHere;
        try {
            Connection connection;
            connection.Open(connectionString);
            job->built = job->finder.Build(connection, [job](int done, int total) {
                job->done = done;
                job->total = total;
                while (job->paused && !job->cancel)
                    QThread::msleep(2);
                return !job->cancel;
            });
        } catch (const DbError &) {
            job->built = false;
        }
    }));
    connect(job->thread.get(), &QThread::finished, this, [this] {
        if (m_readAhead && m_readAhead->thread->isFinished() && !m_building)
            adoptReadAhead();
    });
    m_changedDuringRead.clear();
    m_readAhead = std::move(reading);
    job->thread->start(QThread::LowPriority);
}

TitleListFilter::ReadAheadPause::ReadAheadPause(TitleListFilter &filter) : m_filter(filter)
{
    if (m_filter.m_readAhead)
        m_filter.m_readAhead->paused = true;
}

TitleListFilter::ReadAheadPause::~ReadAheadPause()
{
    if (m_filter.m_readAhead)
        m_filter.m_readAhead->paused = false;
}

void TitleListFilter::ReadWhenIdle()
{
    // A zero timer fires once the events queued now (the first paint among them) are done.
    QTimer::singleShot(0, this, &TitleListFilter::ReadAhead);
}

bool TitleListFilter::waitForReadAhead()
{
    Reading &job = *m_readAhead;
    const bool finished =
        ProgressWindow::Run(m_window, kReading, [&job](const ProgressWindow::Step &step) {
            while (!job.thread->wait(QDeadlineTimer(20)))
                if (!step(job.done, job.total))
                    return false;
            return true;
        });
    if (!finished)
        m_readAhead.reset();
    return finished;
}

bool TitleListFilter::adoptReadAhead()
{
    const std::unique_ptr<Reading> job = std::move(m_readAhead);
    job->thread->wait();
    if (!job->built || job->generation != m_generation)
        return false;
    m_finder = std::move(job->finder);
    m_finderStale = false;
    // Read for no list: given the list shown now, here, so that the first query needs not.
    m_finderRowsOf = nullptr;
    for (const qint64 id : std::exchange(m_changedDuringRead, {}))
        updateTitle(id);
    bindFinderRows();
    return true;
}

void TitleListFilter::bindFinderRows()
{
    const auto &source = m_grid.DataSource();
    if (!source || m_finderRowsOf == &*source)
        return;
    const RecordList &list = *source;
    QVector<qint64> ids(list.RecordCount());
    for (int row = 0; row < ids.size(); ++row)
        ids[row] = list.ValueAt(row, 0).toLongLong();
    m_finder.SetRows(ids);
    m_finderRowsOf = &list;
}

bool TitleListFilter::ensureFinder()
{
    if (m_readAhead) {
        m_building = true;
        const bool waited = waitForReadAhead();
        m_building = false;
        if (!waited) {
            if (std::exchange(m_queryPending, false))
                QTimer::singleShot(0, this, [this] { apply(m_box.Text()); });
            return false;
        }
        adoptReadAhead();
    }
    if (m_finder.IsBuilt() && !m_finderStale)
        return true;
    m_building = true;
    bool built = false;
    try {
        Connection connection;
        connection.Open(m_connectionString);
        built = ProgressWindow::Run(m_window, kReading, [&](const ProgressWindow::Step &step) {
            return m_finder.Build(connection, step);
        });
    } catch (const DbError &error) {
        MessageBox::Failure(m_window, error.Message(QStringLiteral(" finding titles.")));
    }
    m_building = false;
    if (built) {
        m_finderStale = false;
        m_finderRowsOf = nullptr;
    }
    if (std::exchange(m_queryPending, false))
        QTimer::singleShot(0, this, [this] { apply(m_box.Text()); });
    return built;
}

void TitleListFilter::giveUp()
{
    // Cancelled or unreadable: the box emptied, the list as the browse choice leaves it.
    m_active = false;
    m_box.Clear();
    if (m_browse)
        filter();
    else
        showUnfiltered();
}

void TitleListFilter::showUnfiltered()
{
    if (m_order.isEmpty()) {
        m_grid.SetProxy(nullptr);
        return;
    }
    m_grid.SetProxy(m_proxy);
    m_proxy->ShowRows(m_order);
}

void TitleListFilter::Reorder(QVector<int> rows)
{
    m_order = std::move(rows);
    if (!IsActive())
        showUnfiltered();
    else if (!filter())
        giveUp();
}

void TitleListFilter::showNote()
{
    const int shown = m_grid.ShownRowCount();
    const int all = m_grid.DataSource() ? m_grid.DataSource()->RecordCount() : 0;
    m_box.SetNoMatch(IsActive() && shown == 0);
    const QLocale numbers(QLocale::English, QLocale::UnitedStates);
    if (!IsActive())
        m_box.SetNote(QString());
    else if (m_newTitleHidden)
        m_box.SetNote(QStringLiteral("The new title is hidden by the filter"));
    else if (shown == 0)
        m_box.SetNote(QStringLiteral("No title matches"));
    else
        m_box.SetNote(numbers.toString(shown) + QStringLiteral(" of ") + numbers.toString(all));
}

QVector<qint64> TitleListFilter::ShownTitleIds() const
{
    const auto &list = m_grid.DataSource();
    QVector<qint64> ids(list ? m_grid.ShownRowCount() : 0);
    for (int row = 0; row < ids.size(); ++row)
        ids[row] = list->ValueAt(m_grid.RecordRow(row), 0).toLongLong();
    return ids;
}

QString TitleListFilter::Query() const
{
    return m_active ? m_box.Text().trimmed() : QString();
}
