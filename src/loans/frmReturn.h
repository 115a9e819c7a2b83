#pragma once

#include <QDate>
#include <QDialog>
#include <functional>

class QDateEdit;
class QPushButton;

// "Return Title": the day the title came back, today unless changed, never before it was
// lent. A failed save keeps the window open.
class frmReturn : public QDialog
{
    Q_OBJECT

public:
    using Save = std::function<bool(const QDate &returnedOn)>;

    // lentOn: the loan's start where it is a date (an invalid one sets no limit).
    frmReturn(const QString &text, const QDate &lentOn, Save save, QWidget *parent = nullptr);

    QDateEdit *dtpReturnedOn = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    Save m_save;
};
