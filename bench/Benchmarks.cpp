#include "Benchmarks.h"

#include "Application.h"
#include "PeakMemory.h"
#include "Sampler.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>

namespace {

enum RowNumber {
    NumberReady = 1,
    NumberActivation = 2,
    NumberSwitch = 3,
    NumberSave = 4,
    NumberGenres = 5,
    NumberPaste = 6,
    NumberMemory = 7
};

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

ResultsTable::Figure figure(const Sampler::Medians &medians)
{
    return {medians.subjectMs, medians.floorMs, 0};
}

using Verdict = ResultsTable::Verdict;
using Figures = ResultsTable::Figures;

QString x(double value)
{
    return QString::number(value, 'f', 2) + QLatin1Char('x');
}

Verdict ratioAtLargest(const Figures &figures, double limit)
{
    const double ratio = figures.last().Ratio();
    return {ratio <= limit, x(ratio) + QStringLiteral(" at the largest catalogue")};
}

Verdict growsLikeFloor(const Figures &figures)
{
    const double growth = ResultsTable::Growth(figures);
    const double floorGrowth = ResultsTable::Growth(figures, true);
    return {growth <= floorGrowth,
            QStringLiteral("grows %1, the floor %2").arg(x(growth), x(floorGrowth))};
}

} // namespace

Benchmarks::Benchmarks(QString folder, int titles, ResultsTable &table)
    : m_folder(std::move(folder)), m_titles(titles), m_table(table),
      m_raw(m_folder + QStringLiteral("/dvd_collection.mdb"))
{
}

int Benchmarks::samples(int small, int large) const
{
    return m_titles <= 1000 ? small : m_titles <= 30000 ? (small + large) / 2 : large;
}

void Benchmarks::DescribeRows(ResultsTable &table)
{
    table.AddRow({NumberReady, QStringLiteral("Main window ready"),
                  QStringLiteral("the raw title-list query read into memory on a fresh "
                                 "connection. Measured: the main window built, loaded (list, "
                                 "column fitting, first row active, panel filled), shown and "
                                 "painted."),
                  QStringLiteral("ms"), QStringLiteral("within 3x its floor at 100,000 titles"),
                  [](const Figures &f) { return ratioAtLargest(f, 3); }, {}, {}});
    table.AddRow({NumberActivation, QStringLiteral("Activating another row"),
                  QStringLiteral("the panel's three raw queries, each on a fresh connection. "
                                 "Measured: the grid's row activation until the panel is filled "
                                 "(three queries, cast grid and its column fitting, cover "
                                 "picture); rows spread over the whole list."),
                  QStringLiteral("ms"),
                  QStringLiteral("within 3x its floor, and within 1.5x between 1,000 and "
                                 "100,000 titles"),
                  [](const Figures &f) {
                      Verdict verdict = ratioAtLargest(f, 3);
                      const double growth = ResultsTable::Growth(f);
                      verdict.met = verdict.met && growth <= 1.5;
                      verdict.reason += QStringLiteral("; grows %1").arg(x(growth));
                      return verdict;
                  },
                  {}, {}});
    table.AddRow({NumberSwitch, QStringLiteral("Switching Inventory/Wishlist (RefreshRecords)"),
                  QStringLiteral("the two raw list queries (wish list, inventory), each on a "
                                 "fresh connection. Measured: a click on \"Wishlist\" and one on "
                                 "\"Inventory\", each reloading the list and the panel."),
                  QStringLiteral("ms"), QStringLiteral("grows no worse than its floor"),
                  growsLikeFloor, {}, {}});
    table.AddRow({NumberSave, QStringLiteral("Saving a modified title with 4 genres and 20 cast rows"),
                  QStringLiteral("to be set with the save"), QStringLiteral("ms"),
                  QStringLiteral("grows no worse than its floor"), growsLikeFloor, {}, {}});
    table.AddRow({NumberGenres, QStringLiteral("Genre manager opening on 500 genres"),
                  QStringLiteral("to be set with the genre manager"), QStringLiteral("ms"),
                  QStringLiteral("grows no worse than its floor"), growsLikeFloor, {}, {}});
    table.AddRow({NumberPaste,
                  QStringLiteral("Generating 10,000 pasted cast lines into the grid"),
                  QStringLiteral("splitting the same text into lines and the two columns"),
                  QStringLiteral("ms"), QStringLiteral("within 5x its floor"),
                  [](const Figures &f) { return ratioAtLargest(f, 5); }, {}, {}});
    table.AddRow({NumberMemory, QStringLiteral("Peak memory with the main window"),
                  QStringLiteral("a bare Qt main window of the same size, shown, in a process "
                                 "of its own. Measured: the peak resident size (VmHWM) of a "
                                 "process that loads and shows the main window. List data: the "
                                 "listed titles' and editions' text as UTF-16 plus an 8-byte ID "
                                 "per row."),
                  QStringLiteral("MB"),
                  QStringLiteral("under 2x a bare window plus the size of the list data"),
                  [](const Figures &f) {
                      const ResultsTable::Figure &last = f.last();
                      const double limit = 2 * last.floor + last.allowance;
                      return Verdict{last.median < limit,
                                     QStringLiteral("%1 MB against a limit of %2 MB")
                                         .arg(last.median, 0, 'f', 1)
                                         .arg(limit, 0, 'f', 1)};
                  },
                  {}, {}});
}

