#include "TitleCommands.h"

#include "Connection.h"
#include "DbError.h"
#include "Letters.h"
#include "MessageBox.h"
#include "Module1.h"
#include "RecordList.h"
#include "StepResult.h"
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

TitleCommands::TitleCommands(Module1 &shared, frmMain &main) : m_shared(shared), m_main(main)
{
}

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
        m_shared.CountMatches(); // leaves LookupValue quote-doubled for the statement below
        if (m_shared.LookupCount > 0) {
            // Spellings the catalogue's = does not take for the typed name ("AMÉLIE" for
            // "Amélie") are listed by name.
            QString others;
            for (const QString &spelling : m_shared.LookupMatches)
                if (!Letters::NocaseEqual(spelling, m_shared.PromptText))
                    others += QStringLiteral(" OR ") + m_shared.LookupField + QStringLiteral(" = '")
                              + Module1::Quote(spelling) + QStringLiteral("'");
            m_shared.AlertQuery = QStringLiteral("SELECT Title, Sub_Title, Date, Director FROM ")
                                  + m_shared.LookupTable + QStringLiteral(" WHERE ")
                                  + m_shared.LookupField + QStringLiteral(" = '")
                                  + m_shared.LookupValue + QStringLiteral("'") + others
                                  + QStringLiteral(" ORDER BY ") + m_shared.LookupField
                                  + QStringLiteral(";");
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
    const QString id = QString::number(m_shared.SelectedTitleId);
    m_shared.EditTitle = m_main.KeptTitle();

    m_main.QueryText = QStringLiteral("SELECT Title, Sub_Title, Date, Director, Summary, "
                                      "Features, Eggs, WishList FROM DVD_Title WHERE ID = ")
                       + id;
    m_main.OpenDetailQuery();
    RecordList &title = *m_main.DetailRecords;
    // The row's own title: the main window keeps the previous title's text when the
    // active one has none, and that name must not be saved over this title.
    m_shared.EditTitle = textOf(title.Value(QStringLiteral("Title")));
    m_shared.EditSubTitle = textOf(title.Value(QStringLiteral("Sub_Title")));
    m_shared.EditDate = textOf(title.Value(QStringLiteral("Date")));
    m_shared.EditDirector = textOf(title.Value(QStringLiteral("Director")));
    m_shared.EditSummary = textOf(title.Value(QStringLiteral("Summary")));
    m_shared.EditEggs = textOf(title.Value(QStringLiteral("Eggs")));
    m_shared.EditFeatures = textOf(title.Value(QStringLiteral("Features")));
    m_shared.EditWishList = title.Value(QStringLiteral("WishList")).toInt();

    m_main.QueryText = QStringLiteral("SELECT Genre.Genre, Genre.Genre_ID FROM Genre INNER JOIN "
                                      "Genre_Relationships ON ")
                       + QStringLiteral("Genre.Genre_ID = Genre_Relationships.Genre_ID ")
                       + QStringLiteral("WHERE (((Genre_Relationships.Title_ID)=") + id
                       + QStringLiteral("))");
    m_main.OpenDetailQuery();
    RecordList &genres = *m_main.DetailRecords;
    // Four slots: a title linked to more genres (written by something else) loads its
    // first four, and the save keeps the links beyond them.
    for (QString &pick : m_shared.GenrePicks)
        pick.clear();
    m_shared.KeptGenreIds.clear();
    genres.MoveFirst();
    for (std::size_t slot = 0; !genres.Eof(); ++slot) {
        if (slot < m_shared.GenrePicks.size())
            m_shared.GenrePicks[slot] = textOf(genres.Value(QStringLiteral("Genre")));
        else
            m_shared.KeptGenreIds << genres.Value(QStringLiteral("Genre_ID")).toLongLong();
        genres.MoveNext();
    }

    Connection &connection = m_main.ReopenMainConnection();
    m_shared.CreateCastRecords();
    m_shared.CastRecords->Open(QStringLiteral("SELECT Actor, Character FROM Cast_Relationships "
                                              "WHERE Movie = ")
                                   + id + QStringLiteral(" ORDER BY Actor"),
                               connection);
    Letters::Sort(*m_shared.CastRecords, 0);
    m_main.ReleaseMainConnection();
}

void TitleCommands::DeleteTitle()
{
    const QString id = QString::number(m_shared.SelectedTitleId);
    QString title;
    try {
        // Asked with the row's own title: the main window keeps the previous title's
        // text when the active one has none.
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        RecordList row;
        row.Open(QStringLiteral("SELECT Title FROM DVD_Title WHERE ID = ") + id, connection);
        title = row.Eof() ? m_main.KeptTitle() : textOf(row.Value(0));
    } catch (const DbError &error) {
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" deleting records.")));
        return;
    }

    const auto answer = MessageBox::Show(
        &m_main, QStringLiteral("Are you sure you want to delete ") + title + QStringLiteral("?"),
        QStringLiteral("Confirm Title Deletion"), QMessageBox::Ok | QMessageBox::Cancel,
        QMessageBox::Information);
    if (answer != QMessageBox::Ok)
        return;

    // The title, its genre links and its cast go together or not at all.
    try {
        Connection &connection = m_main.ReopenMainConnection();
        connection.BeginTrans();
        try {
            connection.Execute(QStringLiteral("Delete FROM DVD_Title Where Id = ") + id);
            connection.Execute(QStringLiteral("Delete FROM Genre_Relationships Where Title_Id = ")
                               + id);
            connection.Execute(QStringLiteral("Delete FROM Cast_Relationships Where Movie = ")
                               + id);
            connection.CommitTrans();
        } catch (const DbError &) {
            connection.RollbackTrans();
            throw;
        }
        m_main.ReleaseMainConnection();
    } catch (const DbError &error) {
        m_main.ReleaseMainConnection();
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" deleting records.")));
        return;
    }

    // Only once the rows are gone: a failed delete keeps its picture.
    const QString cover = m_shared.AppFolder + QStringLiteral("/images/") + id
                          + QStringLiteral(".jpg");
    QFile coverFile(cover);
    const bool kept = coverFile.exists() && !coverFile.remove();
    m_main.RefreshRecords();
    if (kept)
        MessageBox::Critical(&m_main, QStringLiteral("The title was deleted, but its cover "
                                                     "picture \"%1\" could not be removed: %2")
                                          .arg(QDir::toNativeSeparators(cover),
                                               coverFile.errorString()));
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
        return window.exec() == StepNext ? 2 : 0;
    }
    case 2: {
        frmModify2 window(m_shared, &m_main, &m_main);
        switch (window.exec()) {
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
        return window.exec() == StepBack ? 2 : 0;
    }
    default:
        return 0;
    }
}

// The edit ends as a Cancel would end it, with the failure's text.
void TitleCommands::AbandonCommand(const QString &message)
{
    m_shared.ClearEditBuffer();
    MessageBox::Failure(&m_main, message);
    m_main.show();
    m_main.setEnabled(true);
}
