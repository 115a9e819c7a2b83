#include "LockWait.h"

#include "DbError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
LockWaiter *g_waiter = nullptr;
// Per thread: a worker thread that answers its locks itself never reaches the waiter,
// which shows windows.
thread_local int g_answeredHere = 0;
} // namespace

void LockWaiter::Install(LockWaiter *waiter)
{
    g_waiter = waiter;
}

LockWaiter *LockWaiter::Installed()
{
    return g_waiter;
}

namespace LockWait {

bool IsLock(const DbError &error)
{
    return error.Number() == 5 || error.Number() == 6;
}

void Exec(QSqlQuery &query, const QString &statement)
{
    Attempts attempts;
    while (!query.exec(statement)) {
        const DbError error = DbError::FromSql(query.lastError());
        if (!attempts.WaitOn(error))
            throw error;
    }
}

Attempts::~Attempts()
{
    if (m_waiter)
        m_waiter->Finished();
}

bool Attempts::WaitOn(const DbError &error)
{
    if (!IsLock(error) || g_answeredHere > 0)
        return false;
    if (!m_waiter) {
        if (!g_waiter)
            return false;
        m_waiter = g_waiter;
    }
    return m_waiter->KeepWaiting(m_clock.elapsed());
}

AnswerLocksHere::AnswerLocksHere()
{
    ++g_answeredHere;
}

AnswerLocksHere::~AnswerLocksHere()
{
    --g_answeredHere;
}

} // namespace LockWait
