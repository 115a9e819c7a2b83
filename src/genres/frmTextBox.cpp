#include "frmTextBox.h"

#include "DialogButtons.h"
#include "MessageBox.h"
#include "StorableText.h"
#include "WindowLook.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmTextBox::frmTextBox(Module1 &shared, PromptOpener opener, QWidget *mainWindow, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_opener(opener), m_mainWindow(mainWindow)
{
    setWindowTitle(QStringLiteral("Enter New Name"));
    setFont(WindowLook::FormFont());

    txtRenameResponse = new QLineEdit(this);
    txtRenameResponse->setObjectName(QStringLiteral("txtRenameResponse"));
    txtRenameResponse->setMaxLength(MaxNameLength);
    txtRenameResponse->setFont(WindowLook::Font(9, false));
    StorableText::Guard(txtRenameResponse);

    QHBoxLayout *buttons = DialogButtons::OkCancel(*this, cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmTextBox::cmdOK_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addWidget(txtRenameResponse);
    layout->addStretch();
    layout->addLayout(buttons);

    WindowLook::FixDialog(this, 5400, 1500);
    txtRenameResponse->setFocus();
}

void frmTextBox::cmdOK_Click()
{
    const QString text = txtRenameResponse->text();
    if (text.isEmpty()) {
        MessageBox::Critical(this, QStringLiteral("You Must Enter A Name"));
        txtRenameResponse->setFocus();
        return;
    }
    m_shared.PromptAccepted = 1;
    m_shared.PromptText = text; // as typed: blanks are a name too
    if (m_opener == PromptOpener::AddTitle)
        m_shared.CreateCastRecords();
    accept();
}

void frmTextBox::reject()
{
    m_shared.PromptAccepted = 0;
    m_shared.PromptCancelled = QStringLiteral("True");
    m_shared.PromptText = txtRenameResponse->text();
    QDialog::reject();
    if (m_opener == PromptOpener::AddTitle && m_mainWindow)
        m_mainWindow->setEnabled(true);
}
