#include "frmModify1.h"

#include "MessageBox.h"
#include "Module1.h"
#include "StorableText.h"
#include "WindowLook.h"
#include "frmMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <algorithm>

namespace {

using WindowLook::Place;

// Typing stops at the box's limit, but a longer value already stored is shown whole:
// cutting it here would save it cut without a word.
void setTextWithin(QLineEdit *box, int limit, const QString &text)
{
    box->setMaxLength(std::max<int>(limit, int(text.size())));
    box->setText(text);
    box->setCursorPosition(0);
}

} // namespace

frmModify1::frmModify1(Module1 &shared, frmMain &main, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_main(main)
{
    createControls();
    StorableText::Guard(this);
    setTabOrder();
    Form_Load();
}

frmModify1::~frmModify1() = default;

void frmModify1::createControls()
{
    setObjectName(QStringLiteral("frmModify1"));
    setWindowTitle(QStringLiteral("1/3"));
    setFont(WindowLook::FormFont());
    WindowLook::FixDialog(this, 7635, 4920);

    auto label = [this](const QString &name, const QString &caption) {
        auto *result = new QLabel(caption, this);
        result->setObjectName(name);
        result->setTextFormat(Qt::PlainText);
        return result;
    };
    auto lineBox = [this](const QString &name) {
        auto *box = new QLineEdit(this);
        box->setObjectName(name);
        return box;
    };
    auto textArea = [this](const QString &name) {
        auto *box = new QPlainTextEdit(this);
        box->setObjectName(name);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true);
        box->setFont(WindowLook::Font(9, false));
        return box;
    };
    auto hint = [&](const QString &name, const QString &caption) {
        QLabel *result = label(name, caption);
        result->setFont(WindowLook::Font(8.25, false));
        return result;
    };

    // A caption and its box to its right, 45 twips higher (the box is taller).
    auto field = [&](QLabel *&caption, const char *captionName, const QString &text,
                     QLineEdit *&box, const char *boxName, int top, int width) {
        caption = label(QString::fromLatin1(captionName), text);
        Place(caption, 360, top, 1455, 285);
        box = lineBox(QString::fromLatin1(boxName));
        Place(box, 1920, top - 45, width, 360);
    };
    auto requiredMark = [&](const QString &name, int top) {
        QLabel *mark = label(name, QStringLiteral("*"));
        mark->setStyleSheet(QStringLiteral("color: #b00000;"));
        Place(mark, 165, top, 180, 285);
        return mark;
    };

    field(lblTitle, "lblTitle", QStringLiteral("Title"), txtTitleDisplay, "txtTitleDisplay", 375,
          5295);
    // A long title ends in "…" (whole in the tooltip) instead of being cut mid-letter.
    lblTitleDisplay = new ElidedLabel(1, this);
    lblTitleDisplay->setObjectName(QStringLiteral("lblTitleDisplay"));
    Place(lblTitleDisplay, 1920, 330, 5295, 360);

    field(lblSubTitle, "lblSubTitle", QStringLiteral("Sub Title"), txtSubTitle, "txtSubTitle", 855,
          5295);
    lblSubTitle2 = hint(QStringLiteral("lblSubTitle2"),
                        QStringLiteral("(Special Edition, Widescreen Edition etc.)"));
    Place(lblSubTitle2, 1920, 1185, 5295, 240);

    lblAstric = requiredMark(QStringLiteral("lblAstric"), 1590);
    field(lblDate, "lblDate", QStringLiteral("Date"), txtDate, "txtDate", 1590, 795);
    lblDateExample = hint(QStringLiteral("lblDateExample"), QStringLiteral("(Ex. 1999)"));
    Place(lblDateExample, 2820, 1605, 1500, 255);

    lblAstric2 = requiredMark(QStringLiteral("lblAstric2"), 2070);
    field(lblDirector, "lblDirector", QStringLiteral("Director(s)"), txtDirector, "txtDirector",
          2070, 5295);

    MultiTabStrip = new QTabBar(this);
    MultiTabStrip->setObjectName(QStringLiteral("MultiTabStrip"));
    MultiTabStrip->addTab(QStringLiteral("Summary"));
    MultiTabStrip->addTab(QStringLiteral("Easter Eggs"));
    MultiTabStrip->setExpanding(false);
    MultiTabStrip->setDrawBase(false);
    MultiTabStrip->setFont(WindowLook::Font(8.25, true));
    Place(MultiTabStrip, 360, 2415, 3600, 345);

    const std::array<QString, 2> options{QStringLiteral("Inventory"), QStringLiteral("WishList")};
    for (int index = 0; index < 2; ++index) {
        OptionWishListModify[index] = new QRadioButton(options[index], this);
        OptionWishListModify[index]->setObjectName(
            QStringLiteral("OptionWishListModify%1").arg(index));
        connect(OptionWishListModify[index], &QRadioButton::clicked, this,
                [this, index] { OptionWishListModifyClick(index); });
    }
    Place(OptionWishListModify[0], 4440, 2445, 1380, 285);
    Place(OptionWishListModify[1], 5880, 2445, 1335, 285);

    txtSummary = textArea(QStringLiteral("txtSummary"));
    Place(txtSummary, 360, 2760, 6855, 1410);
    // The eggs share the summary's place; the tab strip shows one of the two.
    txtEggs = textArea(QStringLiteral("txtEggs"));
    Place(txtEggs, 360, 2760, 6855, 1410);

    cmdCancel = WindowLook::Button(this, QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    Place(cmdCancel, 360, 4320, 1217, 495);
    cmdNext = WindowLook::Button(this, QStringLiteral("&Next"), QStringLiteral("cmdNext"));
    cmdNext->setDefault(true);
    Place(cmdNext, 6000, 4320, 1217, 495);

    connect(cmdNext, &QPushButton::clicked, this, &frmModify1::cmdNextClick);
    connect(cmdCancel, &QPushButton::clicked, this, &frmModify1::cmdCancelClick);
}

void frmModify1::setTabOrder()
{
    QWidget *order[] = {txtTitleDisplay,
                        txtSubTitle,
                        txtDate,
                        txtDirector,
                        txtSummary,
                        MultiTabStrip,
                        OptionWishListModify[0],
                        OptionWishListModify[1],
                        txtEggs,
                        cmdCancel,
                        cmdNext};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmModify1::Form_Load()
{
    setTextWithin(txtTitleDisplay, TitleLength, m_shared.EditTitle);
    lblTitleDisplay->SetFullText(m_shared.EditTitle);
    // Adding: the name chosen in the prompt stays; modifying: it can be corrected here.
    const bool modifying = m_shared.EditMode == QLatin1String("Yes");
    txtTitleDisplay->setVisible(modifying);
    lblTitleDisplay->setVisible(!modifying);

    setTextWithin(txtSubTitle, SubTitleLength, m_shared.EditSubTitle);
    setTextWithin(txtDate, DateLength, m_shared.EditDate);
    setTextWithin(txtDirector, DirectorLength, m_shared.EditDirector);
    txtSummary->setPlainText(m_shared.EditSummary);

    const int option = m_shared.EditWishList != 0 ? 1 : 0;
    OptionWishListModify[option]->setChecked(true);
    OptionWishListModifyClick(option);

    txtEggs->hide();
    txtEggs->setPlainText(m_shared.EditEggs);
    MultiTabStrip->setCurrentIndex(0);
    connect(MultiTabStrip, &QTabBar::currentChanged, this, &frmModify1::MultiTabStripClick);
}

void frmModify1::OptionWishListModifyClick(int index)
{
    m_shared.EditWishList = index == 1 ? 1 : 0;
}

void frmModify1::MultiTabStripClick(int index)
{
    if (index == 0) {
        txtEggs->hide();
        txtSummary->show();
        txtSummary->setFocus();
    } else if (index == 1) {
        txtSummary->hide();
        txtEggs->move(txtSummary->pos());
        txtEggs->show();
        txtEggs->setFocus();
    }
}

void frmModify1::cmdNextClick()
{
    m_shared.EditTitle = txtTitleDisplay->text();
    if (txtDate->text().isEmpty() || txtDirector->text().isEmpty()) {
        MessageBox::Critical(this, QStringLiteral("Please Complete All Required Fields"));
        return;
    }
    static const QRegularExpression year(QStringLiteral("^[0-9]{4}$"));
    if (!year.match(txtDate->text()).hasMatch()) {
        MessageBox::Critical(this,
                             QStringLiteral("Date must be in the proper format. (Example 1999)"));
        txtDate->clear();
        txtDate->setMaxLength(DateLength);
        txtDate->setFocus();
        return;
    }
    m_shared.EditSubTitle = txtSubTitle->text();
    m_shared.EditDate = txtDate->text();
    m_shared.EditDirector = txtDirector->text();
    m_shared.EditSummary = txtSummary->toPlainText();
    m_shared.EditEggs = txtEggs->toPlainText();
    done(StepNext);
}

void frmModify1::reject()
{
    cmdCancelClick();
}

void frmModify1::cmdCancelClick()
{
    m_shared.ClearEditBuffer();
    done(StepCancelled);
    m_main.show();
    m_main.setEnabled(true);
}
