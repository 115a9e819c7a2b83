#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

// The child program built beside the tests (see child.cpp), killed if still running when
// this goes.
class Child
{
public:
    // Starts `child ARGUMENTS` and waits until it prints `line`; false (with its output in
    // Said()) when it does not.
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
    // SIGKILL: nothing of it runs any more.
    bool Kill()
    {
        m_process.kill();
        return m_process.waitForFinished(30000);
    }
    const QByteArray &Said() const { return m_said; }
    QProcess &Process() { return m_process; }
    ~Child()
    {
        if (m_process.state() != QProcess::NotRunning)
            Kill();
    }

private:
    QProcess m_process;
    QByteArray m_said;
};

// CI runs the tests as root, for whom file permissions stop no write: a test meeting
// read-only files runs as nobody from its start, and so do its children.
inline bool RunAsNobody()
{
    if (::geteuid() != 0)
        return true;
    const passwd *account = ::getpwnam("nobody");
    return account && ::setgroups(0, nullptr) == 0 && ::setgid(account->pw_gid) == 0
           && ::setuid(account->pw_uid) == 0;
}
