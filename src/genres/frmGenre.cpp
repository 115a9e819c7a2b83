#include "frmGenre.h"

#include "Connection.h"
#include "DbError.h"
#include "DrawnIcons.h"
#include "GenreBoxes.h"
#include "Letters.h"
#include "LockWait.h"
#include "MessageBox.h"
#include "Statements.h"
#include "StorableText.h"
#include "Transaction.h"
#include "WindowLook.h"
#include "frmAlert.h"
#include "frmTextBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmGenre::frmGenre(Module1 &shared, GenreBoxes *editor, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_editor(editor)
{
    setWindowTitle(QStringLiteral("Genre (Add/Delete)"));
    setFont(WindowLook::FormFont());
    createControls();
    createLayout();
    StorableText::Guard(this);
    WindowLook::FixDialog(this, 6600, 4500);
}

frmGenre::~frmGenre()
{
    UltraGrid->SetDataSource(nullptr);
}

void frmGenre::createControls()
{
    UltraGrid = new DataGrid(this);
    UltraGrid->setObjectName(QStringLiteral("UltraGrid"));
    connect(UltraGrid, &DataGrid::InitializeLayout, this,
            [this] { UltraGrid->SetGridFont(WindowLook::GridFont()); });
    connect(UltraGrid, &DataGrid::AfterRowActivate, this, &frmGenre::ShowPickedGenre);
    // A click on the row that is already active picks it again (after Add emptied the box).
    connect(UltraGrid, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { ShowPickedGenre(index.row()); });

    lblGenreAdd = new QLabel(QStringLiteral("Enter Genre:"), this);
    lblGenreAdd->setObjectName(QStringLiteral("lblGenreAdd"));
    txtGenreAdd = new QLineEdit(this);
    txtGenreAdd->setObjectName(QStringLiteral("txtGenreAdd"));
    txtGenreAdd->setFont(WindowLook::Font(9, false));
    txtGenreAdd->setMaxLength(MaxTypedLength);
    // A longer stored name shown here (renamed ones may have up to 55 characters) stays
    // whole, but typing never makes the text longer than 12 or than it already is.
    connect(txtGenreAdd, &QLineEdit::textChanged, this, [this](const QString &text) {
        txtGenreAdd->setMaxLength(std::max<int>(MaxTypedLength, text.size()));
    });
    lblGenreAdd->setBuddy(txtGenreAdd);
    lblAstric = new QLabel(QStringLiteral("*"), this);
    lblAstric->setObjectName(QStringLiteral("lblAstric"));
    lblAstric->setStyleSheet(QStringLiteral("color: #b83b3b"));
    picLeftArrow = new QLabel(this);
    picLeftArrow->setObjectName(QStringLiteral("picLeftArrow"));
    picLeftArrow->setPixmap(DrawnIcons::LeftArrow());

    const auto button = [this](const QString &caption, const QString &name) {
        return WindowLook::Button(this, caption, name);
    };
    cmdGenreAdd = button(QStringLiteral("&Add"), QStringLiteral("cmdGenreAdd"));
    cmdGenreAdd->setDefault(true);
    cmdGenreRemove = button(QStringLiteral("&Remove"), QStringLiteral("cmdGenreRemove"));
    cmdGenreRename = button(QStringLiteral("R&ename"), QStringLiteral("cmdGenreRename"));
    cmdFinishGenre = button(QStringLiteral("&Finish"), QStringLiteral("cmdFinishGenre"));
    connect(cmdGenreAdd, &QPushButton::clicked, this, &frmGenre::cmdGenreAdd_Click);
    connect(cmdGenreRemove, &QPushButton::clicked, this, &frmGenre::cmdGenreRemove_Click);
    connect(cmdGenreRename, &QPushButton::clicked, this, &frmGenre::cmdGenreRename_Click);
    connect(cmdFinishGenre, &QPushButton::clicked, this, &frmGenre::cmdFinishGenre_Click);
}

void frmGenre::createLayout()
{
    auto *entry = new QHBoxLayout;
    entry->setSpacing(4);
    entry->addWidget(picLeftArrow);
    entry->addWidget(txtGenreAdd, 1);
    entry->addWidget(lblAstric);

    auto *side = new QVBoxLayout;
    side->addWidget(lblGenreAdd);
    side->addLayout(entry);
    side->addSpacing(10);
    side->addWidget(cmdGenreAdd);
    side->addWidget(cmdGenreRemove);
    side->addWidget(cmdGenreRename);
    side->addStretch();
    side->addWidget(cmdFinishGenre);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(14);
    layout->addWidget(UltraGrid, 1);
    layout->addLayout(side);
}

int frmGenre::exec()
{
    Form_Load();
    return QDialog::exec();
}

