#include "frmReturn.h"

#include "WindowLook.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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

    cmdOK = WindowLook::Button(this, QStringLiteral("&OK"), QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = WindowLook::Button(this, QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (m_save(dtpReturnedOn->date()))
            accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Returned on:"), dtpReturnedOn);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addWidget(lblLoan);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setFixedSize(QSize(380, sizeHint().height()));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
}
