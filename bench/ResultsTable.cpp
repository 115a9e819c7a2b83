#include "ResultsTable.h"

#include <QLocale>

namespace {

QString titlesText(int titles)
{
    return QLocale(QLocale::English).toString(titles);
}

QString value(double figure, const QString &unit)
{
    if (unit == QLatin1String("MB"))
        return QString::number(figure, 'f', 1) + QStringLiteral(" MB");
    if (figure >= 100)
        return QString::number(figure, 'f', 0) + QStringLiteral(" ms");
    if (figure >= 1)
        return QString::number(figure, 'f', 1) + QStringLiteral(" ms");
    return QString::number(figure, 'f', 3) + QStringLiteral(" ms");
}

QString times(double ratio)
{
    return ratio > 0 ? QString::number(ratio, 'f', 2) + QStringLiteral("x") : QStringLiteral("-");
}

} // namespace

void ResultsTable::AddRow(Row row)
{
    m_rows << std::move(row);
}

ResultsTable::Row *ResultsTable::find(int number)
{
    for (Row &row : m_rows)
        if (row.number == number)
            return &row;
    qFatal("no benchmark row %d", number);
}

void ResultsTable::Add(int number, int titles, const Figure &figure)
{
    find(number)->figures.insert(titles, figure);
}

void ResultsTable::NotMeasured(int number, const QString &reason)
{
    find(number)->notMeasured = reason;
}

bool ResultsTable::Has(int number) const
{
    for (const Row &row : m_rows)
        if (row.number == number)
            return true;
    return false;
}

const ResultsTable::Figures *ResultsTable::FiguresOf(int number) const
{
    for (const Row &row : m_rows)
        if (row.number == number)
            return &row.figures;
    return nullptr;
}

void ResultsTable::AddNote(const QString &note)
{
    m_notes << note;
}

ResultsTable::Verdict ResultsTable::WithinAtLargest(const Figures &figures, double limit)
{
    const double ratio = figures.last().Ratio();
    return {ratio <= limit,
            QString::number(ratio, 'f', 2) + QStringLiteral("x at the largest catalogue")};
}

double ResultsTable::Growth(const Figures &figures, bool floor)
{
    if (figures.size() < 2)
        return 0;
    const Figure &first = figures.first();
    const Figure &last = figures.last();
    const double from = floor ? first.floor : first.median;
    const double to = floor ? last.floor : last.median;
    return from > 0 ? to / from : 0;
}

QString ResultsTable::verdictText(const Row &row) const
{
    if (row.figures.isEmpty())
        return QStringLiteral("not measured");
    if (!row.judge)
        return QStringLiteral("no target");
    const Verdict verdict = row.judge(row.figures);
    return (verdict.met ? QStringLiteral("met") : QStringLiteral("**missed**"))
           + (verdict.reason.isEmpty() ? QString() : QStringLiteral(": ") + verdict.reason);
}

QString ResultsTable::Markdown(const QString &machine) const
{
    QString text = QStringLiteral("# Benchmark results\n\n") + machine + QStringLiteral("\n\n");
    text += QStringLiteral(
        "Each figure is the median of several runs; its floor is measured in the same run, in "
        "turns with it. Ratio = median / floor. Growth = the figure at the largest catalogue / "
        "the figure at the smallest.\n\n");

    text += QStringLiteral("## Summary\n\n| # | measure | target | result |\n|---|---|---|---|\n");
    for (const Row &row : m_rows)
        text += QStringLiteral("| %1 | %2 | %3 | %4 |\n")
                    .arg(row.number)
                    .arg(row.what, row.target,
                         row.figures.isEmpty() ? QStringLiteral("not measured: ") + row.notMeasured
                                               : verdictText(row));

    for (const Row &row : m_rows) {
        text += QStringLiteral("\n## %1. %2\n\n").arg(row.number).arg(row.what);
        text += QStringLiteral("Floor: %1\n\n").arg(row.floor);
        if (row.figures.isEmpty()) {
            text += QStringLiteral("Not measured: %1\n").arg(row.notMeasured);
            continue;
        }
        const bool allowance = row.figures.first().allowance > 0;
        text += allowance ? QStringLiteral("| titles | median | floor | ratio | list data |\n"
                                           "|---:|---:|---:|---:|---:|\n")
                          : QStringLiteral("| titles | median | floor | ratio |\n"
                                           "|---:|---:|---:|---:|\n");
        for (auto it = row.figures.cbegin(); it != row.figures.cend(); ++it) {
            text += QStringLiteral("| %1 | %2 | %3 | %4 |")
                        .arg(titlesText(it.key()), value(it->median, row.unit),
                             value(it->floor, row.unit), times(it->Ratio()));
            if (allowance)
                text += QStringLiteral(" %1 |").arg(value(it->allowance, row.unit));
            text += QLatin1Char('\n');
        }
        if (row.figures.size() > 1)
            text += QStringLiteral("| growth %1 to %2 | %3 | %4 | |%5\n")
                        .arg(titlesText(row.figures.firstKey()), titlesText(row.figures.lastKey()),
                             times(Growth(row.figures)), times(Growth(row.figures, true)),
                             allowance ? QStringLiteral(" |") : QString());
        text += QStringLiteral("\nTarget: %1. Result: %2.\n").arg(row.target, verdictText(row));
    }
    if (!m_notes.isEmpty())
        text += QStringLiteral("\n## Notes\n\n- ") + m_notes.join(QStringLiteral("\n- "))
                + QLatin1Char('\n');
    return text;
}

QString ResultsTable::Summary() const
{
    QString text;
    for (const Row &row : m_rows) {
        text += QStringLiteral("%1. %2: ").arg(row.number).arg(row.what);
        if (row.figures.isEmpty()) {
            text += QStringLiteral("not measured (%1)\n").arg(row.notMeasured);
            continue;
        }
        const Figure &last = row.figures.last();
        text += QStringLiteral("%1 vs %2 (%3) at %4 titles; %5\n")
                    .arg(value(last.median, row.unit), value(last.floor, row.unit),
                         times(last.Ratio()), titlesText(row.figures.lastKey()), verdictText(row));
    }
    return text;
}
