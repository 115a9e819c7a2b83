#pragma once

#include "ReportScope.h"
#include "TitleCounts.h"

#include <QDialog>
#include <QVector>
#include <memory>

class DataGrid;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class RecordList;

// The collection as a whole: titles per genre, per decade, the directors and actors with
// the most titles, Inventory against Wishlist; each chart with its figures beside it, and
// each can be copied or saved as a picture. It counts the list shown (with the find
// filter while one is active), or another list, or both.
class frmStatistics : public QDialog
{
    Q_OBJECT

public:
    // `shown`: the main window's list as it is now. Throws DbError when the catalogue
    // cannot be counted.
    frmStatistics(QString connectionString, const ReportScope &shown, QWidget *parent = nullptr);
    ~frmStatistics() override;

    const TitleCounts &Counts() const { return m_counts; }
    // The figures beside the current chart: name and titles, row by row.
    QVector<QStringList> ShownFigures() const;

    void cmdCopyChartClick();
    void cmdSaveChartClick();
    // The current chart as a PNG, at the window's resolution; false when it cannot be written.
    bool SaveChart(const QString &file);

    QComboBox *cmbScope = nullptr;
    QLabel *lblScope = nullptr;
    QTabWidget *tabCharts = nullptr;
    QPushButton *cmdCopyChart = nullptr;
    QPushButton *cmdSaveChart = nullptr;
    QPushButton *cmdClose = nullptr;

    // The charts, in tab order.
    enum Chart { Genres, Decades, Directors, Actors, Lists, ChartCount };

private:
    void count();
    void fillChart(int chart, const QVector<TitleCounts::Count> &figures);
    QChartView *chartView(int chart) const;

    QString m_connectionString;
    QVector<ReportScope> m_scopes; // by the combo box's index
    TitleCounts m_counts;
    QVector<QChartView *> m_views;
    QVector<DataGrid *> m_grids;
    QVector<std::shared_ptr<RecordList>> m_figures;
};
