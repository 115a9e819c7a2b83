// Runs the benchmark rows on generated program folders and writes the results page.
//   reelvane_bench [--out RESULTS.md] [--rows 1,2,3] FOLDER...
//   reelvane_bench --memory-child bare | main FOLDER   (used by the memory row)
#include "Benchmarks.h"
#include "PeakMemory.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QThread>
#include <cstdio>
#include <functional>

namespace {

QString cpuModel()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly | QIODevice::Text))
        for (QByteArray line = cpuinfo.readLine(); !line.isEmpty(); line = cpuinfo.readLine())
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown processor");
}

// The machine's load as `uptime` gives it, when the run starts.
QString loadNow()
{
    QProcess uptime;
    uptime.start(QStringLiteral("uptime"), {});
    if (uptime.waitForFinished(5000))
        return QString::fromLocal8Bit(uptime.readAllStandardOutput()).trimmed();
    return QStringLiteral("unknown");
}

QString machine(const RawQueries &raw, const QString &load)
{
    return QStringLiteral("Written by `bash bench/run.sh` on %1. Machine: %2, %3 cores (shared "
                          "with other work), %4. Qt %5, SQLite %6, Qt platform \"%7\", Release "
                          "build. Load at the start of the run (`uptime`): `%8`.")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm t")),
             cpuModel(), QString::number(QThread::idealThreadCount()),
             QSysInfo::prettyProductName(), QString::fromLatin1(qVersion()),
             raw.Scalar(QStringLiteral("SELECT sqlite_version()")).toString(),
             QGuiApplication::platformName(), load);
}

// The offscreen platform warns on every window shown; nothing to act on here.
QtMessageHandler g_defaultHandler = nullptr;
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.contains(QLatin1String("propagateSizeHints")))
        g_defaultHandler(type, context, text);
}

void say(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    g_defaultHandler = qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    // What the program remembers (the browse panel shown, ...) stays out of the user's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--memory-child"))
        return PeakMemory::RunChild(args.mid(1));

    QString out;
    const QString load = loadNow();
    QList<int> rows{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                    14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
    QStringList folders;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--out") && i + 1 < args.size()) {
            out = args.at(++i);
        } else if (args.at(i) == QLatin1String("--rows") && i + 1 < args.size()) {
            rows.clear();
            for (const QString &row : args.at(++i).split(QLatin1Char(',')))
                rows << row.toInt();
        } else {
            folders << args.at(i);
        }
    }
    if (folders.isEmpty()) {
        std::fprintf(stderr, "usage: reelvane_bench [--out FILE] [--rows 1,2,...] FOLDER...\n");
        return 2;
    }

    ResultsTable table;
    Benchmarks::DescribeRows(table);
    for (const QString &folder : folders) {
        const RawQueries raw(folder + QStringLiteral("/dvd_collection.mdb"));
        const int titles = raw.Scalar(QStringLiteral("SELECT count(*) FROM DVD_Title")).toInt();
        say(QStringLiteral("== %1 titles (%2)").arg(titles).arg(folder));
        Benchmarks bench(folder, titles, table);
        const std::pair<int, void (Benchmarks::*)()> steps[] = {
            {1, &Benchmarks::MainWindowReady},
            {16, &Benchmarks::OldListFloor},
            {2, &Benchmarks::RowActivation},
            {3, &Benchmarks::ListSwitch},
            {4, &Benchmarks::SaveModifiedTitle},
            {7, &Benchmarks::PeakMemoryOfMainWindow},
            {5, &Benchmarks::GenreManagerOn500Genres},
            {6, &Benchmarks::PasteGenerator},
            {8, &Benchmarks::ExportTitles},
            {9, &Benchmarks::ImportTitles},
            {10, &Benchmarks::BackUpCatalogue},
            {15, &Benchmarks::FirstFind},
            {19, &Benchmarks::FindAfterFocus},
            {20, &Benchmarks::SaveWithQuery},
            {24, &Benchmarks::ImportCollection},
            {17, &Benchmarks::StatisticsWindow},
            {18, &Benchmarks::ListPdf},
            {21, &Benchmarks::BrowsePanelShown},
            {22, &Benchmarks::BrowseChoice},
            {23, &Benchmarks::ListOrder},
            {25, &Benchmarks::LoanRows}};
        QVector<std::pair<int, std::function<void()>>> runs;
        for (const auto &[row, run] : steps) {
            runs.append({row, [&bench, run = run] { (bench.*run)(); }});
            if (row == 3)
                for (int find = 11; find <= 14; ++find)
                    runs.append({find, [&bench, find] { bench.FindKeystroke(find); }});
        }
        for (const auto &[row, run] : runs) {
            // Rows 19 and 20 share one catalogue with loans: measured together.
            if (!rows.contains(row) && !(row == 19 && rows.contains(20)))
                continue;
            QElapsedTimer timer;
            timer.start();
            run();
            say(QStringLiteral("   row %1 done in %2 s").arg(row).arg(timer.elapsed() / 1000.0));
        }
    }
    for (int row = 1; row <= 26; ++row)
        if (!rows.contains(row) && table.Has(row) && !(row == 25 && rows.contains(26))
            && !(row == 26 && rows.contains(25)))
            table.NotMeasured(row, QStringLiteral("left out with --rows"));

    say(table.Summary());
    if (!out.isEmpty()) {
        QFile file(out);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
            return 1;
        }
        file.write(
            table
                .Markdown(machine(
                    RawQueries(folders.first() + QStringLiteral("/dvd_collection.mdb")), load))
                .toUtf8());
        say(QStringLiteral("Written: %1").arg(out));
    }
    return 0;
}
