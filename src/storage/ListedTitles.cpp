#include "ListedTitles.h"

#include "BrowseStatements.h"
#include "Connection.h"
#include "DbError.h"
#include "RawRows.h"

#include <algorithm>

#include <sqlite3.h>

namespace {

// What the engine keeps for one group between the aggregate's steps.
struct Group
{
    std::vector<qint32> *titles;
};

void step(sqlite3_context *context, int, sqlite3_value **values)
{
    auto *group = static_cast<Group *>(sqlite3_aggregate_context(context, sizeof(Group)));
    if (!group) {
        sqlite3_result_error_nomem(context);
        return;
    }
    if (!group->titles)
        group->titles = new std::vector<qint32>;
    static_cast<ListedTitles *>(sqlite3_user_data(context))
        ->Step(sqlite3_value_int64(values[0]), *group->titles);
}

void finish(sqlite3_context *context)
{
    auto *group = static_cast<Group *>(sqlite3_aggregate_context(context, 0));
    std::vector<qint32> found;
    if (group && group->titles) {
        found = std::move(*group->titles);
        delete group->titles;
        group->titles = nullptr;
    }
    sqlite3_result_int64(context, qint64(found.size()));
    static_cast<ListedTitles *>(sqlite3_user_data(context))->Finish(std::move(found));
}

// The aggregate known to the connection while this lives.
class Registration
{
public:
    Registration(sqlite3 *engine, ListedTitles *titles) : m_engine(engine)
    {
        if (sqlite3_create_function_v2(engine, ListedTitles::Aggregate, 1, SQLITE_UTF8, titles,
                                       nullptr, step, finish, nullptr)
            != SQLITE_OK)
            throw DbError(sqlite3_errcode(engine), QString::fromUtf8(sqlite3_errmsg(engine)));
    }
    ~Registration()
    {
        sqlite3_create_function_v2(m_engine, ListedTitles::Aggregate, 1, SQLITE_UTF8, nullptr,
                                   nullptr, nullptr, nullptr, nullptr);
    }
    Q_DISABLE_COPY(Registration)

private:
    sqlite3 *m_engine;
};

} // namespace

ListedTitles::ListedTitles(Connection &connection, int list)
{
    for (RawRows rows(connection, BrowseStatements::ListTitles(list)); rows.Next();)
        m_ids.push_back(rows.Integer(0));
    m_size = qint64(m_ids.size());
    m_hasValue.assign(m_ids.size(), false);
    if (m_ids.empty())
        return;
    const auto [low, high] = std::minmax_element(m_ids.cbegin(), m_ids.cend());
    const quint64 span = quint64(*high) - quint64(*low) + 1;
    if (span <= 64 * quint64(m_ids.size()) + (1u << 20)) {
        m_first = *low;
        m_entries.resize(span);
        for (size_t at = 0; at < m_ids.size(); ++at)
            m_entries[quint64(m_ids[at]) - quint64(m_first)].slot = qint32(at);
        m_ids = {}; // the entries know every ID now
        return;
    }
    // IDs scattered too wide for an entry per ID: searched.
    std::sort(m_ids.begin(), m_ids.end());
    m_seenIn.assign(m_ids.size(), 0);
}

void ListedTitles::Run(Connection &connection, const QString &statement,
                       const std::function<void(RawRows &)> &row)
{
    sqlite3 *engine = RawRows::Engine(connection.Database());
    if (!engine)
        throw DbError(1, QStringLiteral("The catalogue is not open."));
    const Registration registered(engine, this);
    RawRows rows(connection, statement);
    while (rows.Next())
        row(rows);
}

qint32 ListedTitles::slotOf(qint64 id) const
{
    if (!m_entries.empty()) {
        const quint64 at = quint64(id) - quint64(m_first);
        return at < m_entries.size() ? m_entries[at].slot : -1;
    }
    const auto found = std::lower_bound(m_ids.cbegin(), m_ids.cend(), id);
    return found != m_ids.cend() && *found == id ? qint32(found - m_ids.cbegin()) : -1;
}

void ListedTitles::Step(qint64 id, std::vector<qint32> &group)
{
    if (group.empty())
        ++m_group; // none of this group's titles seen yet: a number of its own
    if (!m_entries.empty()) {
        const quint64 at = quint64(id) - quint64(m_first);
        if (at >= m_entries.size())
            return;
        Entry &entry = m_entries[at];
        if (entry.slot < 0 || entry.seenIn == m_group)
            return;
        entry.seenIn = m_group;
        group.push_back(entry.slot);
        return;
    }
    const qint32 slot = slotOf(id);
    if (slot < 0 || m_seenIn[slot] == m_group)
        return;
    m_seenIn[slot] = m_group;
    group.push_back(slot);
}

void ListedTitles::mark(qint32 slot)
{
    if (!m_hasValue[slot]) {
        m_hasValue[slot] = true;
        ++m_marked;
    }
}

void ListedTitles::MarkGroup()
{
    for (const qint32 slot : m_lastGroup)
        mark(slot);
}

void ListedTitles::MarkAll(const ListedTitles &other)
{
    const auto markId = [this](qint64 id) {
        if (const qint32 slot = slotOf(id); slot >= 0)
            mark(slot);
    };
    for (size_t at = 0; at < other.m_entries.size(); ++at)
        if (const qint32 slot = other.m_entries[at].slot; slot >= 0 && other.m_hasValue[slot])
            markId(qint64(quint64(other.m_first) + at));
    for (size_t at = 0; at < other.m_ids.size(); ++at)
        if (other.m_hasValue[at])
            markId(other.m_ids[at]);
}
