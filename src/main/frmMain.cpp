#include "frmMain.h"

#include "BrowsePanel.h"
#include "FindBox.h"
#include "Letters.h"
#include "ListColumns.h"
#include "MainMenus.h"
#include "TitleListFilter.h"
#include "Statements.h"
#include "WindowLook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

frmMain::frmMain(Module1 &shared, QWidget *parent) : QMainWindow(parent), m_shared(shared)
{
    setWindowTitle(QStringLiteral("Reelvane"));
    setFont(WindowLook::Font(9, false));

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && isEnabled() && now->window() == this)
            m_keyboardAt = now;
    });
    m_toolbarButtons = MainMenus::Create(*this);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(createListPane());
    m_detail = new TitleDetailPanel(
        m_shared, [this]() -> Connection & { return ReopenMainConnection(); }, splitter);
    splitter->addWidget(m_detail);
    connect(m_detail, &TitleDetailPanel::ImgCoverClicked, this, &frmMain::ImgCoverClicked);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 5);
    splitter->setChildrenCollapsible(false);
    Browse = new BrowsePanel(m_shared.ConnectionString, *m_filter, *splitter);
    connect(Browse, &BrowsePanel::ShownChanged, mnuBrowsePanel, &QAction::setChecked);
    // Tab reaches the panel's tree before the list's controls, as it stands left of them.
    QWidget::setTabOrder(Browse->Tree(), OptionWishList[0]);
    setCentralWidget(splitter);
    if (const QScreen *shown = screen())
        resize(OpeningSize(shown->availableGeometry()));
    else
        resize(DesignedSize);
}

QSize frmMain::OpeningSize(const QRect &available)
{
    // Room for the frame (16 by 40) the window manager adds around the window.
    return DesignedSize.boundedTo(available.size() - QSize(16, 40)).expandedTo(QSize(640, 480));
}

frmMain::~frmMain()
{
    // Grids let go of their lists before the lists and the connection go.
    UltraGrid->SetDataSource(nullptr);
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
    connect(Find, &FindBox::LeaveToList, this, [this] { UltraGrid->setFocus(); });
    layout->addWidget(Find);

    UltraGrid = new DataGrid(pane);
    UltraGrid->setObjectName(QStringLiteral("UltraGrid"));
    connect(UltraGrid, &DataGrid::InitializeLayout, this,
            [this] { UltraGrid->SetGridFont(WindowLook::GridFont()); });
    connect(UltraGrid, &DataGrid::AfterRowActivate, this, &frmMain::RowActivated);
    layout->addWidget(UltraGrid, 1);
    m_filter = new TitleListFilter(m_shared.ConnectionString, *UltraGrid, *Find, this);
    connect(m_filter, &TitleListFilter::Refiltered, this, &frmMain::Refiltered);
    Columns = new ListColumns(
        *UltraGrid, *m_filter, m_loanMarks,
        [this]() -> Connection & { return ReopenMainConnection(); }, this);
    // The header's menu and its clicks from the keyboard too: View, Columns and Sort By.
    Columns->HeaderMenu()->setTitle(QStringLiteral("&Columns"));
    Columns->OrderMenu()->setTitle(QStringLiteral("S&ort By"));
    QAction *afterColumns = mnuView->actions().value(1);
    mnuView->insertMenu(afterColumns, Columns->HeaderMenu());
    mnuView->insertMenu(afterColumns, Columns->OrderMenu());

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
    Browse->RestoreState();
    // The keyboard works in the list at once, without a click first.
    UltraGrid->setFocus();
    m_filter->ReadWhenIdle();
}

void frmMain::RefreshRecords()
{
    // After a change (anything but a switch of lists) the finder reads the titles again.
    if (!m_switching)
        m_filter->CatalogueChanged();
    reloadList();
}

void frmMain::RefreshRecords(qint64 changedTitleId)
{
    m_filter->TitleChanged(changedTitleId);
    reloadList();
}

void frmMain::reloadList()
{
    Browse->ListChanging(m_shared.WishListFilter);
    LoadTitleList();
    FitTitleColumns();
    ShowFirstTitle();
    showActiveTitle();
}

Connection &frmMain::ReopenMainConnection()
{
    MainConnection = std::make_unique<Connection>();
    MainConnection->Open(m_shared.ConnectionString);
    return *MainConnection;
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
    m_loanMarks.Attach(*UltraGrid, connection);
    UltraGrid->setColumnHidden(0, true);
    UltraGrid->SetHeaderCaption(1, QStringLiteral("Title"));
    UltraGrid->SetHeaderCaption(2, QStringLiteral("Edition"));
    Columns->ListLoaded(connection, m_shared.WishListFilter);
    m_filter->ListLoaded();

    m_recordCount = UltraGrid->ShownRowCount();
    m_position = m_recordCount > 0 ? m_titleList->AbsolutePosition() : 0;
    UpdateRecordCounter();
    showListState(m_recordCount != 0);
}

void frmMain::showListState(bool hasRows)
{
    m_toolbarButtons[2]->setEnabled(hasRows);
    m_toolbarButtons[3]->setEnabled(hasRows);
    mnuModify->setEnabled(hasRows);
    mnuDelete->setEnabled(hasRows);
    // Only Inventory titles are lent; a Wishlist title is not had yet.
    mnuLend->setEnabled(hasRows && m_shared.WishListFilter == 0);
    mnuReturn->setEnabled(hasRows && m_shared.WishListFilter == 0);
    m_detail->ShowListState(hasRows);
}

bool frmMain::ShowTitle(qint64 titleId, int wishList)
{
    if (wishList != 0 && wishList != 1)
        return false;
    if (m_shared.WishListFilter != wishList) {
        OptionWishList[wishList]->setChecked(true);
        OptionWishListClicked(wishList);
    }
    int row = -1;
    for (int i = 0; i < m_titleList->RecordCount() && row < 0; ++i)
        if (m_titleList->ValueAt(i, 0).toLongLong() == titleId)
            row = i;
    if (row < 0)
        return false;
    if (UltraGrid->ViewRow(row) < 0) {
        Find->Clear(); // announced at once
    }
    UltraGrid->ActivateRow(row);
    UltraGrid->scrollTo(UltraGrid->currentIndex());
    return true;
}

void frmMain::Refiltered(int activeBefore)
{
    m_recordCount = UltraGrid->ShownRowCount();
    m_position = 0;
    showListState(m_recordCount != 0);
    if (m_recordCount == 0) {
        showActiveTitle();
        UpdateRecordCounter();
        return;
    }
    // The first match becomes active; back to the whole list, the title found stays.
    if (!m_filter->IsActive() && activeBefore >= 0)
        UltraGrid->ActivateRow(activeBefore);
    else
        UltraGrid->ActivateFirstRow();
    UltraGrid->scrollTo(UltraGrid->currentIndex());
}

void frmMain::FitTitleColumns()
{
    Columns->Fit();
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
    showActiveTitle();
    m_position = UltraGrid->ActivePosition();
    UpdateRecordCounter();
}

void frmMain::showActiveTitle()
{
    m_detail->InitializeFields();
    m_detail->GenreDisplay();
    m_detail->CastDisplay();
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
    // Disabling moved the keyboard out of the window; enabling alone does not bring it back.
    if (event->type() == QEvent::EnabledChange && isEnabled() && m_keyboardAt
        && m_keyboardAt->isEnabled() && m_keyboardAt->isVisible())
        m_keyboardAt->setFocus(Qt::OtherFocusReason);
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
