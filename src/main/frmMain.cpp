#include "frmMain.h"

#include "Letters.h"
#include "Twips.h"
#include "WidestText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kFont = QStringLiteral("Verdana");

// Toolbar pictures, drawn so that they look alike on every desktop theme.
QIcon drawnIcon(const QColor &colour, const std::function<void(QPainter &)> &symbol)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(3, 3, 42, 42), 9, 9);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    symbol(painter);
    return QIcon(pixmap);
}

QIcon addIcon()
{
    return drawnIcon(QColor(0x2e, 0x8b, 0x57), [](QPainter &p) {
        p.drawLine(24, 13, 24, 35);
        p.drawLine(13, 24, 35, 24);
    });
}

QIcon modifyIcon()
{
    return drawnIcon(QColor(0x2f, 0x6f, 0xb3), [](QPainter &p) {
        p.drawLine(15, 33, 31, 17);
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(13, 36, 19, 36);
        p.drawLine(31, 13, 35, 17);
    });
}

QIcon removeIcon()
{
    return drawnIcon(QColor(0xb8, 0x3b, 0x3b), [](QPainter &p) {
        p.drawLine(15, 15, 33, 33);
        p.drawLine(33, 15, 15, 33);
    });
}

QIcon aboutIcon()
{
    return drawnIcon(QColor(0x6a, 0x5a, 0xcd), [](QPainter &p) {
        p.drawPoint(24, 14);
        p.drawLine(24, 22, 24, 35);
    });
}

QIcon closeIcon()
{
    return drawnIcon(QColor(0x55, 0x5f, 0x6d), [](QPainter &p) {
        p.drawRect(QRectF(13, 12, 14, 24));
        p.drawLine(22, 24, 36, 24);
        p.drawLine(31, 19, 36, 24);
        p.drawLine(31, 29, 36, 24);
    });
}

QPixmap placeholderPicture(const QString &file, const QString &reason)
{
    QPixmap pixmap(frmMain::CoverWidth, frmMain::CoverHeight);
    pixmap.fill(QColor(0xe4, 0xe6, 0xea));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x9a, 0xa0, 0xaa), 2, Qt::DashLine));
    painter.drawRect(pixmap.rect().adjusted(4, 4, -5, -5));
    QFont font(kFont, 9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x3c, 0x42, 0x4c));
    const QRect box = pixmap.rect().adjusted(14, 14, -14, -14);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap,
                     QStringLiteral("Picture cannot be shown\n\n") + reason + QStringLiteral("\n\n")
                         + QFileInfo(file).fileName());
    return pixmap;
}

} // namespace

frmMain::frmMain(Module1 &shared, QWidget *parent) : QMainWindow(parent), m_shared(shared)
{
    setWindowTitle(QStringLiteral("Reelvane"));
    setFont(QFont(kFont, 9));

    createActions();
    createMenus();
    createToolbar();

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(createListPane());
    splitter->addWidget(createDetailPanel());
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
    CastUltraGRid->SetDataSource(nullptr);
}

void frmMain::createActions()
{
    mnuExit = new QAction(QStringLiteral("E&xit"), this);
    mnuAdd = new QAction(QStringLiteral("&Add"), this);
    mnuModify = new QAction(QStringLiteral("&Modify"), this);
    mnuDelete = new QAction(QStringLiteral("&Delete"), this);
    mnuAbout = new QAction(QStringLiteral("&About"), this);
    mnuAdd->setIcon(addIcon());
    mnuModify->setIcon(modifyIcon());
    mnuDelete->setIcon(removeIcon());
    mnuAbout->setIcon(aboutIcon());
    mnuExit->setIcon(closeIcon());

    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuAdd, &QAction::triggered, this, &frmMain::AddRequested);
    connect(mnuModify, &QAction::triggered, this, &frmMain::ModifyRequested);
    connect(mnuDelete, &QAction::triggered, this, &frmMain::DeleteRequested);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::AboutRequested);
}