void Benchmarks::MainWindowReady()
{
    const QString list = RawQueries::TitleList(0);
    const auto medians = Sampler::Run(
        samples(15, 7),
        [this](int) {
            QElapsedTimer timer;
            timer.start();
            Application application(m_folder);
            application.Start();
            settle();
            return timer.nsecsElapsed();
        },
        [this, &list](int) { return m_raw.ReadAll(list); });
    m_table.Add(NumberReady, m_titles, figure(medians));
}

void Benchmarks::RowActivation()
{
    Application application(m_folder);
    application.Start();
    settle();
    frmMain &window = application.MainWindow();
    const int count = window.RecordCount();
    if (count < 2)
        qFatal("row activation needs at least two titles in %s", qPrintable(m_folder));

    // Rows spread over the whole list, each with the three statements the panel runs for
    // it (taken from the window itself, so the floor runs exactly the same queries).
    const int runs = samples(61, 41);
    QVector<int> rows;
    QVector<QStringList> statements;
    for (int i = 0; i <= runs; ++i) {
        const int row = int((qint64(i) * 7919 + 1) % count);
        rows << row;
        window.Shared().SelectedTitleId = window.TitleList()->ValueAt(row, 0).toLongLong();
        QStringList three;
        window.InitializeFields();
        three << window.QueryText;
        window.GenreDisplay();
        three << window.QueryText;
        window.CastDisplay();
        three << window.QueryText;
        statements << three;
    }
    window.UltraGrid->ActivateFirstRow();

    const auto medians = Sampler::Run(
        runs,
        [&](int i) {
            QElapsedTimer timer;
            timer.start();
            window.UltraGrid->ActivateRow(rows.at(i));
            return timer.nsecsElapsed();
        },
        [&](int i) { return m_raw.ReadAll(statements.at(i)); });
    m_table.Add(NumberActivation, m_titles, figure(medians));
}

void Benchmarks::ListSwitch()
{
    Application application(m_folder);
    application.Start();
    settle();
    frmMain &window = application.MainWindow();
    const QStringList lists{RawQueries::TitleList(1), RawQueries::TitleList(0)};
    const auto medians = Sampler::Run(
        samples(15, 7),
        [&](int) {
            QElapsedTimer timer;
            timer.start();
            window.OptionWishList[1]->click();
            window.OptionWishList[0]->click();
            return timer.nsecsElapsed();
        },
        [&](int) { return m_raw.ReadAll(lists); });
    m_table.Add(NumberSwitch, m_titles, figure(medians));
}

void Benchmarks::PeakMemoryOfMainWindow()
{
    ResultsTable::Figure memory;
    memory.median = PeakMemory::ChildPeakMb({QStringLiteral("main"), m_folder});
    memory.floor = PeakMemory::ChildPeakMb({QStringLiteral("bare")});
    memory.allowance =
        m_raw.Scalar(QStringLiteral("SELECT 8 * count(*) + 2 * (total(length(Title)) "
                                    "+ total(length(Sub_Title))) FROM DVD_Title WHERE WishList = 0"))
            .toDouble()
        / (1024.0 * 1024.0);
    m_table.Add(NumberMemory, m_titles, memory);
}
