#pragma once

#include "RecordList.h"

#include <QDialog>
#include <QVector>
#include <memory>

class DataGrid;
class Module1;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class frmModify3;

// The "Multi-Paste Generator": two columns of pasted text (one cast entry a line, actor
// and character cut by a delimiter asked for on each Generate) become rows in a grid,
// every empty cell red and counted. Finish, once a Generate found no empty cell and the
// user confirms, replaces step 3's cast list (Module1::CastRecords) with those rows.
//
// Step 3 is disabled from construction until the generator closes; however it closes,
// step 3 is then enabled and shown again. Cancel and Escape leave the cast list alone.
class frmPasteCastData : public QDialog
{
    Q_OBJECT

public:
    frmPasteCastData(Module1 &shared, frmModify3 &step3);
    ~frmPasteCastData() override;

    // One row (Actor, Character) per line of text. A line ends at LF or CR LF; an empty
    // line makes no row, a line of spaces does. Each line is cut at delimiter: piece 0 is
    // the actor, piece 1 the character (empty when there is none), later pieces are
    // dropped; both lose their leading and trailing spaces (only spaces).
    static QVector<RecordList::Row> GenerateRows(const QString &text, const QString &delimiter);

    // Fits both columns to their header and values in this window's font, puts the grid
    // on its first cell and clears the selection.
    void FitPasteColumns();

    // Empty cells found since the last Generate started; only a Generate lowers it.
    int PasteErrorCount() const { return m_pasteErrorCount; }
    const std::shared_ptr<RecordList> &PasteRecords() const { return m_pasteRecords; }

    // Controls
    QPlainTextEdit *Text1 = nullptr;
    QPushButton *cmdGEnerate = nullptr;
    DataGrid *MultiPasteUltraGrid = nullptr;
    QPushButton *cmdFinish = nullptr;
    QPushButton *cmdCancel = nullptr;
    QTimer *Timer1 = nullptr;

public Q_SLOTS:
    void done(int result) override;
    void reject() override;

private:
    void createControls();
    void Timer1Timer();
    void cmdGEnerateClick();
    void cmdFinishClick();
    void cmdCancelClick();
    void RowCheck(int row);
    void NewPasteRecords();

    Module1 &m_shared;
    frmModify3 &m_step3;
    std::shared_ptr<RecordList> m_pasteRecords;
    int m_pasteErrorCount = 0;
};
