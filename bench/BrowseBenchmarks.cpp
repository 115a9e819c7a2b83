// The browse panel: shown and counted, a value chosen, each against a floor measured in the
// same run; its memory against row 7's limit.
#include "Benchmarks.h"

#include "Application.h"
#include "BrowsePanel.h"
#include "PeakMemory.h"
#include "Sampler.h"
#include "Statements.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>

namespace {

enum BrowseRow { NumberPanel = 21, NumberChoice = 22, NumberOrder = 23 };

using Figures = ResultsTable::Figures;

// Opens (counts) or closes the panel's first `count` branches.
void setBranchesOpen(QTreeView &tree, int count, bool open)
{
    for (int branch = 0; branch < count; ++branch)
        tree.setExpanded(tree.model()->index(branch, 0), open);
}

QModelIndex dramaIndex(const BrowsePanel &panel)
{
    const QAbstractItemModel *model = panel.Tree()->model();
    const QModelIndex genres = model->index(0, 0);
    panel.Tree()->expand(genres);
    for (int row = 0; row < model->rowCount(genres); ++row)
        if (model->index(row, 0, genres).data().toString().startsWith(QLatin1String("Drama (")))
            return model->index(row, 0, genres);
    qFatal("no Drama in the browse panel");
}

} // namespace

void Benchmarks::DescribeBrowseRows(ResultsTable &table)
{
    table.AddRow({NumberPanel,
                  QStringLiteral("Browse panel shown (View, Browse Panel), all four branches "
                                 "counted"),
                  QStringLiteral("the main window's own ready time (row 1's measure: built, "
                                 "loaded, shown, painted). Measured: F9 on the ready window until "
                                 "the panel is painted with every value of Genres, Directors, "
                                 "Decades and Actors counted (the time to open the branches "
                                 "after that is in notes)."),
                  QStringLiteral("ms"),
                  QStringLiteral("within 1x its floor at 100,000 titles"),
                  [](const Figures &f) { return ResultsTable::WithinAtLargest(f, 1); },
                  {},
                  {}});
    table.AddRow({NumberChoice,
                  QStringLiteral("Choosing a value in the browse panel (Genres, Drama)"),
                  QStringLiteral("row 1's floor: the raw title-list query read into memory. "
                                 "Measured: the value made current until its titles are read, "
                                 "the list filtered, the first title's panel filled and painted."),
                  QStringLiteral("ms"),
                  QStringLiteral("within 0.25x its floor at 100,000 titles"),
                  [](const Figures &f) { return ResultsTable::WithinAtLargest(f, 0.25); },
                  {},
                  {}});
    table.AddRow({NumberOrder,
                  QStringLiteral("Reordering the title list by a column"),
                  QStringLiteral("row 1's floor"),
                  QStringLiteral("ms"),
                  QStringLiteral("within 0.5x its floor at 100,000 titles"),
                  [](const Figures &f) { return ResultsTable::WithinAtLargest(f, 0.5); },
                  {},
                  {}});
}

void Benchmarks::BrowsePanelShown()
{
    QVector<double> openingMs;
    const int runs = samples(7, 3);
    const auto medians = Sampler::Run(
        runs,
        [&](int sample) {
            Application application(m_folder);
            application.Start();
            Sampler::Settle();
            frmMain &window = application.MainWindow();
            QTreeView &tree = *window.Browse->Tree();
            QElapsedTimer timer;
            timer.start();
            window.mnuBrowsePanel->trigger();
            window.repaint();
            Sampler::Settle();
            const qint64 elapsed = timer.nsecsElapsed();
            if (window.Browse->Model().rowCount(tree.model()->index(3, 0)) == 0)
                qFatal("the panel was shown without its actors counted");
            timer.start();
            setBranchesOpen(tree, 4, true);
            window.repaint();
            Sampler::Settle();
            if (sample < runs) // not the warm-up
                openingMs.append(double(timer.nsecsElapsed()) / 1e6);
            // Closed and hidden again: the next start is as before.
            setBranchesOpen(tree, 4, false);
            window.mnuBrowsePanel->trigger();
            return elapsed;
        },
        [this](int) {
            QElapsedTimer timer;
            timer.start();
            Application application(m_folder);
            application.Start();
            Sampler::Settle();
            return timer.nsecsElapsed();
        });
    m_table.Add(NumberPanel, m_titles, {medians.subjectMs, medians.floorMs, 0});
    m_table.AddNote(QStringLiteral("Opening the four counted branches on the shown panel at %1 "
                                   "titles, median: %2 ms; the window's ready time: %3 ms.")
                        .arg(m_titles)
                        .arg(Sampler::Median(openingMs), 0, 'f', 1)
                        .arg(medians.floorMs, 0, 'f', 0));

    if (m_titles == 100000) {
        // Row 7's limit where it was measured in this run (not with --rows 21 alone).
        const Figures *memory = m_table.FiguresOf(7);
        const double limit =
            memory && !memory->isEmpty() ? 2 * memory->last().floor + memory->last().allowance : 0;
        const double peak = PeakMemory::ChildPeakMb({QStringLiteral("browse"), m_folder});
        m_table.AddNote(QStringLiteral("Peak memory at %1 titles with the browse panel shown "
                                       "(row 7's process, then F9): %2 MB; row 7's limit: %3.")
                            .arg(m_titles)
                            .arg(peak, 0, 'f', 1)
                            .arg(limit > 0 ? QString::number(limit, 'f', 1) + QStringLiteral(" MB")
                                           : QStringLiteral("row 7 not run")));
    }
}

void Benchmarks::BrowseChoice()
{
    const auto application = std::make_unique<Application>(m_folder);
    application->Start();
    Sampler::Settle();
    frmMain &window = application->MainWindow();
    window.mnuBrowsePanel->trigger();
    Sampler::Settle();
    QTreeView *tree = window.Browse->Tree();
    const QModelIndex drama = dramaIndex(*window.Browse);
    const QModelIndex genres = drama.parent();
    const QString list = Statements::TitleList(0);
    const auto medians = Sampler::Run(
        samples(15, 7),
        [&](int) {
            tree->setCurrentIndex(genres); // every title again, not timed
            Sampler::Settle();
            QElapsedTimer timer;
            timer.start();
            tree->setCurrentIndex(drama);
            window.repaint();
            Sampler::Settle();
            return timer.nsecsElapsed();
        },
        [&](int) { return m_raw.ReadAll(list); });
    m_table.Add(NumberChoice, m_titles, {medians.subjectMs, medians.floorMs, 0});
    window.mnuBrowsePanel->trigger();
}
