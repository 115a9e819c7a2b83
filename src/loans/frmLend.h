#pragma once

#include <QDate>
#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

// "Lend Title": who borrows the title, from when, until when (optional) and a note.
// OK checks what was typed and hands it to the save; a failed save keeps the window open
// with what was typed.
class frmLend : public QDialog
{
    Q_OBJECT

public:
    struct Input
    {
        QString Borrower;
        QDate LentOn;
        QDate DueOn; // invalid: no due date
        QString Note;
    };
    // True when the loan was recorded (the window closes).
    using Save = std::function<bool(const Input &)>;

    frmLend(const QString &title, const QStringList &borrowers, Save save,
            QWidget *parent = nullptr);

    QLineEdit *txtBorrower = nullptr;
    QDateEdit *dtpLentOn = nullptr;
    QCheckBox *chkDueOn = nullptr;
    QDateEdit *dtpDueOn = nullptr;
    QLineEdit *txtNote = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void cmdOKClick();

    Save m_save;
};
