// A worker that adds, modifies and deletes titles through the program's own save and
// delete is killed (SIGKILL) at random moments, again and again on one catalogue. After
// every kill: the catalogue is intact, every title has exactly the genre links and cast
// rows of the save that wrote its row, no link points to a missing title, and every
// change the worker had reported committed is there (at most the one change in flight
// when it was killed may also be there).
#include "ChildProcess.h"
#include "ChurnPlan.h"
#include "TestFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>

namespace {

// What the log says about the catalogue: title ID -> generation of its last save.
using Generations = QMap<qint64, qint64>;

struct Figures
{
    int kills = 0;
    int killsDuringWrite = 0; // a rollback journal was left behind
    int changesCommitted = 0; // reported by the worker
    int deletions = 0; // of those, deletions
    int changesInFlightFound = 0; // committed, killed before it could report it
    int rowsChecked = 0;
};

// The change the worker had begun and not yet reported when it was killed.
struct InFlight
{
    QString kind; // add, modify, delete, or empty
    qint64 id = 0;
    qint64 generation = 0;
};

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtRandomMoments();

private:
    // Applies the log lines written since `offset`.
    static InFlight readLog(const QString &log, qint64 &offset, Generations &state,
                            Figures &figures);
    // Checks the catalogue after a kill and returns what it holds.
    static Generations checkCatalogue(TestFolder &folder, Figures &figures);
};

InFlight TestCrashConsistency::readLog(const QString &log, qint64 &offset, Generations &state,
                                      Figures &figures)
{
    QFile file(log);
    InFlight inFlight;
    if (!file.open(QIODevice::ReadOnly))
        return inFlight;
    file.seek(offset);
    const QByteArray text = file.readAll();
    offset += text.size();
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> word = line.split(' ');
        if (word.value(0) == "begin") {
            inFlight = {QString::fromLatin1(word.value(1)), 0, 0};
            if (inFlight.kind == "add")
                inFlight.generation = word.value(2).toLongLong();
            else
                inFlight.id = word.value(2).toLongLong();
            if (inFlight.kind == "modify")
                inFlight.generation = word.value(3).toLongLong();
        } else if (word.value(0) == "saved") {
            state[word.value(1).toLongLong()] = word.value(2).toLongLong();
            inFlight = {};
            ++figures.changesCommitted;
        } else if (word.value(0) == "deleted") {
            state.remove(word.value(1).toLongLong());
            inFlight = {};
            ++figures.changesCommitted;
            ++figures.deletions;
        }
    }
    return inFlight;
}

Generations TestCrashConsistency::checkCatalogue(TestFolder &folder, Figures &figures)
{
    Generations found;
    [&] {
        QCOMPARE(folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Genre_Relationships WHERE Title_ID NOT IN "
                               "(SELECT ID FROM DVD_Title) OR Genre_ID NOT IN "
                               "(SELECT Genre_ID FROM Genre)")
                     .toInt(),
                 0);
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Cast_Relationships WHERE Movie NOT IN "
                               "(SELECT ID FROM DVD_Title)")
                     .toInt(),
                 0);
        for (const QVariantList &row : folder.Rows(
                 "SELECT ID, Title, Summary, Features, WishList FROM DVD_Title ORDER BY ID")) {
            const qint64 id = row[0].toLongLong();
            const qint64 generation = ChurnPlan::GenerationOf(row[2].toString());
            QVERIFY2(generation > 0, qPrintable(row[2].toString()));
            QCOMPARE(row[3].toString(), ChurnPlan::Features(generation));
            QCOMPARE(row[4].toInt(), int(generation % 2));

            QStringList genres;
            for (const QVariantList &link : folder.Rows(
                     "SELECT Genre.Genre FROM Genre_Relationships INNER JOIN Genre ON "
                     "Genre.Genre_ID = Genre_Relationships.Genre_ID WHERE Title_ID = ?",
                     {id}))
                genres << link[0].toString();
            QStringList expectedGenres = ChurnPlan::Genres(generation);
            genres.sort();
            expectedGenres.sort();
            QCOMPARE(genres, expectedGenres);

            QVector<QPair<QString, QString>> cast;
            for (const QVariantList &member : folder.Rows(
                     "SELECT Actor, Character FROM Cast_Relationships WHERE Movie = ? "
                     "ORDER BY rowid",
                     {id}))
                cast << qMakePair(member[0].toString(), member[1].toString());
            QCOMPARE(cast, ChurnPlan::Cast(generation));
            found[id] = generation;
            figures.rowsChecked += 1 + int(genres.size()) + int(cast.size());
        }
    }();
    return found;
}