void frmMain::createMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
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
    m_toolbarButtons[1] = button(addIcon(), QStringLiteral("Add A Title"), &frmMain::AddRequested);
    m_toolbarButtons[2] = button(modifyIcon(), QStringLiteral("Modify Title"),
                                 &frmMain::ModifyRequested);
    m_toolbarButtons[3] = button(removeIcon(), QStringLiteral("Remove Title"),
                                 &frmMain::DeleteRequested);
    m_toolbarButtons[4] = Toolbar1->addSeparator();
    m_toolbarButtons[5] = button(aboutIcon(), QStringLiteral("About Reelvane"),
                                 &frmMain::AboutRequested);
    m_toolbarButtons[6] = Toolbar1->addSeparator();
    m_toolbarButtons[7] = Toolbar1->addAction(closeIcon(), QStringLiteral("Close Reelvane"));
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
            [this] { UltraGrid->SetGridFont(kFont, 9, true); });
    connect(UltraGrid, &DataGrid::AfterRowActivate, this, &frmMain::RowActivated);
    layout->addWidget(UltraGrid, 1);

    lblRecordSelected = new QLabel(pane);
    lblRecordSelected->setObjectName(QStringLiteral("lblRecordSelected"));
    lblRecordSelected->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(lblRecordSelected);
    return pane;
}

