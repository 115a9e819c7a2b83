#pragma once

#include "ElidedLabel.h"
#include "StepResult.h"

#include <QDialog>
#include <array>

class Module1;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class frmMain;

// Editor step 1 ("1/3"): the title, sub title, year, director(s), summary, Easter eggs
// and the Inventory / WishList choice of the title in the edit buffer. Reads no catalogue.
//
// exec() returns a StepResult:
//   StepNext      the year and director(s) passed their checks and every box was stored
//                 in the edit buffer; the caller shows step 2.
//   StepCancelled Cancel or Escape: the edit buffer is emptied (EditTitle, EditWishList
//                 and EditMode kept), CastRecords released, the main window shown and
//                 enabled.
class frmModify1 : public QDialog
{
    Q_OBJECT

public:
    // Load: fills the boxes from the edit buffer; the title is editable only when
    // EditMode is "Yes".
    frmModify1(Module1 &shared, frmMain &main, QWidget *parent = nullptr);
    ~frmModify1() override;

    static constexpr int TitleLength = 55;
    static constexpr int SubTitleLength = 50;
    static constexpr int DateLength = 4;
    static constexpr int DirectorLength = 50;

    // Controls
    QLabel *lblTitle = nullptr;
    QLineEdit *txtTitleDisplay = nullptr;
    ElidedLabel *lblTitleDisplay = nullptr;
    QLabel *lblSubTitle = nullptr;
    QLineEdit *txtSubTitle = nullptr;
    QLabel *lblSubTitle2 = nullptr;
    QLabel *lblDate = nullptr;
    QLineEdit *txtDate = nullptr;
    QLabel *lblDateExample = nullptr;
    QLabel *lblAstric = nullptr;
    QLabel *lblDirector = nullptr;
    QLineEdit *txtDirector = nullptr;
    QLabel *lblAstric2 = nullptr;
    QTabBar *MultiTabStrip = nullptr;
    QPlainTextEdit *txtSummary = nullptr;
    QPlainTextEdit *txtEggs = nullptr;
    std::array<QRadioButton *, 2> OptionWishListModify{};
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdNext = nullptr;

protected:
    // Escape, and any other way of closing the window, is Cancel.
    void reject() override;

private:
    void createControls();
    void setTabOrder();
    void Form_Load();

    void cmdNextClick();
    void cmdCancelClick();
    void MultiTabStripClick(int index);
    void OptionWishListModifyClick(int index);

    Module1 &m_shared;
    frmMain &m_main;
};
