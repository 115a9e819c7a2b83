#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>
#include <QVector>
#include <functional>
#include <vector>

class Connection;
class QSqlQuery;

// What the find box searches: for every title of both lists, its title, edition,
// director(s), cast (actors and characters) and current borrower, each made bare by Letters::Bare
// and kept as UTF-8 in one buffer. A query matches a title when every one of its words appears in
// that text; words are plain text (no wildcards), compared bare as well.
class TitleFinder
{
public:
    // Progress of a build: titles read so far and in all; false cancels the build.
    using Progress = std::function<bool(int done, int total)>;

    // Reads every title from the catalogue; a failed read throws DbError. Cancelled, the
    // finder keeps what it had and returns false.
    bool Build(Connection &connection, const Progress &progress = {});
    bool IsBuilt() const { return m_built; }
    // Reads one title again after it was added or changed, or drops it once it is gone,
    // so the finder holds what a new Build would. Does nothing before a Build; a failed
    // read throws DbError and leaves the finder as it was.
    void Update(Connection &connection, qint64 id);

    // The list the matches are taken from: its rows' IDs, top to bottom.
    void SetRows(const QVector<qint64> &ids);

    // The words of a query, bare; words that are nothing once bare (a lone accent) are
    // left out. No words: the query filters nothing.
    static QList<QByteArray> Words(QStringView query);
    // The rows (indexes into SetRows' list, in its order) whose title has every word. The
    // titles matched are kept: when every word of the last query lies within a word of this
    // one, this one can only narrow it, and only those titles are looked at.
    QVector<int> MatchingRows(const QList<QByteArray> &words);
    // The query has ended (the box emptied): the next one is matched against every title.
    void ForgetLastQuery();

private:
    // One title's entry, from a row of the searchable titles' statement: each text bare,
    // each followed by '\n'.
    static void appendEntry(QByteArray &text, const QSqlQuery &row);
    void indexRows();
    // The titles (slots, ascending) whose text holds the word, every title looked at.
    std::vector<int> titlesWith(const QByteArray &word) const;
    bool titleHas(int slot, const QByteArray &word, quint64 bytes) const;

    QByteArray m_text;           // each title's texts, each followed by '\n'
    QVector<qsizetype> m_starts; // where each title's text starts; one past the last too
    QVector<qint64> m_ids;       // each title's ID, in the order of m_starts
    // Per title, the bytes its text holds: a bit for each letter a to z and digit, the other
    // bytes sharing the rest. A title lacking one of a word's bytes is passed over, and a
    // word of one letter or digit is answered, without the title's text being read.
    QVector<quint64> m_bytes;
    QVector<qint64> m_rowIds;
    QVector<int> m_rowSlots; // per list row, its title in the index or -1
    bool m_built = false;
    QList<QByteArray> m_lastWords; // the last query, and the titles it matched (slots)
    std::vector<int> m_lastSlots;
    bool m_lastKept = false;
};
