#pragma once

#include "DbError.h"

#include <QElapsedTimer>
#include <QString>

class QSqlQuery;

// A catalogue that another program (a backup tool, a second copy) keeps locked for longer
// than the busy timeout is not a broken catalogue. Reads ask the installed waiter whether
// to try again instead of failing at once; with no waiter installed they fail as before.
class LockWaiter
{
public:
    virtual ~LockWaiter() = default;

    // A read found the catalogue locked again, waitedMs after it started. True: try
    // once more (each try waits up to the busy timeout); false: the read fails.
    virtual bool KeepWaiting(qint64 waitedMs) = 0;
    // The read that was kept waiting is over, read or failed.
    virtual void Finished() = 0;

    // The program's waiter, or nullptr. Not owned.
    static void Install(LockWaiter *waiter);
    static LockWaiter *Installed();
};

namespace LockWait {

// SQLITE_BUSY or SQLITE_LOCKED.
bool IsLock(const DbError &error);

// Every read runs its statement here: a lock is waited for as the installed waiter says;
// any other failure, or a lock not waited out, throws DbError.
void Exec(QSqlQuery &query, const QString &statement);

// One read's tries. Call WaitOn with each failure: true means try again.
class Attempts
{
public:
    Attempts() { m_clock.start(); }
    ~Attempts();
    Attempts(const Attempts &) = delete;
    Attempts &operator=(const Attempts &) = delete;

    bool WaitOn(const DbError &error);

private:
    QElapsedTimer m_clock;
    LockWaiter *m_waiter = nullptr;
};

// Runs a write (or any work) again after each lock the installed waiter waits out, as reads
// are: work must hold nothing once it has thrown (its transaction rolled back, its connection
// closed), so that the other program can finish meanwhile. Any other failure is thrown.
template<typename Work>
auto Retrying(Work &&work) -> decltype(work())
{
    Attempts attempts;
    for (;;) {
        try {
            return work();
        } catch (const DbError &error) {
            if (!attempts.WaitOn(error))
                throw;
        }
    }
}

// While one lives, a locked read of its thread fails after the busy timeout without waiting
// on: for callers that answer a lock themselves (a save keeps its window open; an editor
// step offers Retry and Cancel; a worker thread, which must show no window).
class AnswerLocksHere
{
public:
    AnswerLocksHere();
    ~AnswerLocksHere();
    Q_DISABLE_COPY(AnswerLocksHere)
};

} // namespace LockWait
