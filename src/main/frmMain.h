#pragma once

#include "Connection.h"
#include "DataGrid.h"
#include "ElidedLabel.h"
#include "Module1.h"
#include "RecordList.h"
#include "TitleDetailPanel.h"
#include "TitleFinder.h"

#include <QMainWindow>
#include <array>
#include <memory>

class FilteredRowsModel;
class FindBox;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QTabBar;
class QToolBar;

// The main window: the Inventory or Wishlist titles sorted by title, the record counter,
// and the detail panel of the active title (a widget of its own). The title commands,
// the About box and the cover chooser live in other layers; the window announces their
// triggers as signals.
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

    // Detail panel, always called all four in this order.
    void InitializeFields();
    void GenreDisplay();
    void CastDisplay();
    void DisplayCoverImage();
    TitleDetailPanel *Detail() const { return m_detail; }

    // A freshly opened MainConnection (the previous one is released first).
    Connection &ReopenMainConnection();
    void ReleaseMainConnection();

    int RecordCount() const { return m_recordCount; }
    int Position() const { return m_position; }
    int CurrentTab() const { return m_detail->CurrentTab(); }
    const std::shared_ptr<RecordList> &TitleList() const { return m_titleList; }

    // The find box's query: the list shows the titles with every word of it (an empty or
    // blank query shows the whole list). Called by the box once typing settles.
    void FindTitles(const QString &query);
    bool IsFiltering() const { return m_filtering; }
    // Titles of the current list, shown or not.
    int ListCount() const;
    // What the list shows, for reports: the titles' IDs in the order shown, and the find
    // box's text while it filters (empty when it does not).
    QVector<qint64> ShownTitleIds() const;
    QString ShownFilter() const;

    const QString &KeptTitle() const { return m_detail->KeptTitle(); }
    const QString &KeptSummary() const { return m_detail->KeptSummary(); }
    const QString &KeptEggs() const { return m_detail->KeptEggs(); }
    const QString &CoverFile() const { return m_detail->CoverFile(); }
    bool CoverIsPlaceholder() const { return m_detail->CoverIsPlaceholder(); }

    // A picture file decoded straight at the cover area's size (never at its own size);
    // a null image when it cannot be read.
    static QImage ReadCover(const QString &file) { return TitleDetailPanel::ReadCover(file); }
    // Shows a picture already read from `file` (a null one: the "cannot be shown" card).
    void ShowCoverPicture(const QString &file, const QImage &picture)
    {
        m_detail->ShowCoverPicture(file, picture);
    }

    // Controls (those of the detail panel are the panel's own, reachable here too)
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
    QAction *mnuFind = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuStatistics = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;
    QToolBar *Toolbar1 = nullptr;
    std::array<QRadioButton *, 2> OptionWishList{};
    FindBox *Find = nullptr;
    DataGrid *UltraGrid = nullptr;
    QLabel *lblRecordSelected = nullptr;
    ElidedLabel *lblTitle = nullptr;
    QLabel *lblDate = nullptr;
    QLabel *lblDirectedByTitle = nullptr;
    QLineEdit *txtDirector = nullptr;
    QLabel *lblGenreTitle = nullptr;
    QLineEdit *txtGenreDisplay = nullptr;
    QLabel *lblFeatures = nullptr;
    QPlainTextEdit *txtFeatures = nullptr;
    QTabBar *MultiTabStrip = nullptr;
    QPlainTextEdit *txtMulti = nullptr;
    QLabel *lblCastTitle = nullptr;
    DataGrid *CastUltraGRid = nullptr;
    QLabel *ImgCover = nullptr;
    QLabel *lblClickToEditPhoto = nullptr;

    // Toolbar button 1..7 (4 and 6 are separators).
    QAction *ToolbarButton(int index) const;

    // The designed size, or less where the screen's free area is smaller.
    static QSize OpeningSize(const QRect &available);
    static constexpr QSize DesignedSize{1180, 720};

    static constexpr int CoverWidth = TitleDetailPanel::CoverWidth;
    static constexpr int CoverHeight = TitleDetailPanel::CoverHeight;

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

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolbar();
    QWidget *createListPane();
    void aliasDetailControls();

    void LoadTitleList();
    void FitTitleColumns();
    void ShowFirstTitle();
    void RowActivated(int row);
    void UpdateRecordCounter();
    void OptionWishListClicked(int index);
    // The list's matches shown through the filter; false when the find was given up.
    bool filterTitleList();
    void refilterLoadedList();
    bool ensureFinder();
    void showListState(bool hasRows);
    void showFindState();

    Module1 &m_shared;
    QString QueryText;
    std::unique_ptr<Connection> MainConnection;
    TitleDetailPanel *m_detail = nullptr;
    std::shared_ptr<RecordList> m_titleList;
    std::array<QAction *, 8> m_toolbarButtons{};
    int m_recordCount = 0;
    int m_position = 0;
    bool m_loading = false;

    TitleFinder m_finder;
    FilteredRowsModel *m_filter = nullptr;
    QList<QByteArray> m_words;
    bool m_filtering = false;
    bool m_finderStale = true;
    bool m_switching = false;
    bool m_building = false;
    bool m_newTitleHidden = false;
    bool m_findPending = false;
    qint64 m_newestBefore = -1;
    const RecordList *m_finderRowsOf = nullptr; // the list whose IDs the finder has
};
