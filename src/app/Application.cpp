#include "Application.h"

#include "DbError.h"
#include "GuardedApplication.h"
#include "frmMain.h"

#include <QApplication>

Application::Application(const QString &programFolder)
    : m_shared(programFolder), m_main(std::make_unique<frmMain>(m_shared))
{
    wireCommands();
}

Application::~Application() = default;

void Application::wireCommands()
{
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
        application.Start();
    } catch (const DbError &error) {
        GuardedApplication::Report(error.Description());
        return 1;
    }
    return QApplication::exec();
}
