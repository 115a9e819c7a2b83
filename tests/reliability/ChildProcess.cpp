#include "ChildProcess.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <pwd.h>
#include <unistd.h>

namespace ChildProcess {

QString Outcome::Text() const
{
    return QStringLiteral("status %1\nstdout: %2\nstderr: %3").arg(status).arg(out, err);
}

void Start(QProcess &child, const QStringList &arguments, User user)
{
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/child");
    QStringList all = arguments;
    if (user == User::Unprivileged && ::geteuid() == 0) {
        all = QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                          QStringLiteral("--clear-groups"), program}
              + arguments;
        program = QStringLiteral("setpriv");
    }
    child.start(program, all);
}

bool WaitFor(QProcess &child, const QByteArray &line, QByteArray *said)
{
    QByteArray output;
    while (!output.contains(line + '\n') && child.waitForReadyRead(30000))
        output += child.readAllStandardOutput();
    if (said)
        *said = output + child.readAllStandardError();
    return output.contains(line + '\n');
}

Outcome RunProgram(const QString &folder, const QStringList &fault, User user)
{
    QProcess child;
    Start(child, QStringList{QStringLiteral("run"), folder} + fault, user);
    Outcome outcome;
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
    } else if (child.exitStatus() == QProcess::NormalExit) {
        outcome.status = child.exitCode();
    }
    outcome.out = QString::fromUtf8(child.readAllStandardOutput());
    outcome.err = QString::fromUtf8(child.readAllStandardError());
    return outcome;
}

bool HandToUnprivilegedUser(const QString &folder)
{
    if (::geteuid() != 0)
        return true;
    const passwd *account = ::getpwnam("nobody");
    if (!account)
        return false;
    bool ok = ::chown(QFile::encodeName(folder).constData(), account->pw_uid, account->pw_gid) == 0
              && QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner
                                                   | QFile::ExeOwner | QFile::ReadGroup
                                                   | QFile::ExeGroup | QFile::ReadOther
                                                   | QFile::ExeOther);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ok = ::lchown(QFile::encodeName(it.next()).constData(), account->pw_uid,
                      account->pw_gid) == 0
             && ok;
    return ok;
}

} // namespace ChildProcess
