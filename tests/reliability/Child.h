#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

// The child program built beside the tests (see child.cpp), killed when this goes.
class Child
{
public:
    // Starts `child ARGUMENTS`; true once it prints `line` (else its output is in Said()).
    bool Start(const QStringList &arguments, const QByteArray &line)
    {
        m_process.start(QCoreApplication::applicationDirPath() + "/child", arguments);
        while (!m_said.contains(line + '\n') && m_process.waitForReadyRead(30000))
            m_said += m_process.readAllStandardOutput();
        m_said += m_process.readAllStandardError();
        return m_said.contains(line + '\n');
    }
    // A line on its input ends what it holds; true when it then ends normally.
    bool Finish()
    {
        m_process.write("\n");
        m_process.closeWriteChannel();
        return m_process.waitForFinished(30000) && m_process.exitStatus() == QProcess::NormalExit
               && m_process.exitCode() == 0;
    }
    bool Kill()
    {
        m_process.kill();
        return m_process.waitForFinished(30000);
    }
    const QByteArray &Said() const { return m_said; }
    QProcess &Process() { return m_process; }
    ~Child() { Kill(); }

private:
    QProcess m_process;
    QByteArray m_said;
};

// CI runs the tests as root, for whom file permissions stop no write: a test meeting
// read-only files runs as nobody from its start, and so do its children.
inline bool RunAsNobody()
{
    const passwd *account = ::getpwnam("nobody");
    return ::geteuid() != 0
           || (account && ::setgroups(0, nullptr) == 0 && ::setgid(account->pw_gid) == 0
               && ::setuid(account->pw_uid) == 0);
}

inline constexpr auto ReadOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;

// What a folder holds, to check that nothing was made or left in it.
inline QStringList Entries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}
