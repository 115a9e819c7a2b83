#pragma once

#include "Connection.h"
#include "DataGrid.h"
#include "Module1.h"
#include "PromptOpener.h"

#include <QDialog>
#include <QVector>
#include <memory>

class QLabel;
class QPushButton;

// "Warning": the question in AlertMessage above the titles that AlertQuery lists; the
// answer goes back in PromptAccepted. Only reads the catalogue.
class frmAlert : public QDialog
{
    Q_OBJECT

public:
    // mainWindow is enabled again when a warning of the add-title command is cancelled.
    frmAlert(Module1 &shared, PromptOpener opener, QWidget *mainWindow, QWidget *parent = nullptr);
    ~frmAlert() override;

    // Loads from AlertMessage and AlertQuery, then runs the window. A statement that
    // cannot be read throws DbError before the window shows.
    int exec() override;
    void Form_Load();

    QLabel *lblInfo = nullptr;
    DataGrid *UltraGrid = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Escape and closing the window do what Cancel does.
    void reject() override;
    void done(int result) override;

private:
    void FormatAlertGrid();
    void SizeAlertColumns();
    void cmdOk_Click();
    void Release();

    Module1 &m_shared;
    PromptOpener m_opener;
    QWidget *m_mainWindow;
    std::unique_ptr<Connection> m_connection;
    std::shared_ptr<RecordList> m_records;
};
