#include "frmReturn.h"

#include "DialogButtons.h"
#include "WindowLook.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

frmReturn::frmReturn(const QString &text, const QDate &lentOn, Save save, QWidget *parent)
    : QDialog(parent), m_save(std::move(save))
{
    setWindowTitle(QStringLiteral("Return Title"));
    setFont(WindowLook::FormFont());

    auto *lblLoan = new QLabel(text, this);
    lblLoan->setObjectName(QStringLiteral("lblLoan"));
    lblLoan->setTextFormat(Qt::PlainText);
    lblLoan->setWordWrap(true);
    lblLoan->setFont(WindowLook::Font(9, false));

    dtpReturnedOn = new QDateEdit(this);
    dtpReturnedOn->setObjectName(QStringLiteral("dtpReturnedOn"));
    dtpReturnedOn->setCalendarPopup(true);
    dtpReturnedOn->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    if (lentOn.isValid())
        dtpReturnedOn->setMinimumDate(lentOn);
    dtpReturnedOn->setDate(std::max(QDate::currentDate(), lentOn));

    QHBoxLayout *buttons = DialogButtons::OkCancel(*this, cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (m_save(dtpReturnedOn->date()))
            accept();
    });

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Returned on:"), dtpReturnedOn);
    DialogButtons::FormPrompt(*this, lblLoan, form, buttons, 380);
}
