// The reliability tests' other process:
//   child hold FOLDER lock|exclusive|copy [MS]
//     Holds a write transaction (exclusive: readers kept out too) or the lock of a running
//     copy; prints "locked" and keeps it until a line is read or, with MS, for that long.
#include "Connection.h"
#include "CopyLock.h"
#include "Module1.h"

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <iostream>

namespace {

void say(const QString &line) // at once: the test waits for it
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// SQLite's file locks belong to the process: only another process can hold them against
// the program under test.
int hold(const QString &folder, const QByteArray &what, int forMs)
{
    Module1 shared(folder);
    shared.InitializeDatabasePath();
    Connection connection;
    if (what == "copy") {
        if (CopyLock::Take(folder + "/dvd_collection.mdb") != CopyLock::Taken)
            return 2;
    } else {
        connection.Open(shared.ConnectionString);
        connection.Execute(what == "exclusive" ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE");
    }
    say("locked");
    if (forMs > 0) {
        QThread::msleep(forMs);
    } else {
        std::string line;
        std::getline(std::cin, line);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4 || QByteArray(argv[1]) != "hold")
        return 2;
    return hold(QString::fromLocal8Bit(argv[2]), argv[3],
                argc > 4 ? QByteArray(argv[4]).toInt() : 0);
}
