#pragma once

#include "Module1.h"
#include "PromptOpener.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Enter New Name": asks for one line of text and answers through PromptAccepted,
// PromptText and PromptCancelled. Built anew for every use, so the box starts empty.
class frmTextBox : public QDialog
{
    Q_OBJECT

public:
    // mainWindow is enabled again when the add-title command's prompt is cancelled.
    frmTextBox(Module1 &shared, PromptOpener opener, QWidget *mainWindow,
               QWidget *parent = nullptr);

    static constexpr int MaxNameLength = 55;

    QLineEdit *txtRenameResponse = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Escape and closing the window do what Cancel does.
    void reject() override;

private:
    void cmdOK_Click();

    Module1 &m_shared;
    PromptOpener m_opener;
    QWidget *m_mainWindow;
};
