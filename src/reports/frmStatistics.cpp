#include "frmStatistics.h"

#include "AtomicFile.h"
#include "FileDialogAnswers.h"

#include "ColumnFit.h"
#include "DataGrid.h"
#include "DbError.h"
#include "MessageBox.h"
#include "RecordList.h"
#include "ReportStatements.h"
#include "WindowLook.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLocale>
#include <QPieSeries>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

// Charts of names show this many bars; the figures beside them list every name.
constexpr int kTopNames = 10;
constexpr int kTopGenres = 20;

const char *const kTabs[] = {"Genres", "Decades", "Directors", "Actors", "Inventory and Wishlist"};
const char *const kFileNames[] = {"titles per genre", "titles per decade", "directors", "actors",
                                  "inventory and wishlist"};

QString number(qint64 value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);
}

QValueAxis *countAxis(qint64 largest)
{
    auto *axis = new QValueAxis;
    axis->setRange(0, double(std::max<qint64>(largest, 1)));
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->applyNiceNumbers();
    return axis;
}

// Bars of names, the largest at the top.
void nameBars(QChart *chart, const QVector<TitleCounts::Count> &shown)
{
    auto *set = new QBarSet(QStringLiteral("Titles"));
    QStringList names;
    qint64 largest = 0;
    for (auto count = shown.crbegin(); count != shown.crend(); ++count) {
        *set << double(count->titles);
        names << count->name;
        largest = std::max(largest, count->titles);
    }
    auto *series = new QHorizontalBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *axisY = new QBarCategoryAxis;
    axisY->append(names);
    axisY->setTruncateLabels(false); // a name is read, not guessed from "..."
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    QValueAxis *axisX = countAxis(largest);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    chart->legend()->hide();
}

} // namespace

frmStatistics::frmStatistics(QString connectionString, const ReportScope &shown, QWidget *parent)
    : QDialog(parent), m_connectionString(std::move(connectionString))
{
    setWindowTitle(QStringLiteral("Statistics"));
    setFont(WindowLook::Font(9));
    auto *layout = new QVBoxLayout(this);

    auto *scopeRow = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("&Count:"), this);
    cmbScope = new QComboBox(this);
    cmbScope->setObjectName(QStringLiteral("cmbScope"));
    caption->setBuddy(cmbScope);
    // The list as shown first (with its filter); then each list whole, and both.
    if (shown.filtered)
        m_scopes << shown;
    for (const int list : {0, 1, ReportStatements::AllLists}) {
        ReportScope whole;
        whole.list = list;
        m_scopes << whole;
    }
    for (const ReportScope &scope : m_scopes)
        cmbScope->addItem(scope.Describe());
    lblScope = new QLabel(this);
    lblScope->setObjectName(QStringLiteral("lblScope"));
    scopeRow->addWidget(caption);
    scopeRow->addWidget(cmbScope);
    scopeRow->addWidget(lblScope, 1);
    layout->addLayout(scopeRow);

    tabCharts = new QTabWidget(this);
    tabCharts->setObjectName(QStringLiteral("tabCharts"));
    for (int chart = 0; chart < ChartCount; ++chart) {
        auto *page = new QWidget(tabCharts);
        auto *row = new QHBoxLayout(page);
        auto *view = new QChartView(page);
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(520, 360);
        auto *grid = new DataGrid(page);
        grid->setObjectName(QStringLiteral("grdFigures%1").arg(chart));
        auto figures = std::make_shared<RecordList>();
        figures->AppendField(QStringLiteral("Name"));
        figures->AppendField(QStringLiteral("Titles"));
        figures->OpenInMemory();
        grid->SetDataSource(figures);
        grid->SetHeaderCaption(0, chart == Decades ? QStringLiteral("Decade")
                                  : chart == Lists ? QStringLiteral("List")
                                                   : QStringLiteral("Name"));
        grid->SetHeaderCaption(1, QStringLiteral("Titles"));
        row->addWidget(view, 3);
        row->addWidget(grid, 1);
        tabCharts->addTab(page, QString::fromLatin1(kTabs[chart]));
        m_views << view;
        m_grids << grid;
        m_figures << figures;
    }
    layout->addWidget(tabCharts, 1);

    auto *buttons = new QHBoxLayout;
    cmdCopyChart =
        WindowLook::Button(this, QStringLiteral("C&opy Chart"), QStringLiteral("cmdCopyChart"));
    cmdSaveChart =
        WindowLook::Button(this, QStringLiteral("&Save Chart..."), QStringLiteral("cmdSaveChart"));
    cmdClose = WindowLook::Button(this, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    buttons->addWidget(cmdCopyChart);
    buttons->addWidget(cmdSaveChart);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    connect(cmdCopyChart, &QPushButton::clicked, this, &frmStatistics::cmdCopyChartClick);
    connect(cmdSaveChart, &QPushButton::clicked, this, &frmStatistics::cmdSaveChartClick);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    cmbScope->setCurrentIndex(shown.filtered ? 0 : std::max(0, int(shown.list)));
    count();
    // Another choice counts again; a failure then keeps the figures shown and says why.
    connect(cmbScope, &QComboBox::currentIndexChanged, this, [this] {
        try {
            count();
        } catch (const DbError &error) {
            MessageBox::Failure(this, error.Message(QStringLiteral(" counting titles.")));
        }
    });
    resize(980, 600);
}

frmStatistics::~frmStatistics()
{
    for (DataGrid *grid : m_grids)
        grid->SetDataSource(nullptr);
}

