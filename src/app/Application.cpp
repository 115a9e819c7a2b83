#include "Application.h"

#include "AppIcon.h"
#include "CatalogueLockWait.h"
#include "CopyLock.h"
#include "CoverChooser.h"
#include "DbError.h"
#include "GuardedApplication.h"
#include "MessageBox.h"
#include "ProgramEnd.h"
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
