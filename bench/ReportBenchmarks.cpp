// The statistics window and the list's PDF, each against a floor measured in the same run.
#include "Benchmarks.h"

#include "Application.h"
#include "ListReport.h"
#include "MessageBox.h"
#include "ReportCommands.h"
#include "ReportStatements.h"
#include "Sampler.h"
#include "WindowLook.h"
#include "frmMain.h"
#include "frmStatistics.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextLayout>
#include <array>
#include <cstdio>

namespace {

enum ReportRow { NumberStatistics = 17, NumberPdf = 18 };

using Figures = ResultsTable::Figures;

// Every cell of the rows laid out by Qt's text engine in the report's column widths and
// font, line by line, as the report does; nothing kept, nothing drawn.
void layOutEveryCell(const QVector<ListReport::Row> &rows, QPdfWriter &pdf)
{
    const QFont font = WindowLook::Font(8);
    const qreal pad = 1.2 * pdf.logicalDpiY() / 25.4;
    const std::array<qreal, 5> shares{0.30, 0.17, 0.07, 0.21, 0.25};
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const ListReport::Row &row : rows) {
        const std::array<const QString *, 5> texts{&row.title, &row.edition, &row.year,
                                                   &row.director, &row.genres};
        for (std::size_t c = 0; c < texts.size(); ++c) {
            if (texts[c]->isEmpty())
                continue;
            QString text = *texts[c];
            text.replace(QStringLiteral("\r\n"), QChar(QChar::LineSeparator));
            text.replace(QLatin1Char('\r'), QChar(QChar::LineSeparator));
            text.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
            QTextLayout layout(text, font, &pdf);
            option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
            layout.setTextOption(option);
            layout.beginLayout();
            qreal y = 0;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(pdf.width() * shares[c] - 2 * pad);
                line.setPosition(QPointF(0, y));
                y += line.height();
            }
            layout.endLayout();
        }
    }
}

} // namespace

void Benchmarks::DescribeReportRows(ResultsTable &table)
{
    table.AddRow({NumberStatistics,
                  QStringLiteral("Statistics window opening on the Inventory"),
                  QStringLiteral("the raw count queries (per genre, decade, director, actor, list, "
                                 "and the total) read into memory on a fresh connection. "
                                 "Measured: View, Statistics: the counts, the five charts and "
                                 "their figures built, the window shown and painted."),
                  QStringLiteral("ms"),
                  QStringLiteral("within 2x its floor at 100,000 titles"),
                  [](const Figures &f) { return ResultsTable::WithinAtLargest(f, 2); },
                  {},
                  {}});
    table.AddRow(
        {NumberPdf,
         QStringLiteral("Exporting the Inventory as a PDF"),
         QStringLiteral("laying out the same rows' text in the report's columns (Qt's "
                        "text engine, every line of every cell), without covers and "
                        "without drawing. Measured: File, Export List as PDF without covers, "
                        "from reading the rows to the committed file (pages laid "
                        "out, then drawn with headings and page numbers). The size "
                        "with covers is printed by the run."),
         QStringLiteral("ms"),
         QStringLiteral("within 5x its floor"),
         [](const Figures &f) { return ResultsTable::WithinAtLargest(f, 5); },
         {},
         {}});
}

void Benchmarks::StatisticsWindow()
{
    const auto application = std::make_unique<Application>(m_folder);
    application->Start();
    Sampler::Settle();
    frmMain &window = application->MainWindow();
    ReportCommands commands(application->Shared(), window);
    const ReportScope scope = commands.ShownScope();
    const QStringList counts{
        ReportStatements::TitleCount(0, false),      ReportStatements::TitlesPerGenre(0, false),
        ReportStatements::TitlesPerDecade(0, false), ReportStatements::TitlesPerDirector(0, false),
        ReportStatements::TitlesPerActor(0, false),  ReportStatements::TitlesPerList()};
    const auto medians = Sampler::Run(
        samples(7, 3),
        [&](int) {
            QElapsedTimer timer;
            timer.start();
            frmStatistics statistics(application->Shared().ConnectionString, scope, &window);
            statistics.show();
            statistics.repaint();
            Sampler::Settle();
            return timer.nsecsElapsed();
        },
        [&](int) { return m_raw.ReadAll(counts); });
    m_table.Add(NumberStatistics, m_titles, {medians.subjectMs, medians.floorMs, 0});
}

void Benchmarks::ListPdf()
{
    const auto application = std::make_unique<Application>(m_folder);
    application->Start();
    Sampler::Settle();
    ReportCommands commands(application->Shared(), application->MainWindow());
    const ReportScope scope = commands.ShownScope();
    const QVector<ListReport::Row> rows =
        ListReport::ReadRows(application->Shared().ConnectionString, scope);
    QTemporaryDir out;
    qint64 bytes = 0;
    int pages = 0;
    const auto medians = Sampler::Run(
        samples(5, 3),
        [&](int sample) {
            const QString file = out.path() + QStringLiteral("/list %1.pdf").arg(sample);
            QElapsedTimer timer;
            timer.start();
            if (!commands.ExportPdfTo(file, false, {}))
                qFatal("the PDF was not written: %s", qPrintable(MessageBox::Shown().join(' ')));
            const qint64 elapsed = timer.nsecsElapsed();
            if (sample == 0) {
                // The size with covers, once (not timed).
                QFile::remove(file);
                commands.ExportPdfTo(file, true, {});
                bytes = QFileInfo(file).size();
            }
            QFile::remove(file);
            return elapsed;
        },
        [&](int) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter pdf(&buffer);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
            pdf.setResolution(300);
            if (pages == 0)
                pages = ListReport(rows, ListReport::Heading(scope), QDate::currentDate())
                            .CountPages(pdf);
            QElapsedTimer timer;
            timer.start();
            layOutEveryCell(rows, pdf);
            return timer.nsecsElapsed();
        });
    std::printf("   the PDF: %d titles, %d pages without covers; %.1f MB with covers\n",
                int(rows.size()), pages, bytes / 1e6);
    m_table.Add(NumberPdf, m_titles, {medians.subjectMs, medians.floorMs, 0});
}
