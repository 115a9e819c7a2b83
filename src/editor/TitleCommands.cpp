#include "TitleCommands.h"

#include "Connection.h"
#include "DbError.h"
#include "Letters.h"
#include "Loans.h"
#include "LockWait.h"
#include "MessageBox.h"
#include "Module1.h"
#include "ProgramFiles.h"
#include "RecordList.h"
#include "Statements.h"
#include "StepResult.h"
#include "TitleRecord.h"
#include "Transaction.h"
#include "frmMain.h"
#include "frmAlert.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmTextBox.h"

#include <QDir>
#include <QFile>

namespace {

QString textOf(const QVariant &value)
{
    return RecordList::HasText(value) ? value.toString() : QString();
}

} // namespace

TitleCommands::TitleCommands(Module1 &shared, frmMain &main) : m_shared(shared), m_main(main) {}

TitleCommands::~TitleCommands() = default;

void TitleCommands::AddTitle()
{
    m_shared.EditMode = QStringLiteral("No");
    m_shared.KeptGenreIds.clear();
    m_main.setEnabled(false);
    {
        frmTextBox prompt(m_shared, PromptOpener::AddTitle, &m_main, &m_main);
        prompt.exec();
    }
    if (m_shared.PromptAccepted != 1)
        return;

    try {
        m_shared.LookupValue = m_shared.PromptText;
        m_shared.LookupField = QStringLiteral("Title");
        m_shared.LookupTable = QStringLiteral("Dvd_Title");
        m_shared.CountMatches();
        if (m_shared.LookupCount > 0) {
            // Spellings the catalogue's = does not take for the typed name ("AMÉLIE" for
            // "Amélie") are listed by name.
            const QStringList others =
                Letters::MissedSpellings(m_shared.PromptText, m_shared.LookupMatches);
            m_shared.AlertQuery = Statements::SimilarTitles(
                m_shared.LookupTable, m_shared.LookupField, m_shared.PromptText, others);
            m_shared.AlertMessage = QStringLiteral(
                "The following similar title(s) currently exist.  Do you want to continue "
                "adding this new title?");
            frmAlert alert(m_shared, PromptOpener::AddTitle, &m_main, &m_main);
            alert.exec();
        }
    } catch (const DbError &error) {
        AbandonCommand(error.Message(QStringLiteral(" reading records.")));
        return;
    }

    m_shared.EditTitle = m_shared.PromptText;
    if (m_shared.PromptAccepted == 1)
        RunEditor();
}

void TitleCommands::ModifyTitle()
{
    m_shared.EditMode = QStringLiteral("Yes");
    try {
        LoadEditBuffer();
    } catch (const DbError &error) {
        AbandonCommand(error.Message(QStringLiteral(" reading records.")));
        return;
    }
    m_main.setEnabled(false);
    RunEditor();
}

void TitleCommands::LoadEditBuffer()
{
    m_shared.EditTitle = m_main.Detail()->KeptTitle();
    const TitleRecord record = ReadTitle(m_main.ReopenMainConnection(), m_shared.SelectedTitleId);
    m_main.ReleaseMainConnection();

    // The row's own title: the main window keeps the previous title's text when the
    // active one has none, and that name must not be saved over this title.
    m_shared.SetEditFacts(record.facts);

    // Four slots: a title linked to more genres (written by something else) loads its
    // first four, and the save keeps the links beyond them.
    m_shared.KeptGenreIds.clear();
    for (qsizetype link = 0; link < record.genres.size(); ++link) {
        if (link < qsizetype(m_shared.GenrePicks.size()))
            m_shared.GenrePicks[std::size_t(link)] = record.genres[link];
        else
            m_shared.KeptGenreIds << record.genreIds[link];
    }
    for (std::size_t slot = std::size_t(record.genres.size()); slot < m_shared.GenrePicks.size();
         ++slot)
        m_shared.GenrePicks[slot].clear();

    QVector<RecordList::Row> rows;
    rows.reserve(record.cast.size());
    for (const CastMember &member : record.cast)
        rows.append({member.actor, member.character});
    m_shared.CreateCastRecords();
    m_shared.CastRecords->SetRows(std::move(rows));
}

