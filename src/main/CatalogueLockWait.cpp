#include "CatalogueLockWait.h"

#include "MessageBox.h"

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>

namespace {

void (*g_quit)() = nullptr;

[[noreturn]] void quitProgram()
{
    std::fprintf(stderr, "Reelvane: the catalogue stayed locked; quit at the user's request.\n");
    std::fflush(stderr);
    // Every change to the catalogue is a transaction: ending here loses nothing stored.
    std::exit(1);
}

} // namespace

CatalogueLockWait::CatalogueLockWait(int askAfterMs) : m_askAfterMs(askAfterMs) {}

CatalogueLockWait::~CatalogueLockWait()
{
    showBusy(false);
    if (LockWaiter::Installed() == this)
        LockWaiter::Install(nullptr);
}

void CatalogueLockWait::SetQuitForTesting(void (*quit)())
{
    g_quit = quit;
}

QString CatalogueLockWait::Question(qint64 waitedMs)
{
    return QStringLiteral("The catalogue has been locked by another program for %1 seconds "
                          "(database is locked).\n\nRetry to wait for it again, or Quit "
                          "Reelvane.")
        .arg((waitedMs + 500) / 1000);
}

bool CatalogueLockWait::KeepWaiting(qint64 waitedMs)
{
    // Each try waits for the busy timeout inside the engine; one that comes back at once
    // must not turn the wait into a busy loop.
    if (m_sinceLastTry.isValid() && m_sinceLastTry.elapsed() < 200)
        QThread::msleep(200);
    m_sinceLastTry.start();
    if (waitedMs - m_askedAt < m_askAfterMs) {
        showBusy(true);
        return true;
    }
    showBusy(false);
    const auto answer =
        MessageBox::Show(QApplication::activeWindow(), Question(waitedMs), QuestionTitle(),
                         QMessageBox::Retry | QMessageBox::Close, QMessageBox::Warning,
                         {{QMessageBox::Close, QStringLiteral("&Quit")}});
    if (answer == QMessageBox::Retry) {
        m_askedAt = waitedMs;
        showBusy(true);
        return true;
    }
    if (g_quit) {
        g_quit();
        return false;
    }
    quitProgram();
}

void CatalogueLockWait::Finished()
{
    showBusy(false);
    m_askedAt = 0;
    m_sinceLastTry.invalidate();
}

void CatalogueLockWait::showBusy(bool busy)
{
    if (busy == m_busy || !qApp)
        return;
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Lets the window system show the pointer (and repaint) before the next blocking try.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        QApplication::restoreOverrideCursor();
    }
}
