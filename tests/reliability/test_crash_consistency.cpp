// A worker that adds, modifies and deletes titles through the program's own save and
// delete is killed (SIGKILL) at random moments, again and again on one catalogue. After
// every kill: the catalogue is intact, every title has exactly the genre links and cast
// rows its row names (written by the same save), no link points to a missing title, and
// every change the worker reported committed is there (the one in flight may be too).
#include "Child.h"
#include "TestFolder.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

namespace {

// Title ID -> generation of its last save.
using Generations = QMap<qint64, qint64>;

// Checks every title against the links its row names; returns the generations found.
void checkCatalogue(TestFolder &folder, Generations &found)
{
    QCOMPARE(folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(folder.Scalar("SELECT (SELECT COUNT(*) FROM Genre_Relationships WHERE Title_ID NOT "
                           "IN (SELECT ID FROM DVD_Title)) + (SELECT COUNT(*) FROM "
                           "Cast_Relationships WHERE Movie NOT IN (SELECT ID FROM DVD_Title))")
                 .toInt(),
             0);
    for (const QVariantList &row :
         folder.Rows("SELECT ID, Summary, Features, Eggs, WishList FROM DVD_Title")) {
        const qint64 id = row[0].toLongLong();
        found[id] = row[1].toLongLong();
        QCOMPARE(folder.GenreNames(id).join(';'), row[2].toString());
        QStringList cast;
        for (const QVariantList &member :
             folder.Rows("SELECT Actor || '=' || Character FROM Cast_Relationships WHERE Movie = ? "
                         "ORDER BY rowid",
                         {id}))
            cast << member[0].toString();
        QCOMPARE(cast.join(';'), row[3].toString());
        QCOMPARE(row[4].toInt(), int(found[id] % 2));
    }
}

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtRandomMoments();
};

void TestCrashConsistency::killedAtRandomMoments()
{
    TestFolder folder;
    folder.AddGenre("Children's");
    folder.CloseConnection();
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    QRandomGenerator random(seed);
    Generations state;
    int kills = 0;
    int committed = 0;
    QElapsedTimer clock;
    clock.start();
    for (; kills < 20 && clock.elapsed() < 30000; ++kills) {
        Child worker;
        QVERIFY2(worker.Start({"churn", folder.Path(), QString::number(kills + 1)}, "ready"),
                 worker.Said());
        QThread::msleep(random.bounded(1, 250));
        const bool running = worker.Process().state() == QProcess::Running;
        QVERIFY(worker.Kill());
        const QByteArray said = worker.Said() + worker.Process().readAllStandardOutput();
        QVERIFY2(running, said); // else it stopped on a failure, said at the end

        // What the worker reported committed, and the change begun and not yet reported.
        QList<QByteArray> inFlight;
        for (const QByteArray &line : said.split('\n')) {
            const QList<QByteArray> word = line.split(' ');
            if (word[0] == "begin")
                inFlight = word;
            if (word[0] == "saved")
                state[word.value(1).toLongLong()] = word.value(2).toLongLong();
            if (word[0] == "deleted")
                state.remove(word.value(1).toLongLong());
            if (word[0] == "saved" || word[0] == "deleted") {
                inFlight.clear();
                ++committed;
            }
        }
        Generations found;
        checkCatalogue(folder, found);
        if (QTest::currentTestFailed())
            return;
        folder.CloseConnection();

        Generations expected = state;
        const QByteArray kind = inFlight.value(1);
        const qint64 generation = inFlight.value(kind == "add" ? 2 : 3).toLongLong();
        const qint64 id = kind == "add" ? found.key(generation, -1) : inFlight.value(2).toLongLong();
        if ((kind == "modify" || (kind == "add" && !state.contains(id)))
            && found.value(id) == generation)
            expected[id] = generation;
        if (kind == "delete" && !found.contains(id))
            expected.remove(id);
        QVERIFY2(found == expected, qPrintable(QString("after kill %1").arg(kills + 1)));
        state = found;
    }
    QVERIFY2(kills >= 15, qPrintable(QString("%1 kills").arg(kills)));
    QVERIFY2(committed > kills, qPrintable(QString("%1 changes").arg(committed)));
}

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "test_crash_consistency.moc"
