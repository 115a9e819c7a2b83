#pragma once

#include "ElidedLabel.h"
#include "StepResult.h"
#include "TitleRecord.h"

#include <QDialog>
#include <QString>

class DataGrid;
class Module1;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class RecordList;
class frmMain;

// Editor step 3 ("3/3"): the cast list of the title in the edit buffer, edited in place
// in a grid bound to Module1::CastRecords, and Finish, which saves the whole title.
//
// exec() returns a StepResult:
//   StepFinished  the title was saved; the edit buffer is cleared, CastRecords released,
//                 the main window reloaded, shown and enabled.
//   StepBack      nothing cleared; the caller shows step 2 (CastRecords keeps its rows).
//   StepCancelled Cancel or Escape; the edit buffer is cleared (EditTitle, EditWishList
//                 and EditMode kept), CastRecords released, the main window shown and
//                 enabled; the catalogue is untouched.
// A save that fails shows its message and keeps the window open with all its input.
class frmModify3 : public QDialog
{
    Q_OBJECT

public:
    // Load: shows EditTitle, binds the grid to CastRecords (a new empty list when there is
    // none) and fits the columns.
    frmModify3(Module1 &shared, frmMain &main, QWidget *parent = nullptr);
    ~frmModify3() override;

    // Fits both columns to their header and values, puts the grid on its first cell and
    // enables Delete exactly when the list has rows. Call it after replacing the rows of
    // CastRecords, or CastRecords itself (the grid is then bound to the new list).
    void ColResize();

    // Writes the edit buffer to the catalogue in one transaction: the title row (inserted,
    // or updated when EditMode is "Yes"), its genre links and its cast rows. On failure
    // shows the message, leaves the catalogue as it was and returns false. A modified
    // title deleted meanwhile is written only if the user asks to save it as a new title
    // (EditMode then becomes "No"). The edit buffer's texts are never changed here.
    bool SaveTitle();
    static QString DeletedMeanwhileTitle() { return QStringLiteral("Title Deleted Meanwhile"); }
    // The ID of the title the last successful SaveTitle wrote (0 before one).
    qint64 SavedTitleId() const { return m_savedTitleId; }

    // Controls
    QLabel *lblTitle = nullptr;
    ElidedLabel *lblTitleDisplay = nullptr;
    QLabel *lblActor = nullptr;
    QLabel *lblCharacter = nullptr;
    QLineEdit *txtActor1 = nullptr;
    QLineEdit *txtCharacter1 = nullptr;
    QPushButton *cmdAdd = nullptr;
    DataGrid *UltraGrid = nullptr;
    QPushButton *cmdDelete = nullptr;
    QToolButton *cmdMultiPaste = nullptr;
    QLabel *lblMultiPaste = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdFinish = nullptr;

protected:
    void reject() override;

private:
    void createControls();
    void bindGrid();
    void showCastRecords();
    RecordList &castList();

    void cmdAddClick();
    void cmdDeleteClick();
    void cmdMultiPasteClick();
    void cmdBackClick();
    void cmdCancelClick();
    void cmdFinishClick();
    void UltraGridAfterCellUpdate(int row, int column);

    // The edit buffer as the title to write (the picks as they are, empty ones too).
    TitleRecord EditedTitle() const;
    // Asks whether a title deleted meanwhile is saved as a new one, and does so.
    bool SaveDeletedTitle();
    void ReleaseCastRecords();
    void ShowMainWindow();

    Module1 &m_shared;
    frmMain &m_main;
    // A cell's value just before the user's edit of it was committed.
    QString CellValueBefore;
    qint64 m_savedTitleId = 0;
};
