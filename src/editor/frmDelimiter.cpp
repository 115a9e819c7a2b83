#include "frmDelimiter.h"

#include "Module1.h"
#include "StorableText.h"
#include "WindowLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

frmDelimiter::frmDelimiter(Module1 &shared, QWidget *parent) : QDialog(parent), m_shared(shared)
{
    createControls();
    lblDialog->setText(
        QStringLiteral("Enter the delimiter text that seperates your two (2) columns of data."));
}

void frmDelimiter::createControls()
{
    setObjectName(QStringLiteral("frmDelimiter"));
    setWindowTitle(QStringLiteral("Delimiter"));
    setFont(WindowLook::FormFont());
    // Fixed border, no control box: the prompt ends through its buttons or Escape.
    WindowLook::FixDialog(this, 4980, 1890);

    lblDialog = new QLabel(this);
    lblDialog->setObjectName(QStringLiteral("lblDialog"));
    lblDialog->setTextFormat(Qt::PlainText);
    lblDialog->setWordWrap(true);
    lblDialog->setFont(WindowLook::Font(8.25, false));
    WindowLook::Place(lblDialog, 240, 240, 4455, 375);

    txtDelimiter = new QLineEdit(this);
    txtDelimiter->setObjectName(QStringLiteral("txtDelimiter"));
    txtDelimiter->setMaxLength(std::numeric_limits<int>::max());
    txtDelimiter->setFont(WindowLook::Font(9.75, false));
    StorableText::BlockAltCharacters(txtDelimiter);
    WindowLook::Place(txtDelimiter, 120, 840, 4695, 375);

    Command1 = WindowLook::Button(this, QStringLiteral("&Ok"), QStringLiteral("Command1"));
    Command1->setDefault(true);
    WindowLook::Place(Command1, 3600, 1320, 1215, 495);

    cmdCancel = WindowLook::Button(this, QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    WindowLook::Place(cmdCancel, 120, 1320, 1215, 495);

    QWidget::setTabOrder(txtDelimiter, Command1);
    QWidget::setTabOrder(Command1, cmdCancel);
    txtDelimiter->setFocus();

    connect(Command1, &QPushButton::clicked, this, &frmDelimiter::Command1Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDelimiter::cmdCancelClick);
}

void frmDelimiter::Command1Click()
{
    // As typed: a delimiter of spaces, or none at all, is the user's choice.
    m_shared.DelimiterText = txtDelimiter->text();
    accept();
}

void frmDelimiter::reject()
{
    // Escape, and any other way of closing the prompt, is Cancel.
    cmdCancelClick();
}

void frmDelimiter::cmdCancelClick()
{
    m_shared.DelimiterText.clear();
    QDialog::reject();
}
