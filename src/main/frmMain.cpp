#include "frmMain.h"

#include "DbError.h"
#include "DrawnIcons.h"
#include "FilteredRowsModel.h"
#include "FindBox.h"
#include "Letters.h"
#include "MessageBox.h"
#include "Statements.h"
#include "WindowLook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
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
    mnuFind = new QAction(QStringLiteral("&Find"), this);
    mnuFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
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
    connect(mnuFind, &QAction::triggered, this, [this] { Find->FocusBox(); });
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
    mnuEdit->addSeparator();
    mnuEdit->addAction(mnuFind);
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
    m_toolbarButtons[1] =
        button(DrawnIcons::Add(), QStringLiteral("Add A Title"), &frmMain::AddRequested);
    m_toolbarButtons[2] =
        button(DrawnIcons::Modify(), QStringLiteral("Modify Title"), &frmMain::ModifyRequested);
    m_toolbarButtons[3] =
        button(DrawnIcons::Remove(), QStringLiteral("Remove Title"), &frmMain::DeleteRequested);
    m_toolbarButtons[4] = Toolbar1->addSeparator();
    m_toolbarButtons[5] =
        button(DrawnIcons::About(), QStringLiteral("About Reelvane"), &frmMain::AboutRequested);
    m_toolbarButtons[6] = Toolbar1->addSeparator();
    m_toolbarButtons[7] =
        Toolbar1->addAction(DrawnIcons::Close(), QStringLiteral("Close Reelvane"));
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

    Find = new FindBox(pane);
    Find->setObjectName(QStringLiteral("Find"));
    connect(Find, &FindBox::QueryChanged, this, &frmMain::FindTitles);
    connect(Find, &FindBox::LeaveToList, this, [this] { UltraGrid->setFocus(); });
    layout->addWidget(Find);
    m_filter = new FilteredRowsModel(this);

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
    // After a change (anything but a switch of lists) the finder reads the titles again,
    // and a title that was not in the list before is new.
    m_newestBefore = -1;
    if (!m_switching) {
        m_finderStale = true;
        if (m_filtering) {
            m_newestBefore = 0;
            for (int row = 0; row < ListCount(); ++row)
                m_newestBefore =
                    std::max(m_newestBefore, m_titleList->ValueAt(row, 0).toLongLong());
        }
    }
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
    m_finderRowsOf = nullptr;

    m_loading = true;
    UltraGrid->SetDataSource(m_titleList);
    m_loading = false;
    UltraGrid->setColumnHidden(0, true);
    UltraGrid->SetHeaderCaption(1, QStringLiteral("Title"));
    UltraGrid->SetHeaderCaption(2, QStringLiteral("Edition"));
    m_newTitleHidden = false;
    if (m_filtering)
        refilterLoadedList();

    m_recordCount = UltraGrid->ShownRowCount();
    m_position = m_recordCount > 0 ? m_titleList->AbsolutePosition() : 0;
    UpdateRecordCounter();
    showListState(m_recordCount != 0);
    showFindState();
}

void frmMain::showListState(bool hasRows)
{
    m_toolbarButtons[2]->setEnabled(hasRows);
    m_toolbarButtons[3]->setEnabled(hasRows);
    mnuModify->setEnabled(hasRows);
    mnuDelete->setEnabled(hasRows);
    m_detail->ShowListState(hasRows);
}

void frmMain::refilterLoadedList()
{
    if (!filterTitleList()) {
        // Given up (cancelled or unreadable): the whole list, the box emptied.
        m_filtering = false;
        UltraGrid->SetProxy(nullptr);
        Find->Clear();
        return;
    }
    if (m_newestBefore < 0)
        return;
    for (int row = 0; row < m_titleList->RecordCount(); ++row)
        if (m_titleList->ValueAt(row, 0).toLongLong() > m_newestBefore
            && UltraGrid->ViewRow(row) < 0)
            m_newTitleHidden = true;
}

int frmMain::ListCount() const
{
    return m_titleList ? m_titleList->RecordCount() : 0;
}

void frmMain::FindTitles(const QString &query)
{
    // A build in progress lets events through; it reads the box again when it is done.
    if (m_building) {
        m_findPending = true;
        return;
    }
    const bool wasFiltering = m_filtering;
    const bool filtering = !query.trimmed().isEmpty();
    if (!filtering && !wasFiltering)
        return;
    const int active = UltraGrid->ActiveRow();
    m_words = TitleFinder::Words(query);
    m_filtering = filtering;
    m_newTitleHidden = false;
    if (m_filtering && !filterTitleList()) {
        m_filtering = false;
        Find->Clear();
    }
    if (!m_filtering)
        UltraGrid->SetProxy(nullptr);

    m_recordCount = UltraGrid->ShownRowCount();
    m_position = 0;
    showListState(m_recordCount != 0);
    showFindState();
    if (m_recordCount == 0) {
        InitializeFields();
        GenreDisplay();
        CastDisplay();
        DisplayCoverImage();
        UpdateRecordCounter();
        return;
    }
    // The first match becomes active; back to the whole list, the title found stays.
    if (!m_filtering && active >= 0)
        UltraGrid->ActivateRow(active);
    else
        UltraGrid->ActivateFirstRow();
    UltraGrid->scrollTo(UltraGrid->currentIndex());
}

bool frmMain::filterTitleList()
{
    if (!ensureFinder())
        return false;
    if (m_finderRowsOf != m_titleList.get()) {
        QVector<qint64> ids(m_titleList->RecordCount());
        for (int row = 0; row < ids.size(); ++row)
            ids[row] = m_titleList->ValueAt(row, 0).toLongLong();
        m_finder.SetRows(ids);
        m_finderRowsOf = m_titleList.get();
    }
    UltraGrid->SetProxy(m_filter);
    m_filter->ShowRows(m_finder.MatchingRows(m_words));
    // Nothing matches: the panel shows no title (no title has ID 0).
    if (m_filter->rowCount() == 0)
        m_shared.SelectedTitleId = 0;
    return true;
}

bool frmMain::ensureFinder()
{
    if (m_finder.IsBuilt() && !m_finderStale)
        return true;
    m_building = true;
    bool built = false;
    try {
        Connection connection;
        connection.Open(m_shared.ConnectionString);
        QProgressDialog progress(QStringLiteral("Reading the titles to find in..."),
                                 QStringLiteral("Cancel"), 0, 0, this);
        progress.setWindowTitle(QStringLiteral("Reelvane"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(1000);
        built = m_finder.Build(connection, [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    } catch (const DbError &error) {
        MessageBox::Failure(this, error.Message(QStringLiteral(" finding titles.")));
    }
    m_building = false;
    if (built) {
        m_finderStale = false;
        m_finderRowsOf = nullptr;
    }
    if (m_findPending) {
        m_findPending = false;
        QTimer::singleShot(0, this, [this] { FindTitles(Find->Text()); });
    }
    return built;
}

void frmMain::showFindState()
{
    const int shown = UltraGrid->ShownRowCount();
    Find->SetNoMatch(m_filtering && shown == 0);
    const QLocale numbers(QLocale::English, QLocale::UnitedStates);
    if (!m_filtering)
        Find->SetNote(QString());
    else if (m_newTitleHidden)
        Find->SetNote(QStringLiteral("The new title is hidden by the filter"));
    else if (shown == 0)
        Find->SetNote(QStringLiteral("No title matches"));
    else
        Find->SetNote(numbers.toString(shown) + QStringLiteral(" of ")
                      + numbers.toString(ListCount()));
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
    m_switching = true;
    RefreshRecords();
    m_switching = false;
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
