#pragma once

#include "Connection.h"
#include "DropDownComboBox.h"
#include "ElidedLabel.h"
#include "GenreBoxes.h"
#include "Module1.h"
#include "StepResult.h"

#include <QDialog>
#include <array>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// Editor step 2 ("2/3"): the features text and up to four genres, each box offering
// only the genres the other boxes do not hold. The title commands open the neighbouring
// steps; exec() loads the window from the edit buffer and returns a StepResult:
//   StepNext      EditFeatures and GenrePicks stored, the picks compacted (empty ones
//                 last); at least one genre was given.
//   StepBack      the same, without the genre check.
//   StepCancelled Cancel or Escape; the edit buffer is cleared (EditTitle, EditWishList
//                 and EditMode kept), CastRecords released, the main window shown and
//                 enabled.
class frmModify2 : public QDialog, public GenreBoxes
{
    Q_OBJECT

public:
    // mainWindow is shown and enabled again when the editor is cancelled.
    frmModify2(Module1 &shared, QWidget *mainWindow, QWidget *parent = nullptr);
    ~frmModify2() override;

    // Loads the edit buffer (unless Form_Load already did), then runs the window. A genre
    // list that cannot be read throws DbError before the window shows.
    int exec() override;
    void Form_Load();

    // GenreBoxes: the genre manager reaches into the open step through these.
    QString GenreBoxText(int index) const override;
    void SetGenreBoxText(int index, const QString &text) override;
    void GenreManagerFinished() override;

    // The genres the last query offered, in the order offered.
    QStringList OfferedGenres() const;

    QLabel *lblTitle = nullptr;
    ElidedLabel *lblTitleDisplay = nullptr;
    std::array<QLabel *, 4> lblGenre{};
    std::array<DropDownComboBox *, 4> cmbGenre{};
    QLabel *lblAstric = nullptr;
    QLabel *lblBackspace = nullptr;
    QToolButton *cmdManageGenreTypes = nullptr;
    QLabel *lblManageGenreTypes = nullptr;
    QLabel *lblFeatures = nullptr;
    QPlainTextEdit *txtFeatures = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdNext = nullptr;

    // Escape and closing the window do what Cancel does.
    void reject() override;

private:
    void createControls();
    void createLayout();

    void StoreStep2Fields();
    void MatchStoredSpellings();
    void CompactGenrePicks();
    void EnableGenreBoxes();
    void QueryUnpickedGenres();
    void Release();

    void cmbGenre_DropDown(int index);
    void cmdManageGenreTypes_Click();
    void cmdNext_Click();
    void cmdBack_Click();
    void OpenGenreManager();

    Module1 &m_shared;
    QWidget *m_mainWindow;
    std::unique_ptr<Connection> m_connection;
    std::shared_ptr<RecordList> m_genreList;
    bool m_loaded = false;
};