QWidget *frmMain::createDetailPanel()
{
    auto *panel = new QWidget(this);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 8, 8, 8);
    grid->setHorizontalSpacing(10);

    auto readOnlyLine = [panel](const QString &name) {
        auto *box = new QLineEdit(panel);
        box->setObjectName(name);
        box->setReadOnly(true);
        return box;
    };
    auto readOnlyText = [panel](const QString &name) {
        auto *box = new QPlainTextEdit(panel);
        box->setObjectName(name);
        box->setReadOnly(true);
        return box;
    };

    // At most two lines, so a long title cannot squeeze the rest of the panel or widen
    // the window; the whole title is in the tooltip.
    lblTitle = new ElidedLabel(2, panel);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont(kFont, 14);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblDate = new QLabel(panel);
    lblDate->setObjectName(QStringLiteral("lblDate"));
    lblDate->setTextFormat(Qt::PlainText);
    QFont dateFont(kFont, 10);
    lblDate->setFont(dateFont);
    // An empty year must not move the boxes below it.
    lblDate->setText(QStringLiteral("0000"));
    lblDate->setMinimumHeight(lblDate->sizeHint().height());
    lblDate->clear();

    lblDirectedByTitle = new QLabel(QStringLiteral("Directed By:"), panel);
    lblDirectedByTitle->setObjectName(QStringLiteral("lblDirectedByTitle"));
    txtDirector = readOnlyLine(QStringLiteral("txtDirector"));
    lblGenreTitle = new QLabel(QStringLiteral("Genre:"), panel);
    lblGenreTitle->setObjectName(QStringLiteral("lblGenreTitle"));
    txtGenreDisplay = readOnlyLine(QStringLiteral("txtGenreDisplay"));
    lblFeatures = new QLabel(QStringLiteral("Features:"), panel);
    lblFeatures->setObjectName(QStringLiteral("lblFeatures"));
    txtFeatures = readOnlyText(QStringLiteral("txtFeatures"));
    txtFeatures->setMinimumHeight(60);
    txtFeatures->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);

    MultiTabStrip = new QTabBar(panel);
    MultiTabStrip->setObjectName(QStringLiteral("MultiTabStrip"));
    MultiTabStrip->addTab(QStringLiteral("Summary"));
    MultiTabStrip->setTabToolTip(0, QStringLiteral("Summary"));
    MultiTabStrip->addTab(QStringLiteral("Easter Eggs"));
    MultiTabStrip->setTabToolTip(1, QStringLiteral("Hidden Easter Eggs"));
    MultiTabStrip->setExpanding(false);
    MultiTabStrip->setDrawBase(false);
    // The selected tab, however it changed (click, keyboard, wheel), picks the text.
    connect(MultiTabStrip, &QTabBar::currentChanged, this, &frmMain::MultiTabStripClicked);
    txtMulti = readOnlyText(QStringLiteral("txtMulti"));

    lblCastTitle = new QLabel(QStringLiteral("Cast:"), panel);
    lblCastTitle->setObjectName(QStringLiteral("lblCastTitle"));
    CastUltraGRid = new DataGrid(panel);
    CastUltraGRid->setObjectName(QStringLiteral("CastUltraGRid"));
    connect(CastUltraGRid, &DataGrid::InitializeLayout, this,
            [this] { CastUltraGRid->SetGridFont(kFont, 7, false); });

    ImgCover = new QLabel(panel);
    ImgCover->setObjectName(QStringLiteral("ImgCover"));
    ImgCover->setFixedSize(CoverWidth, CoverHeight);
    ImgCover->setAlignment(Qt::AlignCenter);
    ImgCover->installEventFilter(this);
    lblClickToEditPhoto = new QLabel(QStringLiteral("(Click Image To Edit)"), panel);
    lblClickToEditPhoto->setObjectName(QStringLiteral("lblClickToEditPhoto"));
    lblClickToEditPhoto->setAlignment(Qt::AlignHCenter);
    QFont smallFont(kFont, 7);
    lblClickToEditPhoto->setFont(smallFont);

    // The captions hidden on an empty list keep their room: the boxes stay in place.
    for (QLabel *caption : {lblDirectedByTitle, lblGenreTitle, lblClickToEditPhoto}) {
        QSizePolicy policy = caption->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        caption->setSizePolicy(policy);
    }

    // Left column: the facts; right column: the cover.
    auto *facts = new QVBoxLayout;
    facts->setSpacing(4);
    facts->addWidget(lblTitle);
    facts->addWidget(lblDate);
    facts->addSpacing(6);
    facts->addWidget(lblDirectedByTitle);
    facts->addWidget(txtDirector);
    facts->addSpacing(4);
    facts->addWidget(lblGenreTitle);
    facts->addWidget(txtGenreDisplay);
    facts->addSpacing(4);
    facts->addWidget(lblFeatures);
    facts->addWidget(txtFeatures, 1);

    auto *cover = new QVBoxLayout;
    cover->setSpacing(2);
    cover->addWidget(ImgCover);
    cover->addWidget(lblClickToEditPhoto);
    cover->addStretch();

    grid->addLayout(facts, 0, 0);
    grid->addLayout(cover, 0, 1);
    grid->addWidget(MultiTabStrip, 1, 0, 1, 2);
    grid->addWidget(txtMulti, 2, 0, 1, 2);
    grid->addWidget(lblCastTitle, 3, 0, 1, 2);
    grid->addWidget(CastUltraGRid, 4, 0, 1, 2);
    // The facts take the cover's height; the rest goes to the summary and the cast.
    grid->setRowStretch(2, 2);
    grid->setRowStretch(4, 3);
    grid->setColumnStretch(0, 1);
    return panel;
}

void frmMain::Form_Load()
{
    m_shared.InitializeDatabasePath();
    m_currentTab = 1;
    MultiTabStrip->setCurrentIndex(0);
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
    QueryText = QStringLiteral("SELECT Id, Title, Sub_title FROM DVD_Title WHERE WishList = ")
                + QString::number(m_shared.WishListFilter) + QStringLiteral(" Order By Title");
    list->Open(QueryText, connection);
    Letters::Sort(*list, 1);
    m_titleList = list;

    m_loading = true;
    UltraGrid->SetDataSource(m_titleList);
    m_loading = false;
    UltraGrid->setColumnHidden(0, true);
    UltraGrid->SetHeaderCaption(1, QStringLiteral("Title"));
    UltraGrid->SetHeaderCaption(2, QStringLiteral("Edition"));

    m_recordCount = m_titleList->RecordCount();
    m_position = m_recordCount > 0 ? m_titleList->AbsolutePosition() : 0;
    UpdateRecordCounter();

    const bool hasRows = m_recordCount != 0;
    m_toolbarButtons[2]->setEnabled(hasRows);
    m_toolbarButtons[3]->setEnabled(hasRows);
    mnuModify->setEnabled(hasRows);
    mnuDelete->setEnabled(hasRows);

    lblClickToEditPhoto->setVisible(hasRows);
    lblDirectedByTitle->setVisible(hasRows);
    lblGenreTitle->setVisible(hasRows);
    if (hasRows)
        ImgCover->setCursor(Qt::PointingHandCursor);
    else
        ImgCover->unsetCursor();
}

