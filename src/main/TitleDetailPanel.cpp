#include "TitleDetailPanel.h"

#include "Connection.h"
#include "Loans.h"
#include "PictureDecoder.h"
#include "ProgramFiles.h"
#include "Statements.h"
#include "WindowLook.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

QPixmap placeholderPicture(const QString &file, const QString &reason)
{
    QPixmap pixmap(TitleDetailPanel::CoverWidth, TitleDetailPanel::CoverHeight);
    pixmap.fill(QColor(0xe4, 0xe6, 0xea));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x9a, 0xa0, 0xaa), 2, Qt::DashLine));
    painter.drawRect(pixmap.rect().adjusted(4, 4, -5, -5));
    painter.setFont(WindowLook::Font(9, true));
    painter.setPen(QColor(0x3c, 0x42, 0x4c));
    const QRect box = pixmap.rect().adjusted(14, 14, -14, -14);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap,
                     QStringLiteral("Picture cannot be shown\n\n") + reason + QStringLiteral("\n\n")
                         + QFileInfo(file).fileName());
    return pixmap;
}

} // namespace

TitleDetailPanel::TitleDetailPanel(Module1 &shared, std::function<Connection &()> reopenConnection,
                                   QWidget *parent)
    : QWidget(parent), m_shared(shared), m_reopenConnection(std::move(reopenConnection))
{
    createControls();
    createLayout();
}

TitleDetailPanel::~TitleDetailPanel()
{
    // The grid lets go of its list before the list goes.
    CastUltraGRid->SetDataSource(nullptr);
}

void TitleDetailPanel::ShowFirstTab()
{
    m_currentTab = 1;
    MultiTabStrip->setCurrentIndex(0);
}

void TitleDetailPanel::ShowListState(bool hasTitles)
{
    m_hasTitles = hasTitles;
    lblClickToEditPhoto->setVisible(hasTitles);
    lblDirectedByTitle->setVisible(hasTitles);
    lblGenreTitle->setVisible(hasTitles);
    if (hasTitles)
        ImgCover->setCursor(Qt::PointingHandCursor);
    else
        ImgCover->unsetCursor();
}

void TitleDetailPanel::createControls()
{
    auto readOnlyLine = [this](const QString &name) {
        auto *box = new QLineEdit(this);
        box->setObjectName(name);
        box->setReadOnly(true);
        return box;
    };
    auto readOnlyText = [this](const QString &name) {
        auto *box = new QPlainTextEdit(this);
        box->setObjectName(name);
        box->setReadOnly(true);
        return box;
    };

    // At most two lines, so a long title cannot squeeze the rest of the panel or widen
    // the window; the whole title is in the tooltip.
    lblTitle = new ElidedLabel(2, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(WindowLook::Font(14, true));
    lblDate = new QLabel(this);
    lblDate->setObjectName(QStringLiteral("lblDate"));
    lblDate->setTextFormat(Qt::PlainText);
    lblDate->setFont(WindowLook::Font(10, false));
    // An empty year must not move the boxes below it.
    lblDate->setText(QStringLiteral("0000"));
    lblDate->setMinimumHeight(lblDate->sizeHint().height());
    lblDate->clear();
    lblLoan = new QLabel(this);
    lblLoan->setObjectName(QStringLiteral("lblLoan"));
    lblLoan->setTextFormat(Qt::PlainText);
    lblLoan->setFont(WindowLook::Font(9, false));
    lblLoan->hide();

    lblDirectedByTitle = new QLabel(QStringLiteral("Directed By:"), this);
    lblDirectedByTitle->setObjectName(QStringLiteral("lblDirectedByTitle"));
    txtDirector = readOnlyLine(QStringLiteral("txtDirector"));
    lblGenreTitle = new QLabel(QStringLiteral("Genre:"), this);
    lblGenreTitle->setObjectName(QStringLiteral("lblGenreTitle"));
    txtGenreDisplay = readOnlyLine(QStringLiteral("txtGenreDisplay"));
    lblFeatures = new QLabel(QStringLiteral("Features:"), this);
    lblFeatures->setObjectName(QStringLiteral("lblFeatures"));
    txtFeatures = readOnlyText(QStringLiteral("txtFeatures"));
    txtFeatures->setMinimumHeight(60);
    txtFeatures->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);

    MultiTabStrip = new QTabBar(this);
    MultiTabStrip->setObjectName(QStringLiteral("MultiTabStrip"));
    MultiTabStrip->addTab(QStringLiteral("Summary"));
    MultiTabStrip->setTabToolTip(0, QStringLiteral("Summary"));
    MultiTabStrip->addTab(QStringLiteral("Easter Eggs"));
    MultiTabStrip->setTabToolTip(1, QStringLiteral("Hidden Easter Eggs"));
    MultiTabStrip->setExpanding(false);
    MultiTabStrip->setDrawBase(false);
    // The selected tab, however it changed (click, keyboard, wheel), picks the text.
    connect(MultiTabStrip, &QTabBar::currentChanged, this, &TitleDetailPanel::MultiTabStripClicked);
    txtMulti = readOnlyText(QStringLiteral("txtMulti"));

    lblCastTitle = new QLabel(QStringLiteral("Cast:"), this);
    lblCastTitle->setObjectName(QStringLiteral("lblCastTitle"));
    CastUltraGRid = new DataGrid(this);
    CastUltraGRid->setObjectName(QStringLiteral("CastUltraGRid"));
    connect(CastUltraGRid, &DataGrid::InitializeLayout, this,
            [this] { CastUltraGRid->SetGridFont(WindowLook::Font(7, false)); });

    ImgCover = new QLabel(this);
    ImgCover->setObjectName(QStringLiteral("ImgCover"));
    ImgCover->setFixedSize(CoverWidth, CoverHeight);
    ImgCover->setAlignment(Qt::AlignCenter);
    ImgCover->installEventFilter(this);
    lblClickToEditPhoto = new QLabel(QStringLiteral("(Click Image To Edit)"), this);
    lblClickToEditPhoto->setObjectName(QStringLiteral("lblClickToEditPhoto"));
    lblClickToEditPhoto->setAlignment(Qt::AlignHCenter);
    lblClickToEditPhoto->setFont(WindowLook::Font(7, false));

    // The captions hidden on an empty list keep their room: the boxes stay in place.
    for (QLabel *caption : {lblDirectedByTitle, lblGenreTitle, lblClickToEditPhoto}) {
        QSizePolicy policy = caption->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        caption->setSizePolicy(policy);
    }
}

