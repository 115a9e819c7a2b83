#include "frmPasteCastData.h"

#include "DataGrid.h"
#include "MessageBox.h"
#include "Module1.h"
#include "StorableText.h"
#include "WindowLook.h"
#include "frmDelimiter.h"
#include "frmModify3.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Leading and trailing spaces go; tabs and other blanks are part of the value.
QString trimSpaces(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first).toString();
}

// Step 3 is disabled before the generator becomes its child window: disabling a parent
// afterwards would disable the open child as well.
QWidget *disabledOpener(QWidget &opener)
{
    opener.setEnabled(false);
    return &opener;
}

} // namespace

frmPasteCastData::frmPasteCastData(Module1 &shared, frmModify3 &step3)
    : QDialog(disabledOpener(step3)), m_shared(shared), m_step3(step3)
{
    createControls();
    StorableText::Guard(Text1);
    // Load: an empty list now, bound to the grid once the window is up.
    NewPasteRecords();
    Timer1->start();
}

frmPasteCastData::~frmPasteCastData() = default;

void frmPasteCastData::createControls()
{
    setObjectName(QStringLiteral("frmPasteCastData"));
    setWindowTitle(QStringLiteral("Multi-Paste Generator"));
    setFont(WindowLook::FormFont());
    // Fixed border, no control box: the window ends through its buttons or Escape.
    WindowLook::FixDialog(this, 7605, 4890);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(WindowLook::Font(9.75, false));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);
    Text1->setToolTip(QStringLiteral("Paste in actor/character data columns and rows seperated "
                                     "by one or more characters.\nEx.\nMarta Lindqvist - "
                                     "Captain Ida Horn"));
    WindowLook::Place(Text1, 360, 120, 5655, 1935);

    cmdGEnerate =
        WindowLook::Button(this, QStringLiteral("&Generate"), QStringLiteral("cmdGEnerate"));
    WindowLook::Place(cmdGEnerate, 6120, 1560, 1215, 495);

    MultiPasteUltraGrid = new DataGrid(this);
    MultiPasteUltraGrid->setObjectName(QStringLiteral("MultiPasteUltraGrid"));
    MultiPasteUltraGrid->SetGridFont(WindowLook::GridFont());
    MultiPasteUltraGrid->SetHeaderCaption(0, QStringLiteral("Actor"));
    MultiPasteUltraGrid->SetHeaderCaption(1, QStringLiteral("Character"));
    WindowLook::Place(MultiPasteUltraGrid, 360, 2160, 6975, 2055);

    cmdFinish = WindowLook::Button(this, QStringLiteral("&Finish"), QStringLiteral("cmdFinish"));
    WindowLook::Place(cmdFinish, 6120, 4320, 1217, 495);
    cmdCancel = WindowLook::Button(this, QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    WindowLook::Place(cmdCancel, 360, 4320, 1217, 495);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(5);

    QWidget::setTabOrder(Text1, cmdGEnerate);
    QWidget::setTabOrder(cmdGEnerate, MultiPasteUltraGrid);
    QWidget::setTabOrder(MultiPasteUltraGrid, cmdFinish);
    QWidget::setTabOrder(cmdFinish, cmdCancel);
    Text1->setFocus();

    connect(Timer1, &QTimer::timeout, this, &frmPasteCastData::Timer1Timer);
    connect(cmdGEnerate, &QPushButton::clicked, this, &frmPasteCastData::cmdGEnerateClick);
    connect(cmdFinish, &QPushButton::clicked, this, &frmPasteCastData::cmdFinishClick);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPasteCastData::cmdCancelClick);
    connect(MultiPasteUltraGrid, &DataGrid::InitializeRow, this, &frmPasteCastData::RowCheck);
}

void frmPasteCastData::NewPasteRecords()
{
    m_pasteRecords = Module1::NewCastList();
}

void frmPasteCastData::Timer1Timer()
{
    Timer1->stop();
    MultiPasteUltraGrid->SetDataSource(m_pasteRecords);
    FitPasteColumns();
}

