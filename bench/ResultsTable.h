#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// Collects the figures of every benchmark row per catalogue size and writes them, with
// the targets and whether each is met, as a Markdown page.
class ResultsTable
{
public:
    struct Figure
    {
        double median = 0;
        double floor = 0;
        double allowance = 0; // memory row: the size of the list data, added to the target
        double Ratio() const { return floor > 0 ? median / floor : 0; }
    };
    using Figures = QMap<int, Figure>; // by number of titles

    struct Verdict
    {
        bool met = false;
        QString reason;
    };

    struct Row
    {
        int number = 0;
        QString what;
        QString floor;
        QString unit; // "ms" or "MB"
        QString target;
        std::function<Verdict(const Figures &)> judge;
        Figures figures;
        QString notMeasured; // why the row has no figures
    };

    void AddRow(Row row);
    void Add(int number, int titles, const Figure &figure);
    void NotMeasured(int number, const QString &reason);
    bool Has(int number) const;
    // A row's figures so far (another row's judge may compare with them); null if none.
    const Figures *FiguresOf(int number) const;
    // A line for the notes at the end of the page.
    void AddNote(const QString &note);

    // Growth of the median (or, with floor set, of the floor) from the smallest size
    // measured to the largest; 0 with fewer than two sizes.
    static double Growth(const Figures &figures, bool floor = false);
    // Met when the ratio at the largest catalogue is at most `limit`.
    static Verdict WithinAtLargest(const Figures &figures, double limit);

    QString Markdown(const QString &machine) const;
    // One line per row for the terminal.
    QString Summary() const;

private:
    Row *find(int number);
    QString verdictText(const Row &row) const;

    QVector<Row> m_rows;
    QStringList m_notes;
};