void TitleCommands::DeleteTitle()
{
    const qint64 id = m_shared.SelectedTitleId;
    QString title;
    QString onLoan;
    try {
        // Asked with the row's own title: the main window keeps the previous title's
        // text when the active one has none.
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        RecordList row;
        row.Open(Statements::TitleName(m_shared.SelectedTitleId), connection);
        title = row.Eof() ? m_main.Detail()->KeptTitle() : textOf(row.Value(0));
        if (const auto loan = Loans::OpenLoan(connection, m_shared.SelectedTitleId))
            onLoan = QStringLiteral("\n\nIt is on loan to ") + loan->Borrower + QLatin1Char('.');
    } catch (const DbError &error) {
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" deleting records.")));
        return;
    }

    const auto answer = MessageBox::Show(
        &m_main,
        QStringLiteral("Are you sure you want to delete ") + title + QStringLiteral("?") + onLoan,
        QStringLiteral("Confirm Title Deletion"), QMessageBox::Ok | QMessageBox::Cancel,
        QMessageBox::Information);
    if (answer != QMessageBox::Ok)
        return;

    // The title, its genre links, its cast and its loans go together or not at all.
    try {
        Connection &connection = m_main.ReopenMainConnection();
        // Waited for like every write; each try rolled back before the next.
        LockWait::Retrying([&] {
            Transaction transaction(connection);
            connection.Execute(Statements::DeleteTitle(id));
            connection.Execute(Statements::DeleteGenreLinksOfTitle(id));
            connection.Execute(Statements::DeleteCastOfTitle(id));
            Loans::DeleteLoansOfTitle(connection, id);
            transaction.Commit();
        });
        m_main.ReleaseMainConnection();
    } catch (const DbError &error) {
        m_main.ReleaseMainConnection();
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" deleting records.")));
        return;
    }

    // Only once the rows are gone: a failed delete keeps its picture.
    const QString cover = ProgramFiles::Cover(m_shared.AppFolder, id);
    QFile coverFile(cover);
    const bool kept = coverFile.exists() && !coverFile.remove();
    m_main.RefreshRecords(id);
    if (kept)
        MessageBox::Critical(&m_main,
                             QStringLiteral("The title was deleted, but its cover "
                                            "picture \"%1\" could not be removed: %2")
                                 .arg(QDir::toNativeSeparators(cover), coverFile.errorString()));
}

void TitleCommands::RunEditor()
{
    try {
        for (int step = 1; step != 0;)
            step = RunStep(step);
    } catch (const DbError &error) {
        // A step that cannot read what it shows (its genre list, say) ends the edit.
        AbandonCommand(error.Message(QStringLiteral(" reading records.")));
    }
}

int TitleCommands::RunStep(int step)
{
    switch (step) {
    case 1: {
        frmModify1 window(m_shared, m_main, &m_main);
        while (window.exec() == StepNext)
            if (PrepareStep2(window))
                return 2;
        return 0;
    }
    case 2: {
        std::unique_ptr<frmModify2> window = std::move(m_step2);
        if (!window)
            window = std::make_unique<frmModify2>(m_shared, &m_main, &m_main);
        switch (window->exec()) {
        case StepNext:
            return 3;
        case StepBack:
            return 1;
        default:
            return 0;
        }
    }
    case 3: {
        frmModify3 window(m_shared, m_main, &m_main);
        while (window.exec() == StepBack)
            if (PrepareStep2(window))
                return 2;
        return 0;
    }
    default:
        return 0;
    }
}

// Step 2 reads the genre list before it shows. While it cannot (another program holds the
// catalogue locked, say), the step the user leaves stays on screen with everything typed
// in it, and the user chooses to try again or to stay there.
bool TitleCommands::PrepareStep2(QDialog &current)
{
    current.show();
    for (;;) {
        auto window = std::make_unique<frmModify2>(m_shared, &m_main, &m_main);
        try {
            const LockWait::AnswerLocksHere answeredHere;
            window->Form_Load();
            m_step2 = std::move(window);
            return true;
        } catch (const DbError &error) {
            window.reset();
            const auto answer =
                MessageBox::Show(&current, StepReadFailure(error), MessageBox::ApplicationTitle(),
                                 QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Warning);
            if (answer != QMessageBox::Retry) {
                current.hide(); // shown again, modal, by its exec()
                return false;
            }
        }
    }
}

QString TitleCommands::StepReadFailure(const DbError &error)
{
    const QString advice = LockWait::IsLock(error)
                               ? QStringLiteral("Another program is using the catalogue. ")
                               : QString();
    return error.Message(QStringLiteral(" reading records.")) + QStringLiteral("\r\n\r\n") + advice
           + QStringLiteral("Retry to go on to the next step, or Cancel to stay in this one; "
                            "nothing you have entered is lost.");
}

// The edit ends as a Cancel would end it, with the failure's text.
void TitleCommands::AbandonCommand(const QString &message)
{
    m_shared.ClearEditBuffer();
    MessageBox::Failure(&m_main, message);
    m_main.show();
    m_main.setEnabled(true);
}
