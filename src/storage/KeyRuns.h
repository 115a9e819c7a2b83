#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <mutex>
#include <optional>
#include <vector>

class Connection;
class ListedTitles;

// One list's titles per run of keys NOCASE calls equal, counted in one scan of an index on
// (key COLLATE NOCASE, ID): listed_runs(Key, ID) is one aggregate over the whole scan, where
// a GROUP BY would compare every row's key through the collation, which costs more than
// reading the row. Two scans, one from each end of the index, can share the work: each stops
// at the first run the other has begun.
class KeyRuns
{
public:
    static constexpr const char *Aggregate = "listed_runs";

    struct Run
    {
        QByteArray key; // the first spelling met, as stored
        qint64 titles = 0;
    };

    // Where two scans of one index, one from each end, have got to.
    class Meeting
    {
    public:
        // Whether the scan may count the run of `key`, which it is beginning.
        bool Claim(bool downward, QByteArrayView key);

    private:
        std::mutex m_mutex;
        std::optional<QByteArray> m_up; // the run each has begun last
        std::optional<QByteArray> m_down;
    };

    // `downward`: from the end of the index. `titles` gets the marks.
    explicit KeyRuns(ListedTitles &titles, bool downward = false, Meeting *meeting = nullptr);

    // Runs a statement of listed_runs over the index: the runs of keys that are not blank
    // (spaces only, or Null) with a title of the list, in the scan's order, their titles
    // marked. Empty, and the marks cleared, when the rows came out of their keys' order (an
    // index other than the one expected). Throws DbError.
    std::optional<std::vector<Run>> Count(Connection &connection, const QString &statement);

    // The aggregate's step (the engine calls it); false to end the scan here.
    bool Step(QByteArrayView key, qint64 id);
    // After the last step: what Count gives.
    std::optional<std::vector<Run>> Finish();

private:
    bool stop(bool outOfOrder);
    void countTitle(qint64 id);
    void endRun();

    ListedTitles &m_titles;
    const bool m_downward;
    Meeting *const m_meeting;
    bool m_started = false;
    bool m_blank = false;
    bool m_outOfOrder = false;
    bool m_stopped = false;
    QByteArray m_key; // the last row's spelling
    qint64 m_lastId = 0;
    Run m_current;
    std::vector<Run> m_ended;
};
