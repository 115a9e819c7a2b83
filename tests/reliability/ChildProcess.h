#pragma once

#include <QString>
#include <QStringList>

class QProcess;

// Runs the reliability tests' child program (built beside the tests; see child.cpp for its
// modes), optionally as an unprivileged user: CI runs as root, for whom file permissions
// stop no write.
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

// Starts the child with a mode and its arguments.
void Start(QProcess &child, const QStringList &arguments, User user = User::Same);
// Reads the child's output until it has said `line` (or given up); returns whether it did.
bool WaitFor(QProcess &child, const QByteArray &line, QByteArray *said = nullptr);
// The whole program on `folder` ("child run"), with the fault given, run to its end.
Outcome RunProgram(const QString &folder, const QStringList &fault = {}, User user = User::Same);

// Makes `folder` and everything in it belong to the unprivileged user when running as
// root (and lets that user reach it); otherwise leaves it as it is.
bool HandToUnprivilegedUser(const QString &folder);

} // namespace ChildProcess
