#pragma once

#include "RawQueries.h"
#include "ResultsTable.h"

#include <QString>

// The benchmark rows on one generated program folder. Each adds its figure, with the
// floor measured in the same run, to the results table.
class Benchmarks
{
public:
    Benchmarks(QString folder, int titles, ResultsTable &table);

    // Describes every row (what, floor, target and how it is judged) in the table.
    static void DescribeRows(ResultsTable &table);

    void MainWindowReady();
    void OldListFloor();
    void RowActivation();
    void ListSwitch();
    void SaveModifiedTitle();
    void GenreManagerOn500Genres();
    void PasteGenerator();
    void PeakMemoryOfMainWindow();
    void ExportTitles();
    void ImportTitles();
    void ImportCollection();
    void BackUpCatalogue();
    void FindKeystroke(int row);
    void FirstFind();
    void FindAfterFocus();
    void SaveWithQuery();
    // The statistics window and the list's PDF (ReportBenchmarks.cpp).
    static void DescribeReportRows(ResultsTable &table);
    void StatisticsWindow();
    void ListPdf();
    // The browse panel (BrowseBenchmarks.cpp).
    static void DescribeBrowseRows(ResultsTable &table);
    void BrowsePanelShown();
    void BrowseChoice();
    // The title list reordered by a column (OrderBenchmarks.cpp), row 23.
    void ListOrder();
    // The main window with loans and the Loans window (LoanBenchmarks.cpp), rows 25 and 26.
    static void DescribeLoanRows(ResultsTable &table);
    void LoanRows();

private:
    // More samples on small catalogues, where each one is quick.
    int samples(int small, int large) const;

    QString m_folder;
    int m_titles;
    ResultsTable &m_table;
    RawQueries m_raw;
    static inline bool m_plansNoted = false;
};
