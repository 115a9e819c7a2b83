#pragma once

#include <QString>
#include <QStringList>

class QProcess;

// Runs the reliability helpers (built beside the tests) in child processes, optionally as
// an unprivileged user: CI runs as root, for whom file permissions stop no write.
namespace ChildProcess {

struct Outcome
{
    int status = -1; // -1: crashed, killed or timed out
    QString out;
    QString err;
    QString Text() const;
};

enum class User { Same, Unprivileged };
inline constexpr User Unprivileged = User::Unprivileged;

// Starts a helper executable of the test folder, by name.
void Start(QProcess &child, const QString &helper, const QStringList &arguments,
           User user = User::Same);
// Runs one to its end.
Outcome Run(const QString &helper, const QStringList &arguments, User user = User::Same,
            int timeoutMs = 60000);
// The whole program on `folder` (fault_child), with the fault arguments given.
Outcome RunProgram(const QString &folder, const QStringList &arguments = {},
                   User user = User::Same);

// Makes `folder` and everything in it belong to the unprivileged user when running as
// root (and lets that user reach it); otherwise leaves it as it is.
bool HandToUnprivilegedUser(const QString &folder);

} // namespace ChildProcess