void frmGenre::Form_Load()
{
    LoadGenreList();
    SizeGenreColumn();
    UltraGrid->ActivateFirstRow();
    txtGenreAdd->selectAll();
    txtGenreAdd->setFocus();
}

void frmGenre::LoadGenreList()
{
    auto list = std::make_shared<RecordList>();
    {
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        list->Open(Statements::GenreList(), connection);
    }
    Letters::Sort(*list, 0);
    m_genreList = list;
    UltraGrid->SetDataSource(m_genreList);
    UltraGrid->SetHeaderCaption(0, QStringLiteral("Genre"));
    const bool any = m_genreList->RecordCount() > 0;
    cmdGenreRemove->setEnabled(any);
    cmdGenreRename->setEnabled(any);
}

void frmGenre::SizeGenreColumn()
{
    UltraGrid->FitColumn(0, QFontMetrics(font()), ColumnFit(400, 200));
}

void frmGenre::ReloadAfterChange()
{
    LoadGenreList();
    SizeGenreColumn();
    UltraGrid->ActivateFirstRow();
    SetGenreText(QString());
}

void frmGenre::ShowPickedGenre(int row)
{
    if (!m_genreList || row < 0 || row >= m_genreList->RecordCount())
        return;
    SetGenreText(m_genreList->ValueAt(row, 0).toString());
    txtGenreAdd->selectAll();
}

void frmGenre::SetGenreText(const QString &text)
{
    // The typing limit must not cut a longer stored name shown from the list.
    txtGenreAdd->setMaxLength(std::max<int>(MaxTypedLength, text.size()));
    txtGenreAdd->setText(text);
}

void frmGenre::cmdGenreAdd_Click()
{
    const QString genre = txtGenreAdd->text();
    if (genre.isEmpty()) {
        MessageBox::Critical(this, QStringLiteral("You Must Enter A Genre"));
        return;
    }
    try {
        if (NameTaken(genre)) {
            MessageBox::Critical(this, QStringLiteral("That Genre Already Exists"));
            SetGenreText(QString());
            return;
        }
        LockWait::Retrying([&] {
            Connection connection;
            connection.Open(m_shared.ConnectionString);
            connection.Execute(Statements::InsertGenre(genre));
        });
        ReloadAfterChange();
    } catch (const DbError &error) {
        MessageBox::Failure(this, error.Message(QStringLiteral(" inserting record.")));
        SetGenreText(QString());
    }
}

void frmGenre::cmdGenreRemove_Click()
{
    m_shared.LookupTable = QStringLiteral("Genre");
    m_shared.LookupField = QStringLiteral("Genre");
    m_shared.GenreAction = QStringLiteral("delete");
    Modify();
}

void frmGenre::cmdGenreRename_Click()
{
    m_shared.GenreAction = QStringLiteral("rename");
    m_shared.LookupTable = QStringLiteral("Genre");
    m_shared.LookupField = QStringLiteral("Genre");
    Modify();
}

void frmGenre::Modify()
{
    m_shared.PromptAccepted = 0;
    m_shared.PromptCancelled = QStringLiteral("False");
    m_shared.LookupExists = QStringLiteral("True");
    const QString genre = txtGenreAdd->text();
    if (genre.isEmpty()) {
        MessageBox::Critical(this, QStringLiteral("You Must Select A Genre"));
        return;
    }
    try {
        m_shared.LookupValue = genre;
        m_shared.CountMatches();
        if (m_shared.LookupCount == 0) {
            SetGenreText(QString());
            MessageBox::Critical(this, QStringLiteral("The Genre Entered Does Not Exist"));
            return;
        }
        // "épopée" typed for the stored "Épopée": the statements name the stored spelling,
        // since the catalogue's = folds A to Z only.
        const QString stored = Letters::StoredSpelling(genre, m_shared.LookupMatches);
        if (stored != genre)
            SetGenreText(stored);
        if (m_shared.GenreAction == QLatin1String("delete"))
            RemoveGenre(stored);
        else if (m_shared.GenreAction == QLatin1String("rename"))
            RenameGenre(stored);
    } catch (const DbError &error) {
        MessageBox::Failure(this, error.Message(QStringLiteral(" modifying record.")));
        SetGenreText(QString());
    }
}

void frmGenre::RemoveGenre(const QString &genre)
{
    const auto answer = MessageBox::Show(
        this, QStringLiteral("Are you sure you want to delete ") + genre + QStringLiteral("?"),
        QStringLiteral("Confirm Genre Deletion"), QMessageBox::Ok | QMessageBox::Cancel,
        QMessageBox::Information);
    if (answer != QMessageBox::Ok)
        return;
    TitlesonGenre();
    if (m_shared.PromptAccepted != 1)
        return;

    // The links and the genre go together or not at all. Links are removed even when
    // no listed title carries the genre, so none is left pointing at a missing genre.
    LockWait::Retrying([&] {
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        Transaction transaction(connection);
        connection.Execute(Statements::DeleteLinksOfGenre(genre));
        connection.Execute(Statements::DeleteGenre(genre));
        transaction.Commit();
    });
    ClearDeletedGenrePicks(genre);
    ReloadAfterChange();
}

