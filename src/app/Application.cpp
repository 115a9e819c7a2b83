#include "Application.h"

#include "AppIcon.h"
#include "CoverChooser.h"
#include "DbError.h"
#include "GuardedApplication.h"
#include "TitleCommands.h"
#include "TransferCommands.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>

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

    m_transferCommands = std::make_unique<TransferCommands>(m_shared, *m_main);
    connect(m_main.get(), &frmMain::ImportRequested, this,
            [this] { m_transferCommands->ImportTitles(); });
    connect(m_main.get(), &frmMain::ExportRequested, this,
            [this] { m_transferCommands->ExportTitles(); });
    connect(m_main.get(), &frmMain::BackupRequested, this,
            [this] { m_transferCommands->BackUpCatalogue(); });
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
    m_main->Form_Load();
    m_main->show();
    m_main->setEnabled(true);
}

int Application::Run(const QString &programFolder)
{
    Application application(programFolder);
    try {
        application.Launch();
    } catch (const DbError &error) {
        GuardedApplication::Report(error.Description());
        return 1;
    }
    return QApplication::exec();
}
