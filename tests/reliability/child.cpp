// The reliability tests' other process, in one of two modes:
//   child hold FOLDER lock|exclusive|copy [MS]
//     Holds a write transaction (exclusive: readers kept out too) or the lock of a running
//     copy; prints "locked" and keeps it until a line is read or, with MS, for that long.
//   child churn FOLDER SEED
//     Adds, modifies and deletes titles through the program's own save and delete until
//     killed, each save numbered (its generation, in the title's Summary). Prints "ready",
//     a line before each change ("begin save GEN", "begin delete ID") and one once
//     committed ("saved ID GEN", "deleted ID").
#include "Connection.h"
#include "CopyLock.h"
#include "EditorFixture.h"
#include "MessageBox.h"
#include "RecordList.h"
#include "TitleCommands.h"
#include "frmModify3.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>
#include <iostream>

namespace {

void say(const QString &line) // at once: the test reads what was said before the kill
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

QVector<qint64> currentTitles(const Module1 &shared)
{
    Connection connection;
    connection.Open(shared.ConnectionString);
    RecordList list;
    list.Open("SELECT ID FROM DVD_Title ORDER BY ID", connection);
    QVector<qint64> titles;
    for (; !list.Eof(); list.MoveNext())
        titles << list.Value(0).toLongLong();
    return titles;
}

int churn(const QString &folder, qint64 seed)
{
    Module1 shared(folder);
    frmMain main(shared);
    main.Form_Load();
    say("ready");

    MessageBox::RecordForTesting();
    QRandomGenerator random{quint32(seed)};
    for (qint64 n = 0, generation = seed * 1000000;; ++n) { // later runs, later generations
        const auto titles = currentTitles(shared);
        const int choice = int(random.bounded(10));
        // The deletion question, and a failure's message (which ends the loop).
        MessageBox::Reset();
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        ++generation;
        const bool add = titles.size() < 6 || (choice < 3 && titles.size() < 40);
        const qint64 id = add ? 0 : titles[int(random.bounded(int(titles.size())))];
        shared.SelectedTitleId = id;
        if (!add && choice >= 8) {
            say(QString("begin delete %1").arg(id));
            TitleCommands(shared, main).DeleteTitle();
            if (MessageBox::Shown().size() != 1)
                break;
            say(QString("deleted %1").arg(id));
            continue;
        }
        // The row says which links go with it: its genres in Features, its cast in Eggs.
        const QStringList pool{"Action", "Children's", "Comedy", "Drama",
                               "Sci-Fi", "War",        "Western"};
        const QStringList genres = pool.mid(generation % 4, 1 + generation % 4);
        CastPairs cast;
        QStringList castText;
        for (qint64 j = 0; j < generation % 13; ++j) {
            cast.append({QString("Actor %1 O'Neil").arg(j), QString("Role \"%1\"").arg(j)});
            castText << cast.last().first.toString() + "=" + cast.last().second.toString();
        }
        const QString title = QString("Churn %1-%2 'n' \"q\"").arg(seed).arg(n);
        FillEditBuffer(shared, add ? "No" : "Yes", title, genres, cast);
        shared.SetEditFacts({title, "", "1999", "D'Irector", QString::number(generation),
                             genres.join(';'), castText.join(';'), int(generation % 2)});
        say(QString("begin save %1").arg(generation));
        if (!frmModify3(shared, main).SaveTitle())
            break;
        say(QString("saved %1 %2")
                .arg(add ? currentTitles(shared).constLast() : id)
                .arg(generation));
    }
    say("stopped: " + MessageBox::Shown().join(" | ")); // a save or deletion failed
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QByteArray mode(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (mode == "hold")
        return hold(folder, argv[3], argc > 4 ? QByteArray(argv[4]).toInt() : 0);
    if (mode == "churn")
        return churn(folder, QByteArray(argv[3]).toLongLong());
    return 2;
}
