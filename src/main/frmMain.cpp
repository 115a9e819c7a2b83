#include "frmMain.h"

#include "DrawnIcons.h"
#include "Letters.h"
#include "Statements.h"
#include "WindowLook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

frmMain::frmMain(Module1 &shared, QWidget *parent) : QMainWindow(parent), m_shared(shared)
{
    setWindowTitle(QStringLiteral("Reelvane"));
    setFont(WindowLook::Font(9, false));

    createActions();
    createMenus();
    createToolbar();

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(createListPane());
    m_detail = new TitleDetailPanel(
        m_shared, [this]() -> Connection & { return ReopenMainConnection(); }, splitter);
    splitter->addWidget(m_detail);
    aliasDetailControls();
    connect(m_detail, &TitleDetailPanel::ImgCoverClicked, this, &frmMain::ImgCoverClicked);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 5);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    if (const QScreen *shown = screen())
        resize(OpeningSize(shown->availableGeometry()));
    else
        resize(DesignedSize);
}

QSize frmMain::OpeningSize(const QRect &available)
{
    // Room for the frame the window manager adds around the window.
    const QSize frame(16, 40);
    return DesignedSize.boundedTo(available.size() - frame).expandedTo(QSize(640, 480));
}

frmMain::~frmMain()
{
    // Grids let go of their lists before the lists and the connection go.
    UltraGrid->SetDataSource(nullptr);
}

void frmMain::aliasDetailControls()
{
    lblTitle = m_detail->lblTitle;
    lblDate = m_detail->lblDate;
    lblDirectedByTitle = m_detail->lblDirectedByTitle;
    txtDirector = m_detail->txtDirector;
    lblGenreTitle = m_detail->lblGenreTitle;
    txtGenreDisplay = m_detail->txtGenreDisplay;
    lblFeatures = m_detail->lblFeatures;
    txtFeatures = m_detail->txtFeatures;
    MultiTabStrip = m_detail->MultiTabStrip;
    txtMulti = m_detail->txtMulti;
    lblCastTitle = m_detail->lblCastTitle;
    CastUltraGRid = m_detail->CastUltraGRid;
    ImgCover = m_detail->ImgCover;
    lblClickToEditPhoto = m_detail->lblClickToEditPhoto;
}

void frmMain::createActions()
{
    mnuImport = new QAction(QStringLiteral("&Import Titles..."), this);
    mnuExport = new QAction(QStringLiteral("&Export Titles..."), this);
    mnuBackup = new QAction(QStringLiteral("&Back Up Catalogue..."), this);
    mnuExit = new QAction(QStringLiteral("E&xit"), this);
    mnuAdd = new QAction(QStringLiteral("&Add"), this);
    mnuModify = new QAction(QStringLiteral("&Modify"), this);
    mnuDelete = new QAction(QStringLiteral("&Delete"), this);
    mnuAbout = new QAction(QStringLiteral("&About"), this);
    mnuAdd->setIcon(DrawnIcons::Add());
    mnuModify->setIcon(DrawnIcons::Modify());
    mnuDelete->setIcon(DrawnIcons::Remove());
    mnuAbout->setIcon(DrawnIcons::About());
    mnuExit->setIcon(DrawnIcons::Close());

    connect(mnuImport, &QAction::triggered, this, &frmMain::ImportRequested);
    connect(mnuExport, &QAction::triggered, this, &frmMain::ExportRequested);
    connect(mnuBackup, &QAction::triggered, this, &frmMain::BackupRequested);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuAdd, &QAction::triggered, this, &frmMain::AddRequested);
    connect(mnuModify, &QAction::triggered, this, &frmMain::ModifyRequested);
    connect(mnuDelete, &QAction::triggered, this, &frmMain::DeleteRequested);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::AboutRequested);
}

void frmMain::createMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->addAction(mnuImport);
    mnuFile->addAction(mnuExport);
    mnuFile->addAction(mnuBackup);
    mnuFile->addSeparator();
    mnuFile->addAction(mnuExit);
    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit->addAction(mnuAdd);
    mnuEdit->addAction(mnuModify);
    mnuEdit->addAction(mnuDelete);
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->addAction(mnuAbout);
}

void frmMain::createToolbar()
{
    Toolbar1 = addToolBar(QStringLiteral("Toolbar"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(28, 28));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto button = [this](const QIcon &icon, const QString &tip, auto signal) {
        QAction *action = Toolbar1->addAction(icon, tip);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, signal);
        return action;
    };
    m_toolbarButtons[1] = button(DrawnIcons::Add(), QStringLiteral("Add A Title"), &frmMain::AddRequested);
    m_toolbarButtons[2] = button(DrawnIcons::Modify(), QStringLiteral("Modify Title"),
                                 &frmMain::ModifyRequested);
    m_toolbarButtons[3] = button(DrawnIcons::Remove(), QStringLiteral("Remove Title"),
                                 &frmMain::DeleteRequested);
    m_toolbarButtons[4] = Toolbar1->addSeparator();
    m_toolbarButtons[5] = button(DrawnIcons::About(), QStringLiteral("About Reelvane"),
                                 &frmMain::AboutRequested);
    m_toolbarButtons[6] = Toolbar1->addSeparator();
    m_toolbarButtons[7] = Toolbar1->addAction(DrawnIcons::Close(), QStringLiteral("Close Reelvane"));
    m_toolbarButtons[7]->setToolTip(QStringLiteral("Close Reelvane"));
    connect(m_toolbarButtons[7], &QAction::triggered, this, &QWidget::close);
}

