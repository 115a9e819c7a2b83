#include "KeyRuns.h"

#include "Connection.h"
#include "DbError.h"
#include "EngineAggregate.h"
#include "ListedTitles.h"
#include "RawRows.h"

#include <algorithm>
#include <cstring>

#include <sqlite3.h>

namespace {

void step(sqlite3_context *context, int, sqlite3_value **values)
{
    // Null reads as no text: a blank key.
    const auto *key = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
    if (!static_cast<KeyRuns *>(sqlite3_user_data(context))
             ->Step(QByteArrayView(key, key ? sqlite3_value_bytes(values[0]) : 0),
                    sqlite3_value_int64(values[1])))
        sqlite3_result_error(context, "the scan ends here", -1);
}

void finish(sqlite3_context *context)
{
    sqlite3_result_null(context); // the runs are read from the KeyRuns
}

// SQLite's NOCASE: ASCII letters folded, then the shorter first.
int nocaseOrder(QByteArrayView left, QByteArrayView right)
{
    const qsizetype common = std::min(left.size(), right.size());
    const int order = common > 0 ? sqlite3_strnicmp(left.data(), right.data(), int(common)) : 0;
    return order != 0 ? order : int(left.size() - right.size());
}

// The connection's unordered scans read backwards while this lives.
class Backwards
{
public:
    explicit Backwards(Connection &connection) : m_connection(connection)
    {
        m_connection.Execute(QStringLiteral("PRAGMA reverse_unordered_selects = ON"));
    }
    ~Backwards()
    {
        try {
            m_connection.Execute(QStringLiteral("PRAGMA reverse_unordered_selects = OFF"));
        } catch (const DbError &) {
            // the connection is being given up
        }
    }
    Q_DISABLE_COPY(Backwards)

private:
    Connection &m_connection;
};

} // namespace

bool KeyRuns::Meeting::Claim(bool downward, QByteArrayView key)
{
    const std::lock_guard lock(m_mutex);
    if (downward) {
        if (m_up && nocaseOrder(key, *m_up) <= 0)
            return false;
        m_down = key.toByteArray();
    } else {
        if (m_down && nocaseOrder(key, *m_down) >= 0)
            return false;
        m_up = key.toByteArray();
    }
    return true;
}

KeyRuns::KeyRuns(ListedTitles &titles, bool downward, Meeting *meeting)
    : m_titles(titles), m_downward(downward), m_meeting(meeting)
{
}

std::optional<std::vector<KeyRuns::Run>> KeyRuns::Count(Connection &connection,
                                                        const QString &statement)
{
    std::optional<Backwards> backwards;
    if (m_downward)
        backwards.emplace(connection);
    try {
        const EngineAggregate registered(connection, Aggregate, 2, this, step, finish);
        for (RawRows rows(connection, statement); rows.Next();) {}
    } catch (const DbError &) {
        if (!m_stopped) // the engine's failure, not Step ending the scan
            throw;
    }
    return Finish();
}

std::optional<std::vector<KeyRuns::Run>> KeyRuns::Finish()
{
    if (m_outOfOrder) {
        m_titles.ClearMarks();
        return std::nullopt;
    }
    endRun();
    return std::move(m_ended);
}

bool KeyRuns::Step(QByteArrayView key, qint64 id)
{
    const bool sameBytes =
        m_started && key.size() == m_key.size()
        && (key.isEmpty() || std::memcmp(key.data(), m_key.constData(), size_t(key.size())) == 0);
    if (!sameBytes) {
        int order = -1; // a run after the last
        if (m_started)
            order = m_downward ? nocaseOrder(key, m_key) : nocaseOrder(m_key, key);
        if (order > 0)
            return stop(true);
        m_key = key.toByteArray();
        if (order < 0) {
            endRun();
            if (m_meeting && !m_meeting->Claim(m_downward, key))
                return stop(false);
            m_started = true;
            m_blank = std::all_of(key.begin(), key.end(), [](char c) { return c == ' '; });
            m_current = {m_key, 0};
            m_lastId = id;
            countTitle(id);
            return true;
        }
    }
    // Within a run the IDs come in order: a title's rows are together.
    if (id == m_lastId)
        return true;
    if ((id < m_lastId) != m_downward)
        return stop(true);
    m_lastId = id;
    countTitle(id);
    return true;
}

bool KeyRuns::stop(bool outOfOrder)
{
    m_stopped = true;
    m_outOfOrder = outOfOrder;
    return false;
}

void KeyRuns::countTitle(qint64 id)
{
    if (const qint64 place = m_titles.PlaceOf(id); place >= 0) {
        ++m_current.titles;
        if (!m_blank)
            m_titles.Mark(place);
    }
}

void KeyRuns::endRun()
{
    if (m_started && !m_blank && m_current.titles > 0)
        m_ended.push_back(std::move(m_current));
    m_current = {};
    m_started = false;
}
