#include "MainMenus.h"

#include "BrowsePanel.h"
#include "DrawnIcons.h"
#include "FindBox.h"
#include "frmMain.h"

#include <QMenuBar>
#include <QToolBar>
#include <QTreeView>

MainMenus::ToolbarButtons MainMenus::Create(frmMain &window)
{
    MainMenus menus(window);
    menus.createActions();
    menus.createMenus();
    menus.createToolbar();
    return menus.m_toolbarButtons;
}

void MainMenus::createActions()
{
    frmMain &w = m_window;
    auto action = [&w](const QString &text, auto slot, const QIcon &icon = {}) {
        auto *result = new QAction(icon, text, &w);
        QObject::connect(result, &QAction::triggered, &w, slot);
        return result;
    };
    w.mnuImport = action(QStringLiteral("&Import Titles..."), &frmMain::ImportRequested);
    w.mnuExport = action(QStringLiteral("&Export Titles..."), &frmMain::ExportRequested);
    w.mnuBackup = action(QStringLiteral("&Back Up Catalogue..."), &frmMain::BackupRequested);
    w.mnuPrintList = action(QStringLiteral("&Print List..."), &frmMain::PrintListRequested);
    w.mnuPrintList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    w.mnuExportPdf = action(QStringLiteral("Export List as &PDF..."), &frmMain::ExportPdfRequested);
    w.mnuStatistics = action(QStringLiteral("&Statistics..."), &frmMain::StatisticsRequested);
    w.mnuBrowsePanel = new QAction(QStringLiteral("&Browse Panel"), &w);
    w.mnuBrowsePanel->setCheckable(true);
    w.mnuBrowsePanel->setShortcut(QKeySequence(Qt::Key_F9));
    QObject::connect(w.mnuBrowsePanel, &QAction::triggered, &w, [&w](bool on) {
        w.Browse->SetShown(on);
        // The keyboard goes where the user looks: the panel, or back to the list.
        if (on)
            w.Browse->Tree()->setFocus(Qt::ShortcutFocusReason);
        else
            w.UltraGrid->setFocus(Qt::ShortcutFocusReason);
    });
    w.mnuExit = action(QStringLiteral("E&xit"), &QWidget::close, DrawnIcons::Close());
    w.mnuAdd = action(QStringLiteral("&Add"), &frmMain::AddRequested, DrawnIcons::Add());
    w.mnuModify =
        action(QStringLiteral("&Modify"), &frmMain::ModifyRequested, DrawnIcons::Modify());
    w.mnuDelete =
        action(QStringLiteral("&Delete"), &frmMain::DeleteRequested, DrawnIcons::Remove());
    w.mnuAbout = action(QStringLiteral("&About"), &frmMain::AboutRequested, DrawnIcons::About());
    w.mnuLend = action(QStringLiteral("&Lend..."), &frmMain::LendRequested);
    w.mnuReturn = action(QStringLiteral("&Return"), &frmMain::ReturnRequested);
    w.mnuLoans = action(QStringLiteral("Lo&ans..."), &frmMain::LoansRequested);
    w.mnuFind = new QAction(QStringLiteral("&Find"), &w);
    w.mnuFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    QObject::connect(w.mnuFind, &QAction::triggered, &w, [&w] { w.Find->FocusBox(); });
}

void MainMenus::createMenus()
{
    frmMain &w = m_window;
    w.mnuFile = w.menuBar()->addMenu(QStringLiteral("&File"));
    w.mnuFile->addActions({w.mnuImport, w.mnuExport, w.mnuBackup});
    w.mnuFile->addSeparator();
    w.mnuFile->addAction(w.mnuPrintList);
    w.mnuFile->addAction(w.mnuExportPdf);
    w.mnuFile->addSeparator();
    w.mnuFile->addAction(w.mnuExit);
    w.mnuEdit = w.menuBar()->addMenu(QStringLiteral("&Edit"));
    w.mnuEdit->addActions({w.mnuAdd, w.mnuModify, w.mnuDelete});
    w.mnuEdit->addSeparator();
    w.mnuEdit->addActions({w.mnuLend, w.mnuReturn, w.mnuLoans});
    w.mnuEdit->addSeparator();
    w.mnuEdit->addAction(w.mnuFind);
    w.mnuView = w.menuBar()->addMenu(QStringLiteral("&View"));
    w.mnuView->addAction(w.mnuBrowsePanel);
    w.mnuView->addSeparator();
    w.mnuView->addAction(w.mnuStatistics);
    w.mnuHelp = w.menuBar()->addMenu(QStringLiteral("&Help"));
    w.mnuHelp->addAction(w.mnuAbout);
}

void MainMenus::createToolbar()
{
    frmMain &w = m_window;
    QToolBar *toolbar = w.addToolBar(QStringLiteral("Toolbar"));
    w.Toolbar1 = toolbar;
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(28, 28));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto button = [&w, toolbar](const QIcon &icon, const char *tip, auto slot) {
        QAction *action = toolbar->addAction(icon, QString::fromLatin1(tip));
        action->setToolTip(action->text());
        QObject::connect(action, &QAction::triggered, &w, slot);
        return action;
    };
    m_toolbarButtons[1] = button(DrawnIcons::Add(), "Add A Title", &frmMain::AddRequested);
    m_toolbarButtons[2] = button(DrawnIcons::Modify(), "Modify Title", &frmMain::ModifyRequested);
    m_toolbarButtons[3] = button(DrawnIcons::Remove(), "Remove Title", &frmMain::DeleteRequested);
    m_toolbarButtons[4] = toolbar->addSeparator();
    m_toolbarButtons[5] = button(DrawnIcons::About(), "About Reelvane", &frmMain::AboutRequested);
    m_toolbarButtons[6] = toolbar->addSeparator();
    m_toolbarButtons[7] = button(DrawnIcons::Close(), "Close Reelvane", &QWidget::close);
}
