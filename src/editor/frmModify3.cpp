#include "frmModify3.h"

#include "Connection.h"
#include "DataGrid.h"
#include "DbError.h"
#include "MessageBox.h"
#include "Module1.h"
#include "RecordList.h"
#include "StorableText.h"
#include "Twips.h"
#include "WidestText.h"
#include "WindowLook.h"
#include "frmMain.h"
#include "frmPasteCastData.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <array>
#include <limits>

namespace {

const QString kFont = QStringLiteral("Verdana");
const QString kInserting = QStringLiteral(" inserting records.");
const QString kDeleting = QStringLiteral(" deleting records.");

// Columns are 16-bit twips wide at most; a pasted paragraph must not make one endless.
constexpr int kMaxColumnTwips = 32767;

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::ToPixels(left), Twips::ToPixels(top), Twips::ToPixels(width),
                        Twips::ToPixels(height));
}

QFont verdana(double points, bool bold)
{
    QFont font(kFont);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A clipboard with two columns of lines: text pasted in two columns becomes the cast.
QIcon multiPasteIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x6b, 0x4f, 0x2a), 1.5));
    painter.setBrush(QColor(0xc8, 0x9b, 0x5e));
    painter.drawRoundedRect(QRectF(5, 4, 22, 26), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 9, 16, 18));
    painter.setBrush(QColor(0x70, 0x70, 0x70));
    painter.drawRoundedRect(QRectF(11, 2, 10, 5), 1.5, 1.5);
    painter.setPen(QPen(QColor(0x2f, 0x6f, 0xb3), 1.6));
    for (int y = 13; y <= 24; y += 4) {
        painter.drawLine(QPointF(10, y), QPointF(15, y));
        painter.drawLine(QPointF(17, y), QPointF(22, y));
    }
    return QIcon(pixmap);
}

} // namespace

