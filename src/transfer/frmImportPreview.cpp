#include "frmImportPreview.h"

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
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

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
    summary << QStringLiteral("%1 will be added.").arg(titles(accepted + similar));
    if (similar > 0)
        summary << (similar == 1
                        ? QStringLiteral("1 row looks like a title already there")
                        : QStringLiteral("%1 rows look like titles already there").arg(similar))
                       + QStringLiteral(" (in the catalogue or earlier in the file); Skip "
                                        "Similar adds only the other %1.")
                             .arg(titles(accepted));
    if (refused > 0)
        summary << (refused == 1 ? QStringLiteral("1 row is refused")
                                 : QStringLiteral("%1 rows are refused").arg(refused))
                       + QStringLiteral(" and will not be added; the reasons are below.");
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
                           : QStringLiteral("Genres to be created: ")
                                 + plan.GenresToCreate().join(QStringLiteral(", ")));
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
    RowsView->setColumnWidth(0, 60);
    RowsView->setColumnWidth(1, 80);
    RowsView->setColumnWidth(2, 220);
    RowsView->setColumnWidth(3, 140);
    RowsView->setColumnWidth(4, 90);
    layout->addWidget(RowsView, 1);

    auto *buttons = new QHBoxLayout;
    cmdAddAll = new QPushButton(QStringLiteral("&Add All"), this);
    cmdAddAll->setObjectName(QStringLiteral("cmdAddAll"));
    cmdSkipSimilar = new QPushButton(QStringLiteral("&Skip Similar"), this);
    cmdSkipSimilar->setObjectName(QStringLiteral("cmdSkipSimilar"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
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
    resize(1040, 540);
}
