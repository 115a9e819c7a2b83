#pragma once

#include "DataGrid.h"
#include "Module1.h"

#include <QDialog>
#include <memory>

class GenreBoxes;
class QLabel;
class QLineEdit;
class QPushButton;

// "Genre (Add/Delete)": adds, renames and removes genre names, warning about the titles
// a change affects and keeping the open editor's genre boxes in step.
class frmGenre : public QDialog
{
    Q_OBJECT

public:
    // editor: the open editor step whose boxes follow renames and removals (may be null).
    frmGenre(Module1 &shared, GenreBoxes *editor, QWidget *parent = nullptr);
    ~frmGenre() override;

    // Loads the genre list, then runs the window. A list that cannot be read throws
    // DbError before the window shows.
    int exec() override;
    void Form_Load();

    // Removes or renames the genre in txtGenreAdd, as GenreAction says.
    void Modify();
    // Counts the titles under the genre in txtGenreAdd and, when there are any, asks
    // through the warning window; answers in PromptAccepted and GenreTitleCount.
    void TitlesonGenre();

    // The text box takes at most this many typed characters.
    static constexpr int MaxTypedLength = 12;

    DataGrid *UltraGrid = nullptr;
    QLabel *lblGenreAdd = nullptr;
    QLineEdit *txtGenreAdd = nullptr;
    QLabel *lblAstric = nullptr;
    QLabel *picLeftArrow = nullptr;
    QPushButton *cmdGenreAdd = nullptr;
    QPushButton *cmdGenreRemove = nullptr;
    QPushButton *cmdGenreRename = nullptr;
    QPushButton *cmdFinishGenre = nullptr;

    // Finish is the only way out: Escape and closing the window finish too.
    void reject() override;

private:
    void createControls();
    void createLayout();

    void LoadGenreList();
    void SizeGenreColumn();
    void ReloadAfterChange();
    void ShowPickedGenre(int row);
    void SetGenreText(const QString &text);

    void cmdGenreAdd_Click();
    void cmdGenreRemove_Click();
    void cmdGenreRename_Click();
    void cmdFinishGenre_Click();

    void RemoveGenre(const QString &genre);
    void RenameGenre(const QString &genre);
    bool AskNewName();
    // Whether a genre of that name exists (CountMatches: letter case ignored in every
    // script).
    bool NameTaken(const QString &name);
    void ClearDeletedGenrePicks(const QString &genre);
    void RenameGenrePicks(const QString &genre, const QString &newName);

    Module1 &m_shared;
    GenreBoxes *m_editor;
    std::shared_ptr<RecordList> m_genreList;
};
