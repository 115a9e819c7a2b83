#include "TransferProgress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace {
int g_delayMs = 1000;
}

TransferProgress::TransferProgress(QWidget *parent, const QString &label)
    : m_dialog(std::make_unique<QProgressDialog>(label, QStringLiteral("&Cancel"), 0, 1000, parent))
{
    m_dialog->setObjectName(QStringLiteral("TransferProgress"));
    m_dialog->setWindowTitle(QStringLiteral("Reelvane"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(g_delayMs);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumWidth(420);
    m_dialog->setValue(0);
}

TransferProgress::~TransferProgress() = default;

bool TransferProgress::Step(qint64 done, qint64 total)
{
    // Scaled to 0..1000: the window's range is an int, a file's size need not be.
    const int value =
        total > 0 ? int(qBound<qint64>(qint64(0), done * 1000 / total, qint64(1000))) : 0;
    // setValue repaints and lets Cancel through; between changes of the bar, events are
    // still let through now and then so the window stays responsive.
    static QElapsedTimer sinceEvents;
    if (value != m_dialog->value())
        m_dialog->setValue(value);
    else if (!sinceEvents.isValid() || sinceEvents.elapsed() > 50) {
        sinceEvents.restart();
        if (m_dialog->isVisible())
            QCoreApplication::processEvents();
    }
    return !m_dialog->wasCanceled();
}

void TransferProgress::SetLabel(const QString &label)
{
    m_dialog->setLabelText(label);
}

void TransferProgress::SetDelay(int milliseconds)
{
    g_delayMs = milliseconds;
}
