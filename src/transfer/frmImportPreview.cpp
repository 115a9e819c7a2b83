#include "frmImportPreview.h"

#include "ColumnFit.h"
#include "ImportRowsModel.h"
#include "WindowLook.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString titles(int count)
{
    return count == 1 ? QStringLiteral("1 title") : QStringLiteral("%1 titles").arg(count);
}

} // namespace

frmImportPreview::frmImportPreview(const ImportPlan &plan, const QString &fileName, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Import Titles"));
    setFont(WindowLook::Font(9));

    const int accepted = plan.Count(ImportPlan::Status::Accepted);
    const int similar = plan.Count(ImportPlan::Status::Similar);
    const int refused = plan.Count(ImportPlan::Status::Refused);

    auto *layout = new QVBoxLayout(this);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setTextFormat(Qt::PlainText);
    QStringList summary;
    summary << QStringLiteral("From %1:").arg(QFileInfo(fileName).fileName());
    if (accepted == 0 && similar > 0)
        summary << (similar == 1
                        ? QStringLiteral("The row looks like a title already there")
                        : QStringLiteral("All %1 rows look like titles already there").arg(similar))
                       + QStringLiteral(" (in the catalogue or earlier in the file): Add All "
                                        "adds %1 anyway.")
                             .arg(similar == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    else
        summary << QStringLiteral("%1 will be added.").arg(titles(accepted + similar));
    if (accepted > 0 && similar > 0)
        summary << (similar == 1
                        ? QStringLiteral("1 row looks like a title already there")
                        : QStringLiteral("%1 rows look like titles already there").arg(similar))
                       + QStringLiteral(" (in the catalogue or earlier in the file); Skip "
                                        "Similar adds only the other %1.")
                             .arg(titles(accepted));
    if (const int years = plan.UnusualYears(); years > 0)
        summary << (years == 1 ? QStringLiteral("1 row keeps its year")
                               : QStringLiteral("%1 rows keep their year").arg(years))
                       + QStringLiteral(" as written, empty or not four digits (the Year rows "
                                        "below).");
    if (refused > 0)
        summary << (refused == 1 ? QStringLiteral("1 row is refused")
                                 : QStringLiteral("%1 rows are refused").arg(refused))
                       + QStringLiteral(" and will not be added; the reasons are below.");
    int noted = 0;
    for (const ImportPlan::Row &row : plan.Rows())
        noted += row.status != ImportPlan::Status::Refused && !row.note.isEmpty() ? 1 : 0;
    if (noted > 0)
        summary << (noted == 1 ? QStringLiteral("1 title is added")
                               : QStringLiteral("%1 titles are added").arg(noted))
                       + QStringLiteral(" with something left empty or out (no year, no "
                                        "director, a cover that is not a picture); the Reason "
                                        "column says what.");
    if (plan.CoverCount() > 0)
        summary << (plan.CoverCount() == 1
                        ? QStringLiteral("1 title comes")
                        : QStringLiteral("%1 titles come").arg(plan.CoverCount()))
                       + QStringLiteral(" with a cover picture; it becomes the title's cover.");
    if (!plan.UnknownColumns().isEmpty())
        summary << QStringLiteral("Columns ignored: ")
                       + plan.UnknownColumns().join(QStringLiteral(", "));
    lblSummary->setText(summary.join(QLatin1Char('\n')));
    layout->addWidget(lblSummary);

    lblGenres = new QLabel(this);
    lblGenres->setObjectName(QStringLiteral("lblGenres"));
    lblGenres->setWordWrap(true);
    lblGenres->setTextFormat(Qt::PlainText);
    lblGenres->setText(plan.GenresToCreate().isEmpty()
                           ? QStringLiteral("No new genres are needed.")
                           // Quoted: a name may hold commas and spaces of its own.
                           : QStringLiteral("Genres to be created: \u201C")
                                 + plan.GenresToCreate().join(QStringLiteral("\u201D, \u201C"))
                                 + QStringLiteral("\u201D"));
    layout->addWidget(lblGenres);

    RowsView = new QTableView(this);
    RowsView->setObjectName(QStringLiteral("RowsView"));
    RowsView->setModel(new ImportRowsModel(plan, RowsView));
    RowsView->verticalHeader()->hide();
    RowsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    RowsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RowsView->setWordWrap(false);
    RowsView->horizontalHeader()->setStretchLastSection(true);
    RowsView->verticalHeader()->setDefaultSectionSize(RowsView->fontMetrics().height() + 8);
    // Each column as wide as its widest text; the last (the reason) takes the room left.
    for (int column = 0; column + 1 < RowsView->model()->columnCount(); ++column)
        ColumnFit(200, 200, true).Fit(*RowsView, column);
    layout->addWidget(RowsView, 1);

    auto *buttons = new QHBoxLayout;
    cmdAddAll = WindowLook::Button(this, QStringLiteral("&Add All"), QStringLiteral("cmdAddAll"));
    cmdSkipSimilar =
        WindowLook::Button(this, QStringLiteral("&Skip Similar"), QStringLiteral("cmdSkipSimilar"));
    cmdCancel = WindowLook::Button(this, QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    cmdAddAll->setEnabled(accepted + similar > 0);
    cmdSkipSimilar->setEnabled(similar > 0 && accepted > 0);
    // Enter never adds without a look at the similar rows.
    cmdCancel->setDefault(true);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    buttons->addWidget(cmdSkipSimilar);
    buttons->addWidget(cmdAddAll);
    layout->addLayout(buttons);

    connect(cmdAddAll, &QPushButton::clicked, this, [this] { done(AddAll); });
    connect(cmdSkipSimilar, &QPushButton::clicked, this, [this] { done(SkipSimilar); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { done(Cancelled); });
    WindowLook::SizableDialog(this, QSize(1040, 540));
}