void frmMain::FitTitleColumns()
{
    // Measured in the grid's own (bold) font: the window's regular font would leave
    // every long title cut off by a few letters.
    const QFontMetrics metrics(UltraGrid->font());
    // The header's own cell padding is kept, so a caption is never cut ("Titl").
    const int headerPadding =
        2 * UltraGrid->horizontalHeader()->style()->pixelMetric(QStyle::PM_HeaderMargin);
    std::array<int, 3> width{};
    for (int i = 1; i <= 2; ++i)
        width[i] = Twips::FromPixels(metrics.horizontalAdvance(UltraGrid->HeaderCaption(i))
                                     + headerPadding);
    if (m_titleList->RecordCount() > 0) {
        // Only the texts that may be the widest are shaped: on a long list, shaping
        // every title was most of the start-up.
        std::array<WidestText, 3> widest{WidestText(metrics), WidestText(metrics),
                                         WidestText(metrics)};
        m_titleList->MoveFirst();
        while (!m_titleList->Eof()) {
            for (int i = 1; i <= 2; ++i) {
                const QVariant value = m_titleList->Value(i);
                if (RecordList::HasText(value))
                    widest[i].Add(value.toString());
            }
            m_titleList->MoveNext();
        }
        for (int i = 1; i <= 2; ++i) {
            const int pixels = widest[i].Pixels();
            if (pixels > 0 && width[i] < Twips::FromPixels(pixels) + 200)
                width[i] = Twips::FromPixels(pixels) + 200;
        }
    }
    for (int i = 1; i <= 2; ++i)
        UltraGrid->SetColumnWidthTwips(i, width[i]);
}