QAction *frmMain::ToolbarButton(int index) const
{
    return (index >= 1 && index <= 7) ? m_toolbarButtons[index] : nullptr;
}

QWidget *frmMain::createListPane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(8, 8, 4, 8);

    auto *switchRow = new QHBoxLayout;
    const QStringList captions{QStringLiteral("Inventory"), QStringLiteral("Wishlist")};
    for (int index = 0; index < 2; ++index) {
        OptionWishList[index] = new QRadioButton(captions[index], pane);
        OptionWishList[index]->setObjectName(QStringLiteral("OptionWishList%1").arg(index));
        connect(OptionWishList[index], &QRadioButton::clicked, this,
                [this, index] { OptionWishListClicked(index); });
        switchRow->addWidget(OptionWishList[index]);
    }
    switchRow->addStretch();
    layout->addLayout(switchRow);

    UltraGrid = new DataGrid(pane);
    UltraGrid->setObjectName(QStringLiteral("UltraGrid"));
    connect(UltraGrid, &DataGrid::InitializeLayout, this,
            [this] { UltraGrid->SetGridFont(WindowLook::GridFont()); });
    connect(UltraGrid, &DataGrid::AfterRowActivate, this, &frmMain::RowActivated);
    layout->addWidget(UltraGrid, 1);

    lblRecordSelected = new QLabel(pane);
    lblRecordSelected->setObjectName(QStringLiteral("lblRecordSelected"));
    lblRecordSelected->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(lblRecordSelected);
    return pane;
}

void frmMain::Form_Load()
{
    m_shared.InitializeDatabasePath();
    m_detail->ShowFirstTab();
    RefreshRecords();
    OptionWishList[0]->setChecked(true);
    // The keyboard works in the list at once, without a click first.
    UltraGrid->setFocus();
}

void frmMain::RefreshRecords()
{
    LoadTitleList();
    FitTitleColumns();
    ShowFirstTitle();
    InitializeFields();
    GenreDisplay();
    CastDisplay();
    DisplayCoverImage();
}

Connection &frmMain::ReopenMainConnection()
{
    MainConnection = std::make_unique<Connection>();
    MainConnection->Open(m_shared.ConnectionString);
    return *MainConnection;
}

void frmMain::ReleaseMainConnection()
{
    MainConnection.reset();
}

void frmMain::LoadTitleList()
{
    Connection &connection = ReopenMainConnection();
    auto list = std::make_shared<RecordList>();
    QueryText = Statements::TitleList(m_shared.WishListFilter);
    list->Open(QueryText, connection);
    Letters::Sort(*list, 1);
    m_titleList = list;

    m_loading = true;
    UltraGrid->SetDataSource(m_titleList);
    m_loading = false;
    UltraGrid->setColumnHidden(0, true);
    UltraGrid->SetHeaderCaption(1, QStringLiteral("Title"));
    UltraGrid->SetHeaderCaption(2, QStringLiteral("Edition"));

    m_recordCount = UltraGrid->ShownRowCount();
    m_position = m_recordCount > 0 ? m_titleList->AbsolutePosition() : 0;
    UpdateRecordCounter();

    const bool hasRows = m_recordCount != 0;
    m_toolbarButtons[2]->setEnabled(hasRows);
    m_toolbarButtons[3]->setEnabled(hasRows);
    mnuModify->setEnabled(hasRows);
    mnuDelete->setEnabled(hasRows);
    m_detail->ShowListState(hasRows);
}

void frmMain::FitTitleColumns()
{
    // Measured in the grid's own (bold) font: the window's regular font would leave
    // every long title cut off by a few letters.
    const QFontMetrics metrics(UltraGrid->font());
    for (int i = 1; i <= 2; ++i)
        UltraGrid->FitColumn(i, metrics, ColumnFit(0, 200, true));
}

void frmMain::ShowFirstTitle()
{
    if (UltraGrid->ShownRowCount() == 0)
        return;
    // The panel is filled right after by the caller; no second round of queries here.
    m_loading = true;
    UltraGrid->ActivateFirstRow();
    m_loading = false;
    m_titleList->Move(UltraGrid->ActiveRow());
    m_shared.SelectedTitleId = m_titleList->Value(0).toLongLong();
    m_position = UltraGrid->ActivePosition();
    UpdateRecordCounter();
}

void frmMain::RowActivated(int)
{
    if (m_loading)
        return;
    if (m_titleList && m_titleList->RecordCount() > 0 && !m_titleList->Eof())
        m_shared.SelectedTitleId = m_titleList->Value(0).toLongLong();
    InitializeFields();
    GenreDisplay();
    CastDisplay();
    DisplayCoverImage();
    m_position = UltraGrid->ActivePosition();
    UpdateRecordCounter();
}

void frmMain::InitializeFields()
{
    m_detail->InitializeFields();
}

void frmMain::GenreDisplay()
{
    m_detail->GenreDisplay();
}

void frmMain::CastDisplay()
{
    m_detail->CastDisplay();
}

void frmMain::DisplayCoverImage()
{
    m_detail->DisplayCoverImage();
}

void frmMain::UpdateRecordCounter()
{
    lblRecordSelected->setText(QString::number(m_position) + QStringLiteral(" of ")
                               + QString::number(m_recordCount));
}

void frmMain::OptionWishListClicked(int index)
{
    m_shared.WishListFilter = index;
    RefreshRecords();
}

void frmMain::changeEvent(QEvent *event)
{
    // Between two editor steps the window is disabled; its activation must not end the edit.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isEnabled())
        m_shared.EditMode.clear();
    QMainWindow::changeEvent(event);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::quit();
}

