#pragma once

#include "ListIndex.h"
#include "Module1.h"

#include <QObject>
#include <QString>
#include <memory>

class LoanCommands;
class ReportCommands;
class TitleCommands;
class frmMain;

// Owns the shared state and the main window, and connects the main window's commands
// to the windows of the layers above it.
class Application : public QObject
{
    Q_OBJECT

public:
    explicit Application(const QString &programFolder);
    ~Application() override;

    Module1 &Shared() { return m_shared; }
    frmMain &MainWindow() { return *m_main; }

    // The splash first; once it has gone away, Start. Returns with the main window up.
    void Launch();

    // Loads and shows the main window. A catalogue that cannot be opened throws DbError.
    void Start();

    // The whole program: launch, then the event loop. A start-up failure is shown with the
    // driver's text, printed on stderr, and gives exit status 1.
    static int Run(const QString &programFolder);

    // The list's covering index made in a catalogue that lacks it, with a progress window
    // past a second; a catalogue that cannot be written is left as it is.
    static ListIndex::Outcome IndexTitleList(const QString &connectionString);

private:
    void wireCommands();
    // False when another copy runs on the catalogue and the user chose to quit.
    static bool OnlyCopy(const QString &programFolder);

    Module1 m_shared;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<TitleCommands> m_titleCommands;
    std::unique_ptr<ReportCommands> m_reportCommands;
    std::unique_ptr<LoanCommands> m_loanCommands;
};
