#pragma once

#include "Module1.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The first window of the program, and the About box. AboutMode chooses the role when the
// window loads: 0 = start-up splash (closed by a click, a key or the timer), 1 = About
// box (closed only by Ok). Closing always leaves AboutMode at 0.
class frmSplash : public QDialog
{
    Q_OBJECT

public:
    // opener: the window that shows the About box; Ok shows and enables it again.
    explicit frmSplash(Module1 &shared, QWidget *opener = nullptr);
    ~frmSplash() override;

    // The About command: disables the main window and shows this window modally over it.
    static void ShowAbout(Module1 &shared, QWidget &mainWindow);

    static QString VersionText();
    static QString WarningText();
    static QString CopyrightText();

    // Test seam: the start-up timer's interval in ms; 0 restores the five seconds.
    static void SetTimerIntervalForTesting(int milliseconds);

    // Controls
    QLabel *lblProductName = nullptr;
    QLabel *lblRegisteredTrademark = nullptr;
    QLabel *lblQuorvel = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblWarning = nullptr;
    QPushButton *cmdOk = nullptr;
    QTimer *Timer1 = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
    void Form_Load();
    void CloseSplash();
    void Timer1Timer();
    void cmdOkClick();

    Module1 &m_shared;
    QWidget *m_opener;
    bool m_timerStarted = false;
};
