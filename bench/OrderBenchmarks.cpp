// Row 23: the title list reordered by a column, against row 1's floor in the same run.
#include "Benchmarks.h"

#include "Application.h"
#include "ListColumns.h"
#include "Sampler.h"
#include "Statements.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>

void Benchmarks::ListOrder()
{
    const auto application = std::make_unique<Application>(m_folder);
    application->Start();
    QCoreApplication::processEvents();
    frmMain &window = application->MainWindow();
    ListColumns &columns = *window.Columns;
    const QString list = Statements::TitleList(0);
    // From the title order to the column's (the title order again untimed), until painted.
    const auto orderBy = [&](int column) {
        return Sampler::Run(
            samples(15, 7),
            [&](int) {
                columns.HeaderClicked(ListColumns::TitleColumn);
                QCoreApplication::processEvents();
                QElapsedTimer timer;
                timer.start();
                columns.HeaderClicked(column);
                window.repaint();
                QCoreApplication::processEvents();
                return timer.nsecsElapsed();
            },
            [&](int) { return m_raw.ReadAll(list); });
    };
    columns.SetShown(ListColumn::Year, true);
    columns.SetShown(ListColumn::Director, true);
    const auto byYear = orderBy(ListColumns::FirstExtra);
    m_table.Add(23, m_titles, {byYear.subjectMs, byYear.floorMs, 0});
    const auto byDirector = orderBy(ListColumns::FirstExtra + 1);
    m_table.AddNote(QStringLiteral("Row 23 at %1 titles ordered by Director (the letter rule) "
                                   "instead of Year: %2 ms against a floor of %3 ms (%4x).")
                        .arg(m_titles)
                        .arg(byDirector.subjectMs, 0, 'f', 1)
                        .arg(byDirector.floorMs, 0, 'f', 1)
                        .arg(byDirector.subjectMs / byDirector.floorMs, 0, 'f', 2));
    // The next rows start as without the columns.
    columns.SetShown(ListColumn::Year, false);
    columns.SetShown(ListColumn::Director, false);
}
