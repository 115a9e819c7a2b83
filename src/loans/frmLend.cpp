#include "frmLend.h"

#include "DialogButtons.h"
#include "ElidedLabel.h"
#include "MessageBox.h"
#include "StorableText.h"
#include "WindowLook.h"

#include <QCheckBox>
#include <QCompleter>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

QDateEdit *dateBox(QWidget *parent, const QString &name)
{
    auto *box = new QDateEdit(QDate::currentDate(), parent);
    box->setObjectName(name);
    box->setCalendarPopup(true);
    box->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    return box;
}

} // namespace

frmLend::frmLend(const QString &title, const QStringList &borrowers, Save save, QWidget *parent)
    : QDialog(parent), m_save(std::move(save))
{
    setWindowTitle(QStringLiteral("Lend Title"));
    setFont(WindowLook::FormFont());

    auto *lblTitle = new ElidedLabel(2, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->SetFullText(title);

    txtBorrower = new QLineEdit(this);
    txtBorrower->setObjectName(QStringLiteral("txtBorrower"));
    auto *completer = new QCompleter(borrowers, txtBorrower);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    txtBorrower->setCompleter(completer);

    dtpLentOn = dateBox(this, QStringLiteral("dtpLentOn"));
    chkDueOn = new QCheckBox(QStringLiteral("D&ue back:"), this);
    chkDueOn->setObjectName(QStringLiteral("chkDueOn"));
    dtpDueOn = dateBox(this, QStringLiteral("dtpDueOn"));
    dtpDueOn->setDate(QDate::currentDate().addDays(14));
    dtpDueOn->setEnabled(false);
    connect(chkDueOn, &QCheckBox::toggled, dtpDueOn, &QWidget::setEnabled);

    txtNote = new QLineEdit(this);
    txtNote->setObjectName(QStringLiteral("txtNote"));
    for (QWidget *box : {static_cast<QWidget *>(txtBorrower), static_cast<QWidget *>(txtNote)})
        box->setFont(WindowLook::Font(9, false));
    StorableText::Guard(this);

    QHBoxLayout *buttons = DialogButtons::OkCancel(*this, cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmLend::cmdOKClick);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Borrower:"), txtBorrower);
    form->addRow(QStringLiteral("Lent &on:"), dtpLentOn);
    form->addRow(chkDueOn, dtpDueOn);
    form->addRow(QStringLiteral("&Note:"), txtNote);
    DialogButtons::FormPrompt(*this, lblTitle, form, buttons, 420);
    txtBorrower->setFocus();
}

void frmLend::cmdOKClick()
{
    Input input{txtBorrower->text().trimmed(), dtpLentOn->date(),
                chkDueOn->isChecked() ? dtpDueOn->date() : QDate(), txtNote->text()};
    if (input.Borrower.isEmpty()) {
        MessageBox::Critical(this, QStringLiteral("Enter the name of the borrower."));
        txtBorrower->setFocus();
        return;
    }
    if (input.DueOn.isValid() && input.DueOn < input.LentOn) {
        MessageBox::Critical(this, QStringLiteral("The due date cannot be before the date the "
                                                  "title is lent."));
        dtpDueOn->setFocus();
        return;
    }
    if (m_save(input))
        accept();
}
