#pragma once

#include <QtGlobal>

class Module1;
class frmMain;

// Edit > Lend..., Return and Loans...: the loan commands on the main window's active
// Inventory title. Each reads and writes on a connection of its own; a failed write shows
// the failure and keeps the window with what was typed.
class LoanCommands
{
public:
    LoanCommands(Module1 &shared, frmMain &main);

    // Asks who borrows the active title (a title on loan is offered its return instead).
    void Lend();
    // Records the active title's return on the day asked.
    void Return();
    // The loans window; the loan chosen there becomes the active title.
    void ShowLoans();

private:
    void refresh(qint64 titleId);

    Module1 &m_shared;
    frmMain &m_main;
};
