#include "Application.h"

#include "DbError.h"
#include "MessageBox.h"
#include "frmMain.h"

#include <QApplication>
#include <cstdio>

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
        const QString text = error.Description();
        std::fprintf(stderr, "Reelvane: %s\n", qPrintable(text));
        std::fflush(stderr);
        MessageBox::Show(nullptr, text, MessageBox::ApplicationTitle(), QMessageBox::Ok,
                         QMessageBox::Critical);
        return 1;
    }
    return QApplication::exec();
}
