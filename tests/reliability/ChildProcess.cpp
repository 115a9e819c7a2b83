#include "ChildProcess.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <pwd.h>
#include <unistd.h>

namespace ChildProcess {

namespace {
const char *const kUser = "nobody";
}

QString Outcome::Text() const
{
    return QStringLiteral("status %1\nstdout: %2\nstderr: %3").arg(status).arg(out, err);
}

void Start(QProcess &child, const QString &helper, const QStringList &arguments, User user)
{
    QString program = QCoreApplication::applicationDirPath() + QLatin1Char('/') + helper;
    QStringList all = arguments;
    if (user == User::Unprivileged && ::geteuid() == 0) {
        all = QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                          QStringLiteral("--clear-groups"), program}
              + arguments;
        program = QStringLiteral("setpriv");
    }
    child.start(program, all);
}

Outcome Run(const QString &helper, const QStringList &arguments, User user, int timeoutMs)
{
    QProcess child;
    Start(child, helper, arguments, user);
    Outcome outcome;
    if (!child.waitForFinished(timeoutMs)) {
        child.kill();
        child.waitForFinished();
    } else if (child.exitStatus() == QProcess::NormalExit) {
        outcome.status = child.exitCode();
    }
    outcome.out = QString::fromUtf8(child.readAllStandardOutput());
    outcome.err = QString::fromUtf8(child.readAllStandardError());
    return outcome;
}

Outcome RunProgram(const QString &folder, const QStringList &arguments, User user)
{
    return Run(QStringLiteral("fault_child"), QStringList{folder} + arguments, user);
}

bool HandToUnprivilegedUser(const QString &folder)
{
    if (::geteuid() != 0)
        return true;
    const passwd *account = ::getpwnam(kUser);
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
