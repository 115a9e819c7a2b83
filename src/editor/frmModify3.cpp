#include "frmModify3.h"

#include "DataGrid.h"
#include "DbError.h"
#include "DrawnIcons.h"
#include "LockWait.h"
#include "MessageBox.h"
#include "Module1.h"
#include "RecordList.h"
#include "StorableText.h"
#include "TitleWriter.h"
#include "WindowLook.h"
#include "frmMain.h"
#include "frmPasteCastData.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <limits>
#include <optional>

namespace {

const QString kInserting = QStringLiteral(" inserting records.");
const QString kDeleting = QStringLiteral(" deleting records.");

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
    // Fixed border, no control box: the window ends through its buttons or Escape.
    WindowLook::FixDialog(this, 7635, 4920);
    setFont(WindowLook::FormFont());

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
    WindowLook::Place(lblTitle, 360, 600, 1215, 255);
    lblTitleDisplay = new ElidedLabel(1, this);
    lblTitleDisplay->setObjectName(QStringLiteral("lblTitleDisplay"));
    lblTitleDisplay->SetFullText(m_shared.EditTitle);
    WindowLook::Place(lblTitleDisplay, 2040, 600, 5175, 255);
    lblActor = label(QStringLiteral("lblActor"), QStringLiteral("Actor"));
    WindowLook::Place(lblActor, 360, 960, 1215, 255);
    lblCharacter = label(QStringLiteral("lblCharacter"), QStringLiteral("Character"));
    WindowLook::Place(lblCharacter, 3240, 960, 1215, 255);

    txtActor1 = textBox(QStringLiteral("txtActor1"));
    WindowLook::Place(txtActor1, 360, 1440, 2500, 375);
    txtCharacter1 = textBox(QStringLiteral("txtCharacter1"));
    WindowLook::Place(txtCharacter1, 3240, 1440, 2500, 375);
    cmdAdd = button(QStringLiteral("cmdAdd"), QStringLiteral("&Add"));
    WindowLook::Place(cmdAdd, 6000, 1350, 1217, 495);
    cmdAdd->setDefault(true);

    UltraGrid = new DataGrid(this);
    UltraGrid->setObjectName(QStringLiteral("UltraGrid"));
    // A little narrower than designed, so that the wizard's caption has room beside it.
    WindowLook::Place(UltraGrid, 360, 1920, 5115, 2295);

    cmdDelete = button(QStringLiteral("cmdDelete"), QStringLiteral("&Delete"));
    WindowLook::Place(cmdDelete, 6000, 2640, 1217, 495);

    cmdMultiPaste = new QToolButton(this);
    cmdMultiPaste->setObjectName(QStringLiteral("cmdMultiPaste"));
    cmdMultiPaste->setIcon(DrawnIcons::MultiPaste());
    cmdMultiPaste->setIconSize(QSize(26, 26));
    cmdMultiPaste->setToolTip(QStringLiteral("Multi-Paste Clipboard Wizard"));
    WindowLook::Place(cmdMultiPaste, 6130, 3180, 550, 550);
    lblMultiPaste =
        label(QStringLiteral("lblMultiPaste"), QStringLiteral("Multi-Paste Clipboard Wizard"));
    lblMultiPaste->setFont(WindowLook::Font(8.25, true));
    lblMultiPaste->setStyleSheet(QStringLiteral("color: red;"));
    lblMultiPaste->setWordWrap(true);
    lblMultiPaste->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Under its button, on two lines, inside the window's margin.
    WindowLook::Place(lblMultiPaste, 5535, 3750, 1740, 480);

    cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    WindowLook::Place(cmdCancel, 360, 4320, 1217, 495);
    cmdBack = button(QStringLiteral("cmdBack"), QStringLiteral("&Back"));
    WindowLook::Place(cmdBack, 4680, 4320, 1217, 495);
    cmdFinish = button(QStringLiteral("cmdFinish"), QStringLiteral("&Finish"));
    WindowLook::Place(cmdFinish, 6000, 4320, 1217, 495);

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
            [this] { UltraGrid->SetGridFont(WindowLook::GridFont()); });
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
    for (int i = 0; i < 2; ++i)
        UltraGrid->FitColumn(i, metrics, ColumnFit(0, 200));
    const int rows = cast.RecordCount();

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

TitleRecord frmModify3::EditedTitle() const
{
    // The edit buffer as typed: quotes are doubled into the statements only, so saving again
    // after a failure does not double them twice.
    const Module1 &s = m_shared;
    TitleRecord title{s.EditMode == QLatin1String("Yes") ? s.SelectedTitleId : 0, s.EditFacts()};
    title.genres = QStringList(s.GenrePicks.begin(), s.GenrePicks.end());
    // Read by position, so the grid's current row stays where the user left it. A Null value
    // (a cell left empty) is stored as empty text.
    const int rows = s.CastRecords ? s.CastRecords->RecordCount() : 0;
    for (int row = 0; row < rows; ++row)
        title.cast.append(
            {s.CastRecords->ValueAt(row, 0).toString(), s.CastRecords->ValueAt(row, 1).toString()});
    return title;
}

bool frmModify3::SaveTitle()
{
    // A lock is reported at once: the window stays open, and Finish tries again.
    const LockWait::AnswerLocksHere answeredHere;
    std::optional<TitleWriter> writer;
    try {
        writer.emplace(m_shared.ConnectionString, TitleWriter::Form::Text,
                       TitleWriter::MissingGenre::Fail);
        if (writer->Write(EditedTitle(), m_shared.KeptGenreIds) == 0) {
            writer.reset();
            return SaveDeletedTitle();
        }
        writer->Commit();
    } catch (const DbError &error) {
        const bool deleting = writer && writer->RemovingOldLinks();
        // Rolled back and closed before the message: the catalogue is free meanwhile.
        writer.reset();
        MessageBox::Failure(this, error.Message(deleting ? kDeleting : kInserting));
        return false;
    }
    return true;
}

bool frmModify3::SaveDeletedTitle()
{
    const auto answer = MessageBox::Show(
        this,
        QStringLiteral("The title \"%1\" was deleted meanwhile, by another copy of Reelvane or "
                       "another program, so these changes cannot be saved over it. Nothing "
                       "was saved.\n\nSave it as a new title with everything entered here, "
                       "or Cancel to go back to the editor.")
            .arg(m_shared.EditTitle),
        DeletedMeanwhileTitle(), QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Warning,
        {{QMessageBox::Save, QStringLiteral("Save as &New Title")}});
    if (answer != QMessageBox::Save)
        return false;
    m_shared.EditMode = QStringLiteral("No");
    return SaveTitle();
}