void frmGenre::RenameGenre(const QString &genre)
{
    if (!AskNewName())
        return; // the text box keeps the genre
    const QString newName = m_shared.PromptText;
    TitlesonGenre();
    if (m_shared.PromptAccepted != 1) {
        SetGenreText(QString());
        return;
    }
    // One statement: the genre keeps its ID, so its titles keep it under the new name.
    LockWait::Retrying([&] {
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        connection.Execute(Statements::RenameGenre(genre, newName));
    });
    RenameGenrePicks(genre, newName);
    ReloadAfterChange();
}

bool frmGenre::AskNewName()
{
    while (m_shared.LookupExists != QLatin1String("False")) {
        frmTextBox prompt(m_shared, PromptOpener::GenreManager, nullptr, this);
        prompt.exec();
        if (m_shared.PromptCancelled == QLatin1String("True"))
            return false;
        if (m_shared.PromptText.isEmpty()) {
            MessageBox::Critical(this, QStringLiteral("You Must Enter A New Genre"));
            m_shared.LookupExists = QStringLiteral("True");
            continue;
        }
        if (NameTaken(m_shared.PromptText)) {
            // Whichever button is pressed, the prompt opens again.
            MessageBox::Show(this, QStringLiteral("Name already in use, please choose another"),
                             QStringLiteral("Error"),
                             QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Ignore,
                             QMessageBox::Critical,
                             {{QMessageBox::Retry, QStringLiteral("&Try Again")},
                              {QMessageBox::Ignore, QStringLiteral("C&ontinue")}});
            m_shared.LookupExists = QStringLiteral("True");
        }
    }
    return true;
}

bool frmGenre::NameTaken(const QString &name)
{
    m_shared.LookupTable = QStringLiteral("Genre");
    m_shared.LookupField = QStringLiteral("Genre");
    m_shared.LookupValue = name;
    m_shared.CountMatches();
    return m_shared.LookupCount > 0;
}

void frmGenre::TitlesonGenre()
{
    const QString genre = txtGenreAdd->text();
    {
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        RecordList count;
        count.Open(Statements::CountTitlesOnGenre(genre), connection);
        if (count.RecordCount() == 0) {
            m_shared.PromptAccepted = 1;
            m_shared.GenreTitleCount = 0;
            return;
        }
        m_shared.PromptAccepted = 0;
        m_shared.GenreTitleCount = count.Value(QStringLiteral("CountOfTitle")).toInt();
    }
    m_shared.AlertQuery = Statements::TitlesOnGenre(genre);
    m_shared.AlertMessage =
        QStringLiteral("The following titles are currently classified under the genre type ")
        + genre + QStringLiteral(".  If you modify ") + genre
        + QStringLiteral(" the titles will no longer be classified under ") + genre
        + QStringLiteral(".  Are you sure you want to do this?");
    frmAlert alert(m_shared, PromptOpener::GenreManager, nullptr, this);
    alert.exec();
}

// Picks and boxes name genres as the catalogue does, ignoring case, so "drama" typed
// into a box is the genre Drama.
void frmGenre::ClearDeletedGenrePicks(const QString &genre)
{
    for (int index = 0; index < GenreBoxes::Count; ++index) {
        const bool pickMatches = Letters::Equal(m_shared.GenrePicks[index], genre);
        const bool boxMatches = m_editor && Letters::Equal(m_editor->GenreBoxText(index), genre);
        if (!pickMatches && !boxMatches)
            continue;
        m_shared.GenrePicks[index].clear();
        if (m_editor)
            m_editor->SetGenreBoxText(index, QString());
    }
}

void frmGenre::RenameGenrePicks(const QString &genre, const QString &newName)
{
    for (int index = 0; index < GenreBoxes::Count; ++index) {
        if (Letters::Equal(m_shared.GenrePicks[index], genre))
            m_shared.GenrePicks[index] = newName;
        if (m_editor && Letters::Equal(m_editor->GenreBoxText(index), genre))
            m_editor->SetGenreBoxText(index, newName);
    }
}

void frmGenre::cmdFinishGenre_Click()
{
    UltraGrid->SetDataSource(nullptr);
    m_genreList.reset();
    QDialog::accept();
    if (m_editor)
        m_editor->GenreManagerFinished();
}

void frmGenre::reject()
{
    cmdFinishGenre_Click();
}