void TestCrashConsistency::killedAtRandomMoments()
{
    TestFolder folder;
    folder.AddGenre("Children's");
    const int genres = folder.Scalar("SELECT COUNT(*) FROM Genre").toInt();
    folder.CloseConnection();
    QTemporaryDir logFolder;
    const QString log = logFolder.filePath("changes.log");
    const QString journal = folder.CataloguePath() + "-journal";

    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    QRandomGenerator random(seed);
    Figures figures;
    Generations state;
    qint64 offset = 0;
    int lost = 0;
    QElapsedTimer clock;
    clock.start();
    for (int run = 1; figures.kills < 30 && clock.elapsed() < 40000; ++run) {
        QProcess worker;
        ChildProcess::Start(worker, {"churn", folder.Path(), QString::number(run), log});
        QByteArray output;
        QVERIFY2(ChildProcess::WaitFor(worker, "ready", &output), output);
        QThread::msleep(random.bounded(1, 250));
        QVERIFY2(worker.state() == QProcess::Running,
                 worker.readAllStandardOutput() + worker.readAllStandardError());
        worker.kill();
        QVERIFY(worker.waitForFinished(10000));
        QCOMPARE(worker.exitStatus(), QProcess::CrashExit);
        ++figures.kills;
        if (QFileInfo(journal).size() > 0)
            ++figures.killsDuringWrite;

        const InFlight inFlight = readLog(log, offset, state, figures);
        const Generations found = checkCatalogue(folder, figures);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Genre").toInt(), genres);
        folder.CloseConnection();

        // The catalogue holds what the log reports, plus at most the change in flight.
        Generations expected = state;
        if (inFlight.kind == "modify" && found.value(inFlight.id) == inFlight.generation)
            expected[inFlight.id] = inFlight.generation;
        if (inFlight.kind == "delete" && !found.contains(inFlight.id))
            expected.remove(inFlight.id);
        if (inFlight.kind == "add") {
            const auto added = std::find(found.cbegin(), found.cend(), inFlight.generation);
            if (added != found.cend() && !state.contains(added.key()))
                expected[added.key()] = inFlight.generation;
        }
        if (expected != state)
            ++figures.changesInFlightFound;
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            if (found.value(it.key(), -1) != it.value())
                ++lost;
        QVERIFY2(found == expected, qPrintable(QString("after kill %1").arg(figures.kills)));
        state = found;
    }
    QVERIFY2(figures.kills >= 20, qPrintable(QString("%1 kills").arg(figures.kills)));
    QVERIFY2(figures.changesCommitted > figures.kills,
             qPrintable(QString("%1 changes").arg(figures.changesCommitted)));
    QCOMPARE(lost, 0);

    // The program itself starts on what is left and lists the Inventory titles.
    const int inventory = int(std::count_if(state.cbegin(), state.cend(),
                                            [](qint64 generation) { return generation % 2 == 0; }));
    const ChildProcess::Outcome outcome = ChildProcess::RunProgram(folder.Path());
    QVERIFY2(outcome.status == 0, qPrintable(outcome.Text()));
    QVERIFY2(outcome.out.contains(QString("titles listed: %1\n").arg(inventory)),
             qPrintable(outcome.Text()));

    qInfo("kills %d (during a write %d), changes committed %d (deletions %d), in-flight changes "
          "found %d, titles at the end %d, rows checked %d, rows lost %d",
          figures.kills, figures.killsDuringWrite, figures.changesCommitted, figures.deletions,
          figures.changesInFlightFound, int(state.size()), figures.rowsChecked, lost);
}

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "test_crash_consistency.moc"
