#include "ModalWaiter.h"

#include <QDialog>

ModalWaiter::ModalWaiter(int timeoutMs) : m_timeoutMs(timeoutMs)
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalWaiter::poll);
}

void ModalWaiter::start()
{
    m_handled = false;
    m_failed = false;
    m_clock.start();
    m_timer.start();
}

void ModalWaiter::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && m_matches(modal)) {
        // Stopped first: the handler may open further modal windows (and re-arm us).
        m_timer.stop();
        m_handled = true;
        const auto run = m_run;
        run(modal);
        return;
    }
    if (m_clock.elapsed() > m_timeoutMs) {
        m_timer.stop();
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
