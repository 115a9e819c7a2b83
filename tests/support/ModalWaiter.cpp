#include "ModalWaiter.h"

#include <QDialog>
#include <QList>

namespace {
QList<ModalWaiter *> g_armed;
QList<QPointer<QWidget>> g_handling; // windows whose handler is running
} // namespace

ModalWaiter::ModalWaiter(int timeoutMs) : m_timeoutMs(timeoutMs)
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalWaiter::poll);
}

ModalWaiter::~ModalWaiter()
{
    stop();
}

void ModalWaiter::start()
{
    m_handled = false;
    m_failed = false;
    m_clock.start();
    m_timer.start();
    if (!g_armed.contains(this))
        g_armed << this;
}

void ModalWaiter::stop()
{
    m_timer.stop();
    g_armed.removeAll(this);
}

bool ModalWaiter::IsExpected(QWidget *modal)
{
    for (const ModalWaiter *waiter : std::as_const(g_armed))
        if (waiter->m_matches && waiter->m_matches(modal))
            return true;
    return g_handling.contains(QPointer<QWidget>(modal));
}

void ModalWaiter::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && m_matches(modal)) {
        // Stopped first: the handler may open further modal windows (and re-arm us).
        stop();
        m_handled = true;
        const auto run = m_run;
        const QPointer<QWidget> handled(modal);
        g_handling << handled;
        run(modal);
        g_handling.removeOne(handled);
        return;
    }
    if (m_clock.elapsed() > m_timeoutMs) {
        stop();
        m_failed = true;
        CloseAllModals();
    }
}

void ModalWaiter::CloseAllModals()
{
    for (int guard = 0; guard < 20; ++guard) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QApplication::processEvents();
    }
}
