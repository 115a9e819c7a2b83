#include "frmAlert.h"

#include "DialogButtons.h"
#include "Letters.h"
#include "Twips.h"
#include "WindowLook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QStringList kHeadings{QStringLiteral("Title"), QStringLiteral("Edition"),
                            QStringLiteral("Date"), QStringLiteral("Director(s)")};
}

frmAlert::frmAlert(Module1 &shared, PromptOpener opener, QWidget *mainWindow, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_opener(opener), m_mainWindow(mainWindow)
{
    setWindowTitle(QStringLiteral("Warning"));
    setFont(WindowLook::FormFont());

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setFont(WindowLook::Font(8.25, false));
    lblInfo->setTextFormat(Qt::PlainText);
    lblInfo->setWordWrap(true);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo->setMinimumHeight(Twips::ToPixels(900));

    UltraGrid = new DataGrid(this);
    UltraGrid->setObjectName(QStringLiteral("UltraGrid"));

    QHBoxLayout *buttons =
        DialogButtons::OkCancel(*this, cmdOk, cmdCancel, QStringLiteral("cmdOk"));
    connect(cmdOk, &QPushButton::clicked, this, &frmAlert::cmdOk_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(lblInfo);
    layout->addWidget(UltraGrid, 1);
    layout->addLayout(buttons);

    setTabOrder(cmdOk, cmdCancel);
    WindowLook::FixDialog(this, 7635, 4920);
}

frmAlert::~frmAlert()
{
    Release();
}

int frmAlert::exec()
{
    Form_Load();
    return QDialog::exec();
}

void frmAlert::Form_Load()
{
    FormatAlertGrid();
    m_connection = std::make_unique<Connection>();
    m_connection->Open(m_shared.ConnectionString);
    m_records = std::make_shared<RecordList>();
    m_records->Open(m_shared.AlertQuery, *m_connection);
    Letters::Sort(*m_records, 0);
    lblInfo->setText(m_shared.AlertMessage);
    UltraGrid->SetDataSource(m_records);
    for (int column = 0; column < kHeadings.size(); ++column)
        UltraGrid->SetHeaderCaption(column, kHeadings[column]);
    SizeAlertColumns();
    cmdOk->setFocus();
}

void frmAlert::FormatAlertGrid()
{
    UltraGrid->SetGridFont(WindowLook::GridFont());
}

void frmAlert::SizeAlertColumns()
{
    // Headings fit without a margin; a value gets 200 twips beside it.
    const QFontMetrics metrics(font());
    const int columns = m_records->FieldCount();
    for (int column = 0; column < columns; ++column)
        UltraGrid->FitColumn(column, metrics, ColumnFit(0, 200));
}

void frmAlert::cmdOk_Click()
{
    m_shared.PromptAccepted = 1;
    accept();
}

void frmAlert::reject()
{
    m_shared.PromptAccepted = 0;
    // The add ends here and drops the new title's empty cast list; inside the genre
    // manager the cast list is the edited title's and the editor is still running.
    if (m_opener == PromptOpener::AddTitle)
        m_shared.CastRecords.reset();
    QDialog::reject();
    if (m_opener == PromptOpener::AddTitle && m_mainWindow)
        m_mainWindow->setEnabled(true);
}

void frmAlert::done(int result)
{
    QDialog::done(result);
    Release();
}

void frmAlert::Release()
{
    // The grid lets go of the list before the list and its connection go.
    UltraGrid->SetDataSource(nullptr);
    m_records.reset();
    m_connection.reset();
}
