#pragma once

#include <QSqlDatabase>
#include <QString>

// One catalogue connection. Only the connection name is kept: Qt allows removing a
// connection only once no QSqlDatabase copy is alive, and record lists keep no query.
class Connection
{
public:
    Connection();
    ~Connection();
    Q_DISABLE_COPY(Connection)

    // 0 = closed, 1 = open.
    int State() const;

    // ReadOnly: nothing can be written through the connection (a copy being checked).
    enum class Access { ReadWrite, ReadOnly };

    // Opens the catalogue named by Dbq= in the connection string. Never creates a file:
    // a missing, unreadable, locked or non-catalogue file throws DbError.
    void Open(const QString &connectionString, Access access = Access::ReadWrite);
    void Execute(const QString &statement);
    void Close();

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    QSqlDatabase Database() const;
    const QString &Name() const { return m_name; }

    static QString FileFromConnectionString(const QString &connectionString);
    // A connection string naming `file`, read back by FileFromConnectionString.
    static QString ConnectionStringFor(const QString &file);

    // How long a catalogue locked by another process is waited for.
    static constexpr int BusyTimeoutMs = 5000;

private:
    QString m_name;
    bool m_open = false;
};
