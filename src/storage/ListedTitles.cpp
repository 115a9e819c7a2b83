#include "ListedTitles.h"

#include "BrowseStatements.h"
#include "Connection.h"
#include "EngineAggregate.h"
#include "RawRows.h"

#include <algorithm>
#include <bit>

#include <sqlite3.h>

namespace {

// What the engine keeps for one group between the aggregate's steps.
struct Group
{
    std::vector<qint64> *titles;
};

void step(sqlite3_context *context, int, sqlite3_value **values)
{
    auto *group = static_cast<Group *>(sqlite3_aggregate_context(context, sizeof(Group)));
    if (!group) {
        sqlite3_result_error_nomem(context);
        return;
    }
    if (!group->titles)
        group->titles = new std::vector<qint64>;
    static_cast<ListedTitles *>(sqlite3_user_data(context))
        ->Step(sqlite3_value_int64(values[0]), *group->titles);
}

void finish(sqlite3_context *context)
{
    auto *group = static_cast<Group *>(sqlite3_aggregate_context(context, 0));
    std::vector<qint64> found;
    if (group && group->titles) {
        found = std::move(*group->titles);
        delete group->titles;
        group->titles = nullptr;
    }
    sqlite3_result_int64(context, qint64(found.size()));
    static_cast<ListedTitles *>(sqlite3_user_data(context))->Finish(std::move(found));
}

void setBit(std::vector<quint64> &bits, qint64 at)
{
    bits[size_t(at) / 64] |= quint64(1) << (at % 64);
}

} // namespace

ListedTitles::ListedTitles(Connection &connection, int list)
{
    for (RawRows rows(connection, BrowseStatements::ListTitles(list)); rows.Next();)
        m_ids.push_back(rows.Integer(0));
    m_size = qint64(m_ids.size());
    qint64 places = m_size;
    if (!m_ids.empty()) {
        const auto [low, high] = std::minmax_element(m_ids.cbegin(), m_ids.cend());
        const quint64 span = quint64(*high) - quint64(*low) + 1;
        if (span <= 4 * quint64(m_ids.size()) + (1u << 20)) {
            m_first = *low;
            places = qint64(span);
            m_listed.assign((span + 63) / 64, 0);
            for (const qint64 id : m_ids)
                setBit(m_listed, qint64(quint64(id) - quint64(m_first)));
            m_ids = {}; // the bits know every ID now
        } else {
            std::sort(m_ids.begin(), m_ids.end()); // scattered too wide for a bit per ID
        }
    }
    m_hasValue.assign((size_t(places) + 63) / 64, 0);
}

void ListedTitles::Run(Connection &connection, const QString &statement,
                       const std::function<void(RawRows &)> &row)
{
    const EngineAggregate registered(connection, Aggregate, 1, this, step, finish);
    RawRows rows(connection, statement);
    while (rows.Next())
        row(rows);
}

qint64 ListedTitles::searchedPlaceOf(qint64 id) const
{
    const auto found = std::lower_bound(m_ids.cbegin(), m_ids.cend(), id);
    return found != m_ids.cend() && *found == id ? qint64(found - m_ids.cbegin()) : -1;
}

void ListedTitles::Step(qint64 id, std::vector<qint64> &group)
{
    if (group.empty())
        ++m_group; // none of this group's titles seen yet: a number of its own
    const qint64 place = PlaceOf(id);
    if (place < 0)
        return;
    if (m_seenIn.empty())
        m_seenIn.assign(m_hasValue.size() * 64, 0);
    if (m_seenIn[size_t(place)] == m_group)
        return;
    m_seenIn[size_t(place)] = m_group;
    group.push_back(place);
}

void ListedTitles::MarkGroup()
{
    for (const qint64 place : m_lastGroup)
        Mark(place);
}

qint64 ListedTitles::idAt(qint64 place) const
{
    return m_listed.empty() ? m_ids[size_t(place)] : qint64(quint64(m_first) + quint64(place));
}

void ListedTitles::MarkAll(const ListedTitles &other)
{
    for (size_t word = 0; word < other.m_hasValue.size(); ++word)
        for (quint64 bits = other.m_hasValue[word]; bits != 0; bits &= bits - 1)
            if (const qint64 place =
                    PlaceOf(other.idAt(qint64(word * 64) + std::countr_zero(bits)));
                place >= 0)
                Mark(place);
}

void ListedTitles::ClearMarks()
{
    std::fill(m_hasValue.begin(), m_hasValue.end(), 0);
    m_marked = 0;
}
