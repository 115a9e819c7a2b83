#pragma once

#include <QtGlobal>
#include <array>

class QAction;
class frmMain;

// The main window's actions, its menu bar and Toolbar1, made once for the window. The
// controls stay the window's own (mnuAdd, Toolbar1, ...); this only builds them.
class MainMenus
{
public:
    using ToolbarButtons = std::array<QAction *, 8>;

    // Fills the window's menu controls and returns its toolbar buttons 1..7 (index 0 unused).
    static ToolbarButtons Create(frmMain &window);

private:
    explicit MainMenus(frmMain &window) : m_window(window) {}
    void createActions();
    void createMenus();
    void createToolbar();

    frmMain &m_window;
    ToolbarButtons m_toolbarButtons{};
};
