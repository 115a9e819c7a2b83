#pragma once

#include "TestFolder.h"
#include "frmMain.h"

#include <QStringList>
#include <memory>

// A main window over a test folder's catalogue: put rows in `folder`, then load().
struct MainWindowFixture
{
    TestFolder folder;
    std::unique_ptr<Module1> shared;
    std::unique_ptr<frmMain> main;

    // Shared state for the folder, a new main window, and its start-up sequence.
    void load();
    // The Title column of the list, top to bottom.
    QStringList titles() const;
    // Clicks tab 0 (Summary) or 1 (Easter Eggs) of the detail panel.
    void clickTab(int index);
};