QVector<RecordList::Row> frmPasteCastData::GenerateRows(const QString &text,
                                                        const QString &delimiter)
{
    // Cut in place, case-sensitively: copying every line twice before cutting it was
    // most of the generator's time on a long paste. A line ends at CR LF, LF or a lone CR
    // (text from older Mac programs).
    QList<QStringView> lines;
    const QStringView all(text);
    qsizetype start = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QChar c = all[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << all.mid(start, i - start);
        if (c == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines << all.mid(start);
    QVector<RecordList::Row> rows;
    rows.reserve(lines.size());
    for (QStringView content : lines) {
        if (content.isEmpty())
            continue;
        // The text before the first delimiter and the text up to the second (or to the end
        // of the line): the first two pieces of a split, without making the list of pieces.
        const qsizetype first = delimiter.isEmpty() ? -1 : content.indexOf(delimiter);
        RecordList::Row row;
        row.reserve(2);
        if (first < 0) {
            row.emplaceBack(trimSpaces(content));
            row.emplaceBack(QString());
        } else {
            const QStringView rest = content.mid(first + delimiter.size());
            const qsizetype second = rest.indexOf(delimiter);
            row.emplaceBack(trimSpaces(content.first(first)));
            row.emplaceBack(trimSpaces(second < 0 ? rest : rest.first(second)));
        }
        rows.append(std::move(row));
    }
    return rows;
}

void frmPasteCastData::cmdGEnerateClick()
{
    m_pasteErrorCount = 0;
    NewPasteRecords();

    // The prompt is made after this window is disabled, so it does not inherit that.
    setEnabled(false);
    {
        frmDelimiter prompt(m_shared, this);
        prompt.exec();
    }
    setEnabled(true);

    // All rows at once: one reset of the grid instead of a re-layout per row.
    m_pasteRecords->SetRows(GenerateRows(Text1->toPlainText(), m_shared.DelimiterText));
    MultiPasteUltraGrid->SetDataSource(m_pasteRecords);
    FitPasteColumns();

    if (m_pasteErrorCount > 0)
        MessageBox::Critical(this, QString::number(m_pasteErrorCount)
                                       + QStringLiteral(" error(s) occured while generating "
                                                        "(cells marked in red). Please revise "
                                                        "and generate."));
}

void frmPasteCastData::RowCheck(int row)
{
    // Null is not the empty text and is not counted.
    const auto &list = MultiPasteUltraGrid->DataSource();
    for (int column = 0; column < 2; ++column) {
        // A cell with text is no error: known without copying its value (10,000 lines
        // pasted are 20,000 cells checked).
        if (list && !list->TextView(row, column).isEmpty())
            continue;
        const QVariant value = MultiPasteUltraGrid->CellValue(row, column);
        if (!value.isNull() && value.toString().isEmpty()) {
            MultiPasteUltraGrid->SetCellBackground(row, column, QColor(255, 0, 0));
            ++m_pasteErrorCount;
        }
    }
}

void frmPasteCastData::FitPasteColumns()
{
    const QFontMetrics metrics(font());
    for (int i = 0; i < 2; ++i)
        MultiPasteUltraGrid->FitColumn(i, metrics, ColumnFit(0, 200));
    const auto &list = MultiPasteUltraGrid->DataSource();
    const int rows = list ? list->RecordCount() : 0;

    if (rows > 0)
        MultiPasteUltraGrid->ActivateFirstRow();
    MultiPasteUltraGrid->ClearRowSelection();
}

void frmPasteCastData::cmdFinishClick()
{
    if (m_pasteErrorCount >= 1) {
        MessageBox::Critical(this, QStringLiteral("Cannot complete due to ")
                                       + QString::number(m_pasteErrorCount)
                                       + QStringLiteral(" error(s) (cells marked in red). "
                                                        "Please revise and generate."));
        return;
    }
    if (MessageBox::Show(this, QStringLiteral("This will overwrite existing cast data."),
                         QStringLiteral("Confirm Changes"), QMessageBox::Ok | QMessageBox::Cancel,
                         QMessageBox::Information)
        != QMessageBox::Ok)
        return;

    accept();
    // Replaced in place: step 3's grid is bound to this list.
    if (!m_shared.CastRecords)
        m_shared.CreateCastRecords();
    m_shared.CastRecords->SetRows(m_pasteRecords->Rows());
    m_step3.ColResize();
    m_pasteRecords.reset();
}

void frmPasteCastData::reject()
{
    // Escape, and any other way of closing the window, is Cancel.
    cmdCancelClick();
}

void frmPasteCastData::cmdCancelClick()
{
    m_pasteRecords.reset();
    QDialog::reject();
}

void frmPasteCastData::done(int result)
{
    QDialog::done(result);
    m_step3.setEnabled(true);
    m_step3.show();
}