void frmMain::ShowFirstTitle()
{
    if (m_titleList->RecordCount() == 0)
        return;
    // The panel is filled right after by the caller; no second round of queries here.
    m_loading = true;
    UltraGrid->ActivateFirstRow();
    m_loading = false;
    m_titleList->MoveFirst();
    m_shared.SelectedTitleId = m_titleList->Value(0).toLongLong();
    m_position = m_titleList->AbsolutePosition();
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
    m_position = m_titleList ? m_titleList->AbsolutePosition() : 0;
    UpdateRecordCounter();
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

void frmMain::OpenDetailQuery()
{
    Connection &connection = ReopenMainConnection();
    auto records = std::make_shared<RecordList>();
    records->Open(QueryText, connection);
    DetailRecords = std::move(records);
}

void frmMain::InitializeFields()
{
    if (!m_titleList || m_titleList->RecordCount() == 0) {
        lblTitle->SetFullText(QString());
        lblDate->clear();
        txtDirector->clear();
        txtMulti->clear();
        txtFeatures->clear();
        m_keptSummary.clear();
        m_keptEggs.clear();
        return;
    }
    QueryText = QStringLiteral("SELECT Title, Date, Director, Summary, Features, Eggs FROM "
                               "DVD_Title WHERE ID = ")
                + QString::number(m_shared.SelectedTitleId) + QStringLiteral(" AND WishList = ")
                + QString::number(m_shared.WishListFilter);
    OpenDetailQuery();
    const bool found = !DetailRecords->Eof();
    auto field = [&](const char *name) {
        return found ? DetailRecords->Value(QLatin1String(name)) : QVariant();
    };

    // A field without text empties its control but keeps the previous kept text.
    auto show = [](const QVariant &value, QString &kept, auto setText, auto clear) {
        if (RecordList::HasText(value)) {
            kept = value.toString();
            setText(kept);
        } else {
            clear();
        }
    };
    show(field("Title"), m_keptTitle, [this](const QString &t) { lblTitle->SetFullText(t); },
         [this] { lblTitle->SetFullText(QString()); });
    show(field("Date"), m_keptDate, [this](const QString &t) { lblDate->setText(t); },
         [this] { lblDate->clear(); });
    show(field("Director"), m_keptDirector,
         [this](const QString &t) { txtDirector->setText(t); }, [this] { txtDirector->clear(); });
    show(field("Features"), m_keptFeatures,
         [this](const QString &t) { txtFeatures->setPlainText(t); },
         [this] { txtFeatures->clear(); });

    const QVariant summary = field("Summary");
    m_keptSummary = RecordList::HasText(summary) ? summary.toString() : QString();
    const QVariant eggs = field("Eggs");
    m_keptEggs = RecordList::HasText(eggs) ? eggs.toString() : QString();
    txtMulti->setPlainText(m_currentTab == 2 ? m_keptEggs : m_keptSummary);
    txtDirector->setCursorPosition(0);
}

void frmMain::MultiTabStripClicked(int index)
{
    if (index == 0) {
        m_currentTab = 1;
        txtMulti->setPlainText(m_keptSummary);
    } else if (index == 1) {
        m_currentTab = 2;
        txtMulti->setPlainText(m_keptEggs);
    }
}

void frmMain::GenreDisplay()
{
    QueryText = QStringLiteral("SELECT Genre.Genre, Genre_Relationships.Title_ID FROM Genre "
                               "INNER JOIN (DVD_Title ")
                + QStringLiteral("INNER JOIN Genre_Relationships ON ")
                + QStringLiteral("DVD_Title.ID = Genre_Relationships.Title_ID) ")
                + QStringLiteral("ON Genre.Genre_ID = Genre_Relationships.Genre_ID ")
                + QStringLiteral("Where((Genre_Relationships.Title_ID = ")
                + QString::number(m_shared.SelectedTitleId)
                + QStringLiteral(") AND (DVD_Title.WishList = ")
                + QString::number(m_shared.WishListFilter) + QStringLiteral("))");
    m_genreLine.clear();
    OpenDetailQuery();
    qint64 k = 0;
    while (!DetailRecords->Eof()) {
        if (k > 0)
            m_genreLine += QStringLiteral(", ");
        const QVariant genre = DetailRecords->Value(QStringLiteral("Genre"));
        if (!genre.isNull())
            m_genreLine += genre.toString();
        DetailRecords->MoveNext();
        ++k;
    }
    txtGenreDisplay->setText(m_genreLine);
    txtGenreDisplay->setCursorPosition(0);
}

void frmMain::CastDisplay()
{
    QueryText = QStringLiteral("SELECT Cast_Relationships.Actor, Cast_Relationships.Character ")
                + QStringLiteral("FROM DVD_Title INNER JOIN Cast_Relationships ON ")
                + QStringLiteral("(DVD_Title.ID = Cast_Relationships.Movie) AND ")
                + QStringLiteral("(DVD_Title.ID = Cast_Relationships.Movie) ")
                + QStringLiteral("WHERE ((DVD_Title.ID=")
                + QString::number(m_shared.SelectedTitleId)
                + QStringLiteral(") AND (DVD_Title.WishList = ")
                + QString::number(m_shared.WishListFilter) + QStringLiteral("))");
    OpenDetailQuery();
    CastUltraGRid->SetDataSource(DetailRecords);
    FitCastColumns();
}

void frmMain::FitCastColumns()
{
    const QFontMetrics metrics(font());
    const auto &cast = CastUltraGRid->DataSource();
    const int columns = cast ? std::min(cast->FieldCount(), 2) : 0;
    std::array<int, 2> width{};
    for (int i = 0; i < columns; ++i)
        width[i] = Twips::TextWidth(metrics, CastUltraGRid->HeaderCaption(i)) + 400;
    if (cast && cast->RecordCount() > 0) {
        std::array<int, 2> widest{};
        cast->MoveFirst();
        while (!cast->Eof()) {
            for (int i = 0; i < columns; ++i) {
                const QVariant value = cast->Value(i);
                if (RecordList::HasText(value))
                    widest[i] = std::max(widest[i], metrics.horizontalAdvance(value.toString()));
            }
            cast->MoveNext();
        }
        for (int i = 0; i < columns; ++i)
            if (widest[i] > 0 && width[i] < Twips::FromPixels(widest[i]) + 400)
                width[i] = Twips::FromPixels(widest[i]) + 400;
        CastUltraGRid->ActivateFirstRow();
    }
    for (int i = 0; i < columns; ++i)
        CastUltraGRid->SetColumnWidthTwips(i, width[i]);
}

void frmMain::DisplayCoverImage()
{
    const QString images = m_shared.AppFolder + QStringLiteral("/images/");
    const QString own = images + QString::number(m_shared.SelectedTitleId) + QStringLiteral(".jpg");
    QString file = QFileInfo(own).isFile() ? own : images + QStringLiteral("nothing.jpg");
    if (!m_titleList || m_titleList->RecordCount() == 0)
        file = images + QStringLiteral("no_records.jpg");
    ShowCover(file);
}

void frmMain::ShowCover(const QString &file)
{
    m_coverFile = file;
    // Most titles show nothing.jpg: decoding it again on every row activation was two
    // thirds of the activation. It is decoded again whenever the file changes.
    const QFileInfo info(file);
    const QString fixedKey = info.fileName() == QLatin1String("nothing.jpg")
                                     || info.fileName() == QLatin1String("no_records.jpg")
                                 ? file + QLatin1Char('|') + QString::number(info.size())
                                       + QLatin1Char('|')
                                       + QString::number(info.lastModified().toMSecsSinceEpoch())
                                 : QString();
    if (!fixedKey.isEmpty() && fixedKey == m_fixedCoverKey) {
        m_coverPlaceholder = false;
        ImgCover->setToolTip(QString());
        ImgCover->setPixmap(m_fixedCover);
        return;
    }
    const QImage image = ReadCover(file);
    ShowCoverPicture(file, image);
    if (!fixedKey.isEmpty() && !image.isNull()) {
        m_fixedCoverKey = fixedKey;
        m_fixedCover = ImgCover->pixmap();
    }
}

QImage frmMain::ReadCover(const QString &file)
{
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // Decoding straight to the area's size keeps a huge picture from costing its full size.
    const QSize size = reader.size();
    if (size.isValid())
        reader.setScaledSize(size.scaled(CoverWidth, CoverHeight, Qt::KeepAspectRatio));
    return reader.read();
}

void frmMain::ShowCoverPicture(const QString &file, const QImage &image)
{
    m_coverFile = file;
    if (image.isNull()) {
        const QString reason = QFileInfo::exists(file)
                                   ? QStringLiteral("The file is not a picture that can be read.")
                                   : QStringLiteral("The file is missing.");
        m_coverPlaceholder = true;
        ImgCover->setPixmap(placeholderPicture(file, reason));
        ImgCover->setToolTip(reason + QLatin1Char('\n') + file);
        return;
    }
    m_coverPlaceholder = false;
    ImgCover->setToolTip(QString());
    const QPixmap picture = QPixmap::fromImage(
        image.scaled(CoverWidth, CoverHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ImgCover->setPixmap(picture);
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

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ImgCover && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        Q_EMIT ImgCoverClicked();
    return QMainWindow::eventFilter(watched, event);
}
