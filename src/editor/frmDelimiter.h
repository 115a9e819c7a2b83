#pragma once

#include <QDialog>

class Module1;
class QLabel;
class QLineEdit;
class QPushButton;

// The "Delimiter" prompt of the cast paste generator. Ok leaves the text as typed in
// Module1::DelimiterText (possibly empty); Cancel and Escape leave the empty text.
class frmDelimiter : public QDialog
{
    Q_OBJECT

public:
    explicit frmDelimiter(Module1 &shared, QWidget *parent = nullptr);

    // Controls
    QLabel *lblDialog = nullptr;
    QLineEdit *txtDelimiter = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void reject() override;

private:
    void createControls();
    void Command1Click();
    void cmdCancelClick();

    Module1 &m_shared;
};
