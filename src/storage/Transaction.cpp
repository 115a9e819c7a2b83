#include "Transaction.h"

#include "Connection.h"

#include <QString>

Transaction::Transaction(Connection &connection, Lock lock) : m_connection(connection)
{
    if (lock == Lock::Immediate)
        m_connection.Execute(QStringLiteral("BEGIN IMMEDIATE"));
    else
        m_connection.BeginTrans();
}

Transaction::~Transaction()
{
    if (!m_done && m_connection.State() == 1)
        m_connection.RollbackTrans();
}

void Transaction::Commit()
{
    m_connection.CommitTrans();
    m_done = true;
}

void Transaction::Rollback()
{
    if (!m_done)
        m_connection.RollbackTrans();
    m_done = true;
}
