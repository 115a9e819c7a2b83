#pragma once

class Connection;

// A transaction on an open connection, rolled back when it leaves scope uncommitted
// (a statement inside threw): Transaction t(connection); ...; t.Commit();
class Transaction
{
public:
    // Deferred takes the write lock at the first change; Immediate takes it at once, so a
    // catalogue locked by another program fails here, before anything is written.
    enum class Lock { Deferred, Immediate };

    // Begins the transaction; throws DbError when it cannot.
    explicit Transaction(Connection &connection, Lock lock = Lock::Deferred);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Throws DbError when the commit fails; the transaction is then rolled back on leaving.
    void Commit();
    // Ends it early without writing anything (a check inside found nothing to save).
    void Rollback();

private:
    Connection &m_connection;
    bool m_done = false;
};
