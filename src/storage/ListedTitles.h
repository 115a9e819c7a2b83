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
    // From within Run's `row`: the titles of this row's group have a value.
    void MarkGroup();
    // The titles marked in another count of the same list (by ID).
    void MarkAll(const ListedTitles &other);
    qint64 Marked() const { return m_marked; }

    // The aggregate's steps (the engine calls them).
    void Step(qint64 id, std::vector<qint32> &group);
    void Finish(std::vector<qint32> &&group) { m_lastGroup = std::move(group); }

private:
    qint32 slotOf(qint64 id) const;
    void mark(qint32 slot);

    qint64 m_size = 0;
    // Where the IDs are close enough: by ID - m_first, the title's slot (or -1) and the group
    // that counted it last. Else m_ids, sorted and searched, a title's slot its index there.
    struct Entry
    {
        qint32 slot = -1;
        quint32 seenIn = 0;
    };
    std::vector<Entry> m_entries;
    qint64 m_first = 0;
    std::vector<qint64> m_ids;
    std::vector<quint32> m_seenIn; // by slot, when m_entries is not used
    quint32 m_group = 0;
    std::vector<qint32> m_lastGroup;
    std::vector<bool> m_hasValue;
    qint64 m_marked = 0;
};
