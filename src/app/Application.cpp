#include "Application.h"

#include "AppIcon.h"
#include "CatalogueLockWait.h"
#include "CopyLock.h"
#include "CoverChooser.h"
#include "DbError.h"
#include "GuardedApplication.h"
#include "ListIndex.h"
#include "LoanCommands.h"
#include "Loans.h"
#include "MessageBox.h"
#include "ProgramEnd.h"
#include "ProgressWindow.h"
#include "ReportCommands.h"
#include "TitleCommands.h"
#include "TransferCommands.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QDir>

Application::Application(const QString &programFolder)
    : m_shared(programFolder), m_main(std::make_unique<frmMain>(m_shared))
{
    QApplication::setWindowIcon(AppIcon::Icon());
    wireCommands();
}

Application::~Application() = default;

void Application::wireCommands()
{
    m_titleCommands = std::make_unique<TitleCommands>(m_shared, *m_main);
    connect(m_main.get(), &frmMain::AddRequested, this, [this] { m_titleCommands->AddTitle(); });
    connect(m_main.get(), &frmMain::ModifyRequested, this,
            [this] { m_titleCommands->ModifyTitle(); });
    connect(m_main.get(), &frmMain::DeleteRequested, this,
            [this] { m_titleCommands->DeleteTitle(); });
    connect(m_main.get(), &frmMain::AboutRequested, this,
            [this] { frmSplash::ShowAbout(m_shared, *m_main); });
    connect(m_main.get(), &frmMain::ImgCoverClicked, this,
            [this] { CoverChooser(*m_main).ImgCover_Click(); });

    // Made per command: the catalogue's connection string is known once the main window
    // has loaded.
    const auto transfer = [this] {
        return TransferCommands(m_main.get(), m_shared.AppFolder, m_shared.ConnectionString,
                                [this] { m_main->RefreshRecords(); });
    };
    connect(m_main.get(), &frmMain::ImportRequested, this,
            [transfer] { transfer().ImportTitles(); });
    connect(m_main.get(), &frmMain::ExportRequested, this,
            [transfer] { transfer().ExportTitles(); });
    connect(m_main.get(), &frmMain::BackupRequested, this,
            [transfer] { transfer().BackUpCatalogue(); });

    m_reportCommands = std::make_unique<ReportCommands>(m_shared, *m_main);
    connect(m_main.get(), &frmMain::StatisticsRequested, this,
            [this] { m_reportCommands->ShowStatistics(); });
    connect(m_main.get(), &frmMain::PrintListRequested, this,
            [this] { m_reportCommands->PrintList(); });
    connect(m_main.get(), &frmMain::ExportPdfRequested, this,
            [this] { m_reportCommands->ExportListAsPdf(); });

    m_loanCommands = std::make_unique<LoanCommands>(m_shared, *m_main);
    connect(m_main.get(), &frmMain::LendRequested, this, [this] { m_loanCommands->Lend(); });
    connect(m_main.get(), &frmMain::ReturnRequested, this, [this] { m_loanCommands->Return(); });
    connect(m_main.get(), &frmMain::LoansRequested, this, [this] { m_loanCommands->ShowLoans(); });
}

void Application::Launch()
{
    {
        m_shared.AboutMode = 0;
        frmSplash splash(m_shared);
        splash.exec();
    }
    Start();
}

void Application::Start()
{
    m_shared.InitializeDatabasePath();
    IndexTitleList(m_shared.ConnectionString);
    // The loans' table, where missing; a catalogue that cannot be written opens without it.
    Loans::Ensure(m_shared.ConnectionString);
    m_main->Form_Load();
    m_main->show();
    m_main->setEnabled(true);
}

ListIndex::Outcome Application::IndexTitleList(const QString &connectionString)
{
    // A catalogue from before the list's covering index: made once, here, before the list
    // is read. The window shows only if that takes more than a second (a very large
    // catalogue on a slow disk); Cancel leaves the catalogue as it was. Made only when
    // there is work: most starts find the index there.
    const QString label = QStringLiteral("Preparing the title list for faster opening...");
    return ProgressWindow::Run(nullptr, label, [&](const ProgressWindow::Step &step) {
        return ListIndex::Ensure(connectionString, [&step](qint64 done, qint64 total) {
            return step(std::min(done, total - 1), total);
        });
    });
}

bool Application::OnlyCopy(const QString &programFolder)
{
    const QString catalogue = programFolder + QStringLiteral("/dvd_collection.mdb");
    if (CopyLock::Take(catalogue) != CopyLock::HeldElsewhere)
        return true;
    const auto answer = MessageBox::Show(
        nullptr,
        QStringLiteral("Reelvane is already running on the catalogue \"%1\".\n\nUse the copy "
                       "that is running, or open this one anyway: changes made in one copy are "
                       "not seen by the other until it reloads its list.")
            .arg(QDir::toNativeSeparators(catalogue)),
        QStringLiteral("Reelvane Is Already Running"), QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Warning,
        {{QMessageBox::Yes, QStringLiteral("&Quit")},
         {QMessageBox::No, QStringLiteral("&Open Anyway")}});
    return answer == QMessageBox::No;
}

int Application::Run(const QString &programFolder)
{
    if (!OnlyCopy(programFolder))
        return 0;
    CatalogueLockWait lockWait;
    LockWaiter::Install(&lockWait);
    Application application(programFolder);
    try {
        application.Launch();
    } catch (const DbError &error) {
        ProgramEnd::Report(error.Description());
        return 1;
    }
    return QApplication::exec();
}