void frmStatistics::count()
{
    const ReportScope &scope = m_scopes.at(std::max(0, cmbScope->currentIndex()));
    m_counts = TitleCounts::Read(m_connectionString, scope);
    lblScope->setText(ReportScope::Titles(m_counts.titles));
    fillChart(Genres, m_counts.genres);
    QVector<TitleCounts::Count> decades = m_counts.decades;
    if (m_counts.noYear > 0)
        decades.append({QStringLiteral("No year"), m_counts.noYear});
    fillChart(Decades, decades);
    fillChart(Directors, m_counts.directors);
    fillChart(Actors, m_counts.actors);
    fillChart(Lists, m_counts.lists);
}

void frmStatistics::fillChart(int which, const QVector<TitleCounts::Count> &figures)
{
    QVector<RecordList::Row> rows;
    rows.reserve(figures.size());
    for (const TitleCounts::Count &figure : figures)
        rows.append({figure.name, number(figure.titles)});
    m_figures[which]->SetRows(rows);
    const QFontMetrics metrics(m_grids[which]->font());
    m_grids[which]->FitColumn(0, metrics, ColumnFit(200, 200, true));
    m_grids[which]->FitColumn(1, metrics, ColumnFit(200, 200, true));

    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    const auto top = [&](int count) {
        return figures.size() > count ? QStringLiteral(" (the %1 largest of %2)")
                                            .arg(count)
                                            .arg(number(figures.size()))
                                      : QString();
    };
    switch (which) {
    case Genres:
        chart->setTitle(QStringLiteral("Titles per genre") + top(kTopGenres));
        nameBars(chart, TitleCounts::Top(figures, kTopGenres));
        break;
    case Directors:
        chart->setTitle(QStringLiteral("Directors with the most titles") + top(kTopNames));
        nameBars(chart, TitleCounts::Top(figures, kTopNames));
        break;
    case Actors:
        chart->setTitle(QStringLiteral("Actors with the most titles") + top(kTopNames));
        nameBars(chart, TitleCounts::Top(figures, kTopNames));
        break;
    case Decades: {
        // Titles without a year stand apart, in a colour of their own, after the decades.
        chart->setTitle(QStringLiteral("Titles per decade"));
        auto *dated = new QBarSet(QStringLiteral("Titles"));
        auto *undated = new QBarSet(QStringLiteral("No year"));
        undated->setColor(QColor(0x9e, 0x9e, 0x9e));
        QStringList decades;
        qint64 largest = 0;
        for (const TitleCounts::Count &decade : m_counts.decades) {
            *dated << double(decade.titles);
            *undated << 0.0;
            decades << decade.name;
            largest = std::max(largest, decade.titles);
        }
        if (m_counts.noYear > 0) {
            *dated << 0.0;
            *undated << double(m_counts.noYear);
            decades << QStringLiteral("No year");
            largest = std::max(largest, m_counts.noYear);
        }
        auto *series = new QStackedBarSeries;
        series->append(dated);
        series->append(undated);
        chart->addSeries(series);
        auto *axisX = new QBarCategoryAxis;
        axisX->append(decades);
        axisX->setTruncateLabels(false);
        chart->addAxis(axisX, Qt::AlignBottom);
        series->attachAxis(axisX);
        QValueAxis *axisY = countAxis(largest);
        chart->addAxis(axisY, Qt::AlignLeft);
        series->attachAxis(axisY);
        chart->legend()->setVisible(m_counts.noYear > 0);
        break;
    }
    default: {
        chart->setTitle(QStringLiteral("Inventory and Wishlist (the whole catalogue)"));
        auto *series = new QPieSeries;
        for (const TitleCounts::Count &list : figures)
            if (list.titles > 0)
                series
                    ->append(list.name + QStringLiteral(": ") + number(list.titles),
                             double(list.titles))
                    ->setLabelVisible(true);
        chart->addSeries(series);
        chart->legend()->hide();
        break;
    }
    }
    QChart *old = m_views[which]->chart();
    m_views[which]->setChart(chart);
    delete old;
}

QChartView *frmStatistics::chartView(int chart) const
{
    return m_views.value(chart);
}

QVector<QStringList> frmStatistics::ShownFigures() const
{
    const RecordList &figures = *m_figures.at(tabCharts->currentIndex());
    QVector<QStringList> rows;
    for (int row = 0; row < figures.RecordCount(); ++row)
        rows.append({figures.ValueAt(row, 0).toString(), figures.ValueAt(row, 1).toString()});
    return rows;
}

void frmStatistics::cmdCopyChartClick()
{
    QApplication::clipboard()->setPixmap(chartView(tabCharts->currentIndex())->grab());
}

void frmStatistics::cmdSaveChartClick()
{
    const QString name = QStringLiteral("Reelvane ")
                         + QString::fromLatin1(kFileNames[tabCharts->currentIndex()])
                         + QStringLiteral(".png");
    const auto answer = FileDialogAnswers::TakeNext();
    const QString file = answer
                             ? *answer
                             : QFileDialog::getSaveFileName(this, QStringLiteral("Save Chart"),
                                                            QDir::home().filePath(name),
                                                            QStringLiteral("PNG pictures (*.png)"));
    if (file.isEmpty())
        return;
    if (!SaveChart(file))
        MessageBox::Critical(this, QStringLiteral("The chart could not be saved to ") + file
                                       + QStringLiteral("."));
}

bool frmStatistics::SaveChart(const QString &file)
{
    // The view as it is on the screen, at the screen's pixel ratio.
    AtomicFile out(file);
    return out.open(QIODevice::WriteOnly)
           && chartView(tabCharts->currentIndex())->grab().save(&out, "PNG") && out.commit();
}