void TitleDetailPanel::createLayout()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 8, 8, 8);
    grid->setHorizontalSpacing(10);

    // Left column: the facts; right column: the cover.
    auto *facts = new QVBoxLayout;
    facts->setSpacing(4);
    facts->addWidget(lblTitle);
    facts->addWidget(lblDate);
    facts->addWidget(lblLoan);
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
}

Connection &TitleDetailPanel::OpenDetailQuery()
{
    Connection &connection = m_reopenConnection();
    auto records = std::make_shared<RecordList>();
    records->Open(QueryText, connection);
    DetailRecords = std::move(records);
    return connection;
}

void TitleDetailPanel::showLoan(Connection &connection)
{
    const std::optional<Loan> loan = Loans::OpenLoan(connection, shownTitleId());
    if (!loan) {
        lblLoan->hide();
        lblLoan->clear();
        return;
    }
    lblLoan->setText(Loans::Describe(*loan));
    lblLoan->setToolTip(loan->Note);
    QPalette palette = this->palette();
    if (loan->DaysOverdue(QDate::currentDate()) > 0)
        palette.setColor(QPalette::WindowText, WindowLook::ErrorColour());
    lblLoan->setPalette(palette);
    lblLoan->show();
}

void TitleDetailPanel::InitializeFields()
{
    if (!m_hasTitles) {
        lblTitle->SetFullText(QString());
        lblDate->clear();
        lblLoan->hide();
        txtDirector->clear();
        txtMulti->clear();
        txtFeatures->clear();
        m_keptSummary.clear();
        m_keptEggs.clear();
        return;
    }
    QueryText = Statements::DetailFacts(shownTitleId(), m_shared.WishListFilter);
    Connection &connection = OpenDetailQuery();
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
    show(
        field("Title"), m_keptTitle, [this](const QString &t) { lblTitle->SetFullText(t); },
        [this] { lblTitle->SetFullText(QString()); });
    show(
        field("Date"), m_keptDate, [this](const QString &t) { lblDate->setText(t); },
        [this] { lblDate->clear(); });
    show(
        field("Director"), m_keptDirector, [this](const QString &t) { txtDirector->setText(t); },
        [this] { txtDirector->clear(); });
    show(
        field("Features"), m_keptFeatures,
        [this](const QString &t) { txtFeatures->setPlainText(t); },
        [this] { txtFeatures->clear(); });

    const QVariant summary = field("Summary");
    m_keptSummary = RecordList::HasText(summary) ? summary.toString() : QString();
    const QVariant eggs = field("Eggs");
    m_keptEggs = RecordList::HasText(eggs) ? eggs.toString() : QString();
    txtMulti->setPlainText(m_currentTab == 2 ? m_keptEggs : m_keptSummary);
    txtDirector->setCursorPosition(0);
    showLoan(connection);
}

void TitleDetailPanel::MultiTabStripClicked(int index)
{
    if (index == 0) {
        m_currentTab = 1;
        txtMulti->setPlainText(m_keptSummary);
    } else if (index == 1) {
        m_currentTab = 2;
        txtMulti->setPlainText(m_keptEggs);
    }
}

void TitleDetailPanel::GenreDisplay()
{
    QueryText = Statements::DetailGenres(shownTitleId(), m_shared.WishListFilter);
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

void TitleDetailPanel::CastDisplay()
{
    QueryText = Statements::DetailCast(shownTitleId(), m_shared.WishListFilter);
    OpenDetailQuery();
    CastUltraGRid->SetDataSource(DetailRecords);
    FitCastColumns();
}

void TitleDetailPanel::FitCastColumns()
{
    const QFontMetrics metrics(font());
    const auto &cast = CastUltraGRid->DataSource();
    const int columns = cast ? std::min(cast->FieldCount(), 2) : 0;
    for (int i = 0; i < columns; ++i)
        CastUltraGRid->FitColumn(i, metrics, ColumnFit(400, 400));
    if (cast && cast->RecordCount() > 0)
        CastUltraGRid->ActivateFirstRow();
}

void TitleDetailPanel::DisplayCoverImage()
{
    const QString images = ProgramFiles::ImagesFolder(m_shared.AppFolder) + QLatin1Char('/');
    const QString own = ProgramFiles::Cover(m_shared.AppFolder, shownTitleId());
    QString file = QFileInfo(own).isFile() ? own : images + QStringLiteral("nothing.jpg");
    if (!m_hasTitles)
        file = images + QStringLiteral("no_records.jpg");
    ShowCover(file);
}

void TitleDetailPanel::ShowCover(const QString &file)
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

QImage TitleDetailPanel::ReadCover(const QString &file)
{
    return PictureDecoder::Read(file, QSize(CoverWidth, CoverHeight), Qt::KeepAspectRatio);
}

void TitleDetailPanel::ShowCoverPicture(const QString &file, const QImage &image)
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

bool TitleDetailPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ImgCover && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        Q_EMIT ImgCoverClicked();
    return QWidget::eventFilter(watched, event);
}
