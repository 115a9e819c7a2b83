#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

class Connection;
class RawRows;

// One list's titles (0 Inventory, 1 Wishlist), for counting them in the engine: while a
// statement of Run's runs, listed_titles(ID) is an aggregate giving the number of different
// IDs of its group that are the list's titles, so that a million cast rows are counted
// without a value of theirs coming out. The titles of a group can then be marked as having
// a value; the list's other titles have none.
class ListedTitles
{
public:
    static constexpr const char *Aggregate = "listed_titles";

    // Reads the list's IDs; throws DbError.
    ListedTitles(Connection &connection, int list);

    // Runs the statement, `row` called with each of its rows. Throws DbError.
    void Run(Connection &connection, const QString &statement,
             const std::function<void(RawRows &)> &row);

    qint64 Size() const { return m_size; }
    // Where a title of the list is kept, or -1 for an ID not in the list.
    qint64 PlaceOf(qint64 id) const
    {
        if (m_listed.empty())
            return searchedPlaceOf(id);
        const quint64 at = quint64(id) - quint64(m_first);
        return at < m_listed.size() * 64 && ((m_listed[at / 64] >> (at % 64)) & 1u) ? qint64(at)
                                                                                    : -1;
    }
    // From within Run's `row`: the titles of this row's group have a value.
    void MarkGroup();
    void Mark(qint64 place)
    {
        quint64 &word = m_hasValue[size_t(place) / 64];
        const quint64 bit = quint64(1) << (place % 64);
        m_marked += (word & bit) == 0;
        word |= bit;
    }
    // The titles marked in another count of the list (matched by ID).
    void MarkAll(const ListedTitles &other);
    void ClearMarks();
    qint64 Marked() const { return m_marked; }

    // The aggregate's steps (the engine calls them).
    void Step(qint64 id, std::vector<qint64> &group);
    void Finish(std::vector<qint64> &&group) { m_lastGroup = std::move(group); }

private:
    qint64 searchedPlaceOf(qint64 id) const;
    qint64 idAt(qint64 place) const;

    qint64 m_size = 0;
    // A place is ID - m_first where the IDs are close together, else the place in m_ids.
    qint64 m_first = 0;
    std::vector<quint64> m_listed; // a bit per place, where places are IDs
    std::vector<qint64> m_ids;     // sorted, where they are not
    std::vector<quint64> m_hasValue;
    qint64 m_marked = 0;
    // listed_titles' state: per place, the group that counted the title last.
    std::vector<quint32> m_seenIn;
    quint32 m_group = 0;
    std::vector<qint64> m_lastGroup;
};
