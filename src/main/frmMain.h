#pragma once

#include "Connection.h"
#include "DataGrid.h"
#include "ElidedLabel.h"
#include "Module1.h"
#include "RecordList.h"

#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QTabBar;
class QToolBar;

// The main window: the Inventory or Wishlist titles sorted by title, the record counter,
// and the detail panel of the active title. The title commands, the About box and the
// cover chooser live in other layers; the window announces their triggers as signals.
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

    // Opens DetailRecords on QueryText through a freshly opened MainConnection.
    void OpenDetailQuery();
    // A freshly opened MainConnection (the previous one is released first).
    Connection &ReopenMainConnection();
    void ReleaseMainConnection();

    int RecordCount() const { return m_recordCount; }
    int Position() const { return m_position; }
    int CurrentTab() const { return m_currentTab; }
    const std::shared_ptr<RecordList> &TitleList() const { return m_titleList; }

    // Kept texts of the active title; the modify and delete commands use the title.
    const QString &KeptTitle() const { return m_keptTitle; }
    const QString &KeptSummary() const { return m_keptSummary; }
    const QString &KeptEggs() const { return m_keptEggs; }

    // A picture file decoded straight at the cover area's size (never at its own size);
    // a null image when it cannot be read.
    static QImage ReadCover(const QString &file);
    // Shows a picture already read from `file` (a null one: the "cannot be shown" card).
    void ShowCoverPicture(const QString &file, const QImage &picture);

    // What the cover area shows: the file loaded, and whether it could not be shown.
    const QString &CoverFile() const { return m_coverFile; }
    bool CoverIsPlaceholder() const { return m_coverPlaceholder; }

    QString QueryText;
    std::shared_ptr<RecordList> DetailRecords;
    std::unique_ptr<Connection> MainConnection;

    // Controls
    QMenu *mnuFile = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuAdd = nullptr;
    QAction *mnuModify = nullptr;
    QAction *mnuDelete = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;
    QToolBar *Toolbar1 = nullptr;
    std::array<QRadioButton *, 2> OptionWishList{};
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

    // The cover area, in pixels.
    static constexpr int CoverWidth = 200;
    static constexpr int CoverHeight = 282;

Q_SIGNALS:
    void AddRequested();
    void ModifyRequested();
    void DeleteRequested();
    void AboutRequested();
    void ImgCoverClicked();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolbar();
    QWidget *createListPane();
    QWidget *createDetailPanel();

    void LoadTitleList();
    void FitTitleColumns();
    void FitCastColumns();
    void ShowFirstTitle();
    void RowActivated(int row);
    void UpdateRecordCounter();
    void OptionWishListClicked(int index);
    void MultiTabStripClicked(int index);
    void ShowCover(const QString &file);

    Module1 &m_shared;
    std::shared_ptr<RecordList> m_titleList;
    std::array<QAction *, 8> m_toolbarButtons{};
    int m_recordCount = 0;
    int m_position = 0;
    int m_currentTab = 1;
    bool m_loading = false;

    QString m_keptTitle;
    QString m_keptDate;
    QString m_keptDirector;
    QString m_keptSummary;
    QString m_keptFeatures;
    QString m_keptEggs;
    QString m_genreLine;
    QString m_coverFile;
    bool m_coverPlaceholder = false;
    QString m_fixedCoverKey; // file, size and time of the fixed picture in m_fixedCover
    QPixmap m_fixedCover;
};
