#pragma once

#include "Connection.h"
#include "DataGrid.h"
#include "LoanMarks.h"
#include "Module1.h"
#include "RecordList.h"
#include "TitleDetailPanel.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class BrowsePanel;
class FindBox;
class ListColumns;
class QAction;
class QLabel;
class QMenu;
class QRadioButton;
class QToolBar;
class TitleListFilter;

// The main window: the Inventory or Wishlist titles (sorted by title, or by the column the
// user chose: ListColumns), the record counter, and the detail panel of the active title
// (a widget of its own). The title commands, the About box and the cover chooser live in
// other layers; the window announces their triggers as signals.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(Module1 &shared, QWidget *parent = nullptr);
    ~frmMain() override;

    Module1 &Shared() const { return m_shared; }

    // Start-up sequence; a catalogue that cannot be read throws DbError.
    void Form_Load();
    void RefreshRecords();
    // The same after a change to that one title alone (added, modified or deleted here):
    // the find box's index reads only that title again.
    void RefreshRecords(qint64 changedTitleId);

    // The detail panel: the facts, genres, cast and cover of the active title, and the
    // controls that show them.
    TitleDetailPanel *Detail() const { return m_detail; }

    // A freshly opened MainConnection (the previous one is released first).
    Connection &ReopenMainConnection();
    void ReleaseMainConnection() { MainConnection.reset(); }

    int RecordCount() const { return m_recordCount; }
    const std::shared_ptr<RecordList> &TitleList() const { return m_titleList; }

    // What the list shows and why (the reports follow it).
    const TitleListFilter &Filter() const { return *m_filter; }

    // Makes the title active: its list shown, a find query that hides it cleared. False
    // when the title is on neither list.
    bool ShowTitle(qint64 titleId, int wishList);

    // Controls (those of the detail panel are the panel's own: Detail())
    QMenu *mnuFile = nullptr;
    QAction *mnuImport = nullptr;
    QAction *mnuExport = nullptr;
    QAction *mnuBackup = nullptr;
    QAction *mnuPrintList = nullptr;
    QAction *mnuExportPdf = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuAdd = nullptr;
    QAction *mnuModify = nullptr;
    QAction *mnuDelete = nullptr;
    QAction *mnuLend = nullptr;
    QAction *mnuReturn = nullptr;
    QAction *mnuLoans = nullptr;
    QAction *mnuFind = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuBrowsePanel = nullptr;
    QAction *mnuStatistics = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;
    QToolBar *Toolbar1 = nullptr;
    std::array<QRadioButton *, 2> OptionWishList{};
    FindBox *Find = nullptr;
    DataGrid *UltraGrid = nullptr;
    BrowsePanel *Browse = nullptr;
    ListColumns *Columns = nullptr;
    QLabel *lblRecordSelected = nullptr;

    // Toolbar button 1..7 (4 and 6 are separators).
    QAction *ToolbarButton(int index) const
    {
        return (index >= 1 && index <= 7) ? m_toolbarButtons[index] : nullptr;
    }

    // The designed size, or less where the screen's free area is smaller.
    static QSize OpeningSize(const QRect &available);
    static constexpr QSize DesignedSize{1180, 720};

Q_SIGNALS:
    void AddRequested();
    void ModifyRequested();
    void DeleteRequested();
    void AboutRequested();
    void ImgCoverClicked();
    void ImportRequested();
    void ExportRequested();
    void BackupRequested();
    void PrintListRequested();
    void ExportPdfRequested();
    void StatisticsRequested();
    void LendRequested();
    void ReturnRequested();
    void LoansRequested();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *createListPane();

    void reloadList();
    void LoadTitleList();
    void FitTitleColumns();
    void ShowFirstTitle();
    void RowActivated(int row);
    void UpdateRecordCounter();
    void OptionWishListClicked(int index);
    void Refiltered(int activeBefore);
    void showActiveTitle();
    void showListState(bool hasRows);

    Module1 &m_shared;
    QString QueryText;
    std::unique_ptr<Connection> MainConnection;
    TitleDetailPanel *m_detail = nullptr;
    std::shared_ptr<RecordList> m_titleList;
    std::array<QAction *, 8> m_toolbarButtons{};
    int m_recordCount = 0;
    int m_position = 0;
    bool m_loading = false;
    bool m_switching = false;
    TitleListFilter *m_filter = nullptr;
    // Where the keyboard was while the window was last enabled: given back when a window
    // opened over it (which disables it) closes and enables it again.
    QPointer<QWidget> m_keyboardAt;
    LoanMarks m_loanMarks;
};