frmModify3::frmModify3(Module1 &shared, frmMain &main, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_main(main)
{
    createControls();
    StorableText::Guard(this);
    bindGrid();
    ColResize();
}

frmModify3::~frmModify3() = default;

void frmModify3::createControls()
{
    setObjectName(QStringLiteral("frmModify3"));
    setWindowTitle(QStringLiteral("3/3"));
    setFont(verdana(9.75, true));
    WindowLook::FixDialog(this, 7635, 4920);

    auto label = [this](const QString &name, const QString &caption) {
        auto *result = new QLabel(caption, this);
        result->setObjectName(name);
        result->setTextFormat(Qt::PlainText);
        return result;
    };
    auto textBox = [this](const QString &name) {
        auto *box = new QLineEdit(this);
        box->setObjectName(name);
        box->setMaxLength(std::numeric_limits<int>::max());
        return box;
    };
    auto button = [this](const QString &name, const QString &caption) {
        auto *result = new QPushButton(caption, this);
        result->setObjectName(name);
        return result;
    };

    lblTitle = label(QStringLiteral("lblTitle"), QStringLiteral("Title"));
    place(lblTitle, 360, 600, 1215, 255);
    place(lblTitleDisplay = new ElidedLabel(1, this), 2040, 600, 5175, 255);
    lblTitleDisplay->setObjectName(QStringLiteral("lblTitleDisplay"));
    lblTitleDisplay->SetFullText(m_shared.EditTitle);
    lblActor = label(QStringLiteral("lblActor"), QStringLiteral("Actor"));
    place(lblActor, 360, 960, 1215, 255);
    lblCharacter = label(QStringLiteral("lblCharacter"), QStringLiteral("Character"));
    place(lblCharacter, 3240, 960, 1215, 255);

    txtActor1 = textBox(QStringLiteral("txtActor1"));
    place(txtActor1, 360, 1440, 2500, 375);
    txtCharacter1 = textBox(QStringLiteral("txtCharacter1"));
    place(txtCharacter1, 3240, 1440, 2500, 375);
    cmdAdd = button(QStringLiteral("cmdAdd"), QStringLiteral("&Add"));
    place(cmdAdd, 6000, 1350, 1217, 495);
    cmdAdd->setDefault(true);

    UltraGrid = new DataGrid(this);
    UltraGrid->setObjectName(QStringLiteral("UltraGrid"));
    // A little narrower than designed, so that the wizard's caption has room beside it.
    place(UltraGrid, 360, 1920, 5115, 2295);

    cmdDelete = button(QStringLiteral("cmdDelete"), QStringLiteral("&Delete"));
    place(cmdDelete, 6000, 2640, 1217, 495);

    cmdMultiPaste = new QToolButton(this);
    cmdMultiPaste->setObjectName(QStringLiteral("cmdMultiPaste"));
    cmdMultiPaste->setIcon(multiPasteIcon());
    cmdMultiPaste->setIconSize(QSize(26, 26));
    cmdMultiPaste->setToolTip(QStringLiteral("Multi-Paste Clipboard Wizard"));
    place(cmdMultiPaste, 6130, 3180, 550, 550);
    lblMultiPaste = label(QStringLiteral("lblMultiPaste"),
                          QStringLiteral("Multi-Paste Clipboard Wizard"));
    lblMultiPaste->setFont(verdana(8.25, true));
    lblMultiPaste->setStyleSheet(QStringLiteral("color: red;"));
    lblMultiPaste->setWordWrap(true);
    lblMultiPaste->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Under its button, on two lines, inside the window's margin.
    place(lblMultiPaste, 5535, 3750, 1740, 480);

    cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    place(cmdCancel, 360, 4320, 1217, 495);
    cmdBack = button(QStringLiteral("cmdBack"), QStringLiteral("&Back"));
    place(cmdBack, 4680, 4320, 1217, 495);
    cmdFinish = button(QStringLiteral("cmdFinish"), QStringLiteral("&Finish"));
    place(cmdFinish, 6000, 4320, 1217, 495);

    // The grid sits in the tab order where it stands, so its cells can be edited by keyboard.
    QWidget::setTabOrder(txtActor1, txtCharacter1);
    QWidget::setTabOrder(txtCharacter1, cmdAdd);
    QWidget::setTabOrder(cmdAdd, UltraGrid);
    QWidget::setTabOrder(UltraGrid, cmdDelete);
    QWidget::setTabOrder(cmdDelete, cmdMultiPaste);
    QWidget::setTabOrder(cmdMultiPaste, cmdCancel);
    QWidget::setTabOrder(cmdCancel, cmdBack);
    QWidget::setTabOrder(cmdBack, cmdFinish);
    txtActor1->setFocus();

    connect(cmdAdd, &QPushButton::clicked, this, &frmModify3::cmdAddClick);
    connect(cmdDelete, &QPushButton::clicked, this, &frmModify3::cmdDeleteClick);
    connect(cmdMultiPaste, &QToolButton::clicked, this, &frmModify3::cmdMultiPasteClick);
    connect(cmdCancel, &QPushButton::clicked, this, &frmModify3::cmdCancelClick);
    connect(cmdBack, &QPushButton::clicked, this, &frmModify3::cmdBackClick);
    connect(cmdFinish, &QPushButton::clicked, this, &frmModify3::cmdFinishClick);
}

void frmModify3::bindGrid()
{
    connect(UltraGrid, &DataGrid::InitializeLayout, this,
            [this] { UltraGrid->SetGridFont(kFont, 9, true); });
    UltraGrid->SetEditable(true);
    UltraGrid->SetBeforeCellUpdate([this](int row, int column, const QVariant &) {
        CellValueBefore = UltraGrid->CellValue(row, column).toString();
        return true;
    });
    connect(UltraGrid, &DataGrid::AfterCellUpdate, this, &frmModify3::UltraGridAfterCellUpdate);
    showCastRecords();
}

void frmModify3::showCastRecords()
{
    if (!m_shared.CastRecords)
        m_shared.CreateCastRecords();
    UltraGrid->SetDataSource(m_shared.CastRecords);
    UltraGrid->SetHeaderCaption(0, QStringLiteral("Actor"));
    UltraGrid->SetHeaderCaption(1, QStringLiteral("Character"));
}

RecordList &frmModify3::castList()
{
    // The paste generator may have handed over a list of its own in place of the old one.
    if (!m_shared.CastRecords || UltraGrid->DataSource() != m_shared.CastRecords)
        showCastRecords();
    return *m_shared.CastRecords;
}

void frmModify3::ColResize()
{
    const RecordList &cast = castList();
    const QFontMetrics metrics(font());
    std::array<int, 2> width{};
    for (int i = 0; i < 2; ++i)
        width[i] = Twips::TextWidth(metrics, UltraGrid->HeaderCaption(i));

    const int rows = cast.RecordCount();
    std::array<WidestText, 2> widest{WidestText(metrics), WidestText(metrics)};
    for (int row = 0; row < rows; ++row)
        for (int i = 0; i < 2; ++i) {
            const QVariant value = cast.ValueAt(row, i);
            if (RecordList::HasText(value))
                widest[i].Add(value.toString());
        }
    for (int i = 0; i < 2; ++i)
        if (const int pixels = widest[i].Pixels(); pixels > 0)
            width[i] = std::max(width[i], Twips::FromPixels(pixels) + 200);
    for (int i = 0; i < 2; ++i)
        UltraGrid->SetColumnWidthTwips(i, std::min(width[i], kMaxColumnTwips));

    if (rows > 0)
        UltraGrid->ActivateFirstRow();
    UltraGrid->ClearRowSelection();
    cmdDelete->setEnabled(rows != 0);
}

void frmModify3::cmdAddClick()
{
    // Compared as typed: a box holding only spaces counts as filled.
    if (txtActor1->text().isEmpty() || txtCharacter1->text().isEmpty()) {
        MessageBox::Critical(this, QStringLiteral("Please Complete All Required Fields"));
        return;
    }
    try {
        RecordList &cast = castList();
        cast.AddNew();
        cast.SetValue(QStringLiteral("Actor"), txtActor1->text());
        cast.SetValue(QStringLiteral("Character"), txtCharacter1->text());
        cast.Update();
    } catch (const DbError &error) {
        MessageBox::Failure(this, error.Message(kInserting));
        return;
    }
    ColResize();
    txtActor1->clear();
    txtCharacter1->clear();
    txtActor1->setFocus();
}

void frmModify3::cmdDeleteClick()
{
    RecordList &cast = castList();
    if (cast.RecordCount() < 1) {
        MessageBox::Critical(this, QStringLiteral("There Are No Records Selected To Delete"));
    } else {
        try {
            cast.Delete();
        } catch (const DbError &error) {
            MessageBox::Failure(this, error.Message(kDeleting));
            return;
        }
    }
    ColResize();
}

void frmModify3::UltraGridAfterCellUpdate(int row, int column)
{
    if (!UltraGrid->CellValue(row, column).toString().isEmpty())
        return;
    // Reported once the grid has finished committing: a message box opened from inside
    // the commit would take the focus from the cell editor while it is being closed.
    const QString before = CellValueBefore;
    QMetaObject::invokeMethod(
        this,
        [this, row, column, before] {
            MessageBox::Failure(this, QStringLiteral("You Must Fill Both Values."));
            UltraGrid->SetCellValue(row, column, before);
        },
        Qt::QueuedConnection);
}

void frmModify3::cmdMultiPasteClick()
{
    // The generator disables this window while it is open, and enables and shows it
    // again however it closes; its Finish replaces the cast rows and runs ColResize.
    frmPasteCastData generator(m_shared, *this);
    generator.exec();
}

void frmModify3::cmdBackClick()
{
    done(StepBack);
}

void frmModify3::reject()
{
    // Escape, and any other way of closing the window, is Cancel.
    cmdCancelClick();
}

void frmModify3::cmdCancelClick()
{
    ReleaseCastRecords();
    m_shared.ClearEditBuffer();
    done(StepCancelled);
    ShowMainWindow();
}

void frmModify3::cmdFinishClick()
{
    // A failed save has shown its message and written nothing: the user's input stays
    // here, to be corrected (Back) or abandoned (Cancel).
    if (!SaveTitle())
        return;
    ReleaseCastRecords();
    m_shared.ClearEditBuffer();
    m_main.RefreshRecords();
    done(StepFinished);
    ShowMainWindow();
}

void frmModify3::ReleaseCastRecords()
{
    UltraGrid->SetDataSource(nullptr);
    m_shared.CastRecords.reset();
}

void frmModify3::ShowMainWindow()
{
    m_main.show();
    m_main.setEnabled(true);
}

QString frmModify3::TitleStatement() const
{
    const Module1 &s = m_shared;
    // Quotes are doubled into the statement only: the edit buffer keeps what was typed,
    // so saving again after a failure does not double them twice.
    auto q = [](const QString &text) { return Module1::Quote(text); };
    const QString wishList = QString::number(s.EditWishList);
    if (s.EditMode != QLatin1String("Yes")) {
        return QStringLiteral("INSERT INTO DVD_Title(Title, Sub_Title, [Date], Director, "
                              "Summary, Features, Eggs, WishList) ")
               + QStringLiteral("VALUES ('") + q(s.EditTitle) + QStringLiteral("' , '")
               + q(s.EditSubTitle) + QStringLiteral("', '") + q(s.EditDate)
               + QStringLiteral("', '") + q(s.EditDirector) + QStringLiteral("', '")
               + q(s.EditSummary) + QStringLiteral("', '") + q(s.EditFeatures)
               + QStringLiteral("', '") + q(s.EditEggs) + QStringLiteral("', ") + wishList
               + QStringLiteral(")");
    }
    return QStringLiteral("UPDATE DVD_Title SET Title = '") + q(s.EditTitle)
           + QStringLiteral("', Sub_Title = '") + q(s.EditSubTitle) + QStringLiteral("', ")
           + QStringLiteral("[Date] = '") + q(s.EditDate) + QStringLiteral("', Director = '")
           + q(s.EditDirector) + QStringLiteral("', ") + QStringLiteral("Summary = '")
           + q(s.EditSummary) + QStringLiteral("', Features = '") + q(s.EditFeatures)
           + QStringLiteral("', ") + QStringLiteral("Eggs = '") + q(s.EditEggs)
           + QStringLiteral("', WishList = ") + wishList + QStringLiteral(" WHERE ID = ")
           + QString::number(s.SelectedTitleId);
}

bool frmModify3::SaveTitle()
{
    const bool modifying = m_shared.EditMode == QLatin1String("Yes");
    QString action = kInserting;
    Connection connection;
    try {
        connection.Open(m_shared.ConnectionString);
        connection.BeginTrans();
        connection.Execute(TitleStatement());

        qint64 titleId = m_shared.SelectedTitleId;
        if (modifying) {
            action = kDeleting;
            DeleteTitleLinks(connection);
            action = kInserting;
        } else {
            RecordList identity;
            identity.Open(QStringLiteral("SELECT @@Identity"), connection);
            titleId = identity.Value(0).toLongLong();
        }
        const QString id = QString::number(titleId);

        for (const QString &pick : m_shared.GenrePicks) {
            if (pick.isEmpty())
                continue;
            RecordList genre;
            // A genre removed since it was picked has no row: reading its ID fails.
            genre.Open(QStringLiteral("SELECT Genre_ID FROM Genre WHERE Genre = '")
                           + Module1::Quote(pick) + QStringLiteral("'"),
                       connection);
            const qint64 genreId = genre.Value(QStringLiteral("Genre_ID")).toLongLong();
            connection.Execute(QStringLiteral("INSERT INTO Genre_Relationships (Title_ID, "
                                              "Genre_ID) ")
                               + QStringLiteral("VALUES ('") + id + QStringLiteral("' , '")
                               + QString::number(genreId) + QStringLiteral("')"));
        }

        // Links beyond the four picks stay, unless a pick now names the genre or the genre
        // was removed meanwhile (then nothing is inserted).
        if (modifying) {
            for (const qint64 kept : m_shared.KeptGenreIds)
                connection.Execute(
                    QStringLiteral("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) SELECT ")
                    + id + QStringLiteral(", Genre_ID FROM Genre WHERE Genre_ID = ")
                    + QString::number(kept)
                    + QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM Genre_Relationships WHERE "
                                     "Title_ID = ")
                    + id + QStringLiteral(" AND Genre_ID = ") + QString::number(kept)
                    + QStringLiteral(")"));
        }

        // Read by position, so the grid's current row stays where the user left it.
        const auto &cast = m_shared.CastRecords;
        const int rows = cast ? cast->RecordCount() : 0;
        for (int row = 0; row < rows; ++row) {
            // A Null value (a cell left empty) is stored as empty text.
            const QString actor = cast->ValueAt(row, 0).toString();
            const QString character = cast->ValueAt(row, 1).toString();
            connection.Execute(QStringLiteral("INSERT INTO Cast_Relationships (Movie, Actor, "
                                              "Character) ")
                               + QStringLiteral("VALUES ('") + id + QStringLiteral("', '")
                               + Module1::Quote(actor) + QStringLiteral("', '")
                               + Module1::Quote(character) + QStringLiteral("')"));
        }
        connection.CommitTrans();
    } catch (const DbError &error) {
        if (connection.State() == 1)
            connection.RollbackTrans();
        MessageBox::Failure(this, error.Message(action));
        return false;
    }
    return true;
}

void frmModify3::DeleteTitleLinks(Connection &connection)
{
    // Runs inside the save's transaction, so a failure here leaves the old links in place.
    const QString id = QString::number(m_shared.SelectedTitleId);
    connection.Execute(QStringLiteral("Delete FROM Genre_Relationships Where Title_Id = ") + id);
    connection.Execute(QStringLiteral("Delete FROM Cast_Relationships Where Movie = ") + id);
}
