// Linked into every test executable: a modal window that no ModalWaiter is waiting for
// fails the running test at once, with the window's title and text, and is closed. Without
// it, an unexpected message box blocks its test until CTest's time limit, saying nothing.
#include "MessageBox.h"
#include "ModalWaiter.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

// How long a window may stay up unexpected: a handler's own short waits fit in it.
constexpr int kGraceMs = 1500;
// Unexpected windows after which the program is taken to reopen them for ever.
constexpr int kMaxUnexpected = 20;

QString describe(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        QString text =
            QStringLiteral("message box \"%1\": %2").arg(box->windowTitle(), box->text());
        if (!box->informativeText().isEmpty())
            text += QLatin1Char(' ') + box->informativeText();
        return text;
    }
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle(),
             modal->objectName());
}

void close(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    if (modal->isVisible())
        modal->close();
    if (modal->isVisible())
        modal->hide();
}

class ModalWatchdog : public QObject
{
public:
    explicit ModalWatchdog(QObject *parent) : QObject(parent)
    {
        m_timer.setInterval(100);
        connect(&m_timer, &QTimer::timeout, this, &ModalWatchdog::check);
        m_timer.start();
    }

private:
    void check()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // Only a window with someone blocked in an event loop under it can hang a test;
        // one a test merely shows (show(), no exec()) blocks nothing.
        if (!modal || !modal->isVisible() || QThread::currentThread()->loopLevel() == 0
            || ModalWaiter::IsExpected(modal)) {
            m_seen = nullptr;
            return;
        }
        if (m_seen != modal) {
            m_seen = modal;
            m_since.start();
            return;
        }
        if (m_since.elapsed() < kGraceMs)
            return;
        m_seen = nullptr;
        const QByteArray what = describe(modal).toUtf8();
        if (++m_unexpected > kMaxUnexpected)
            qFatal("Unexpected modal windows keep opening; the last: %s", what.constData());
        QTest::qFail(
            QByteArray("Unexpected modal window (no test waits for it): " + what).constData(),
            __FILE__, __LINE__);
        close(modal);
    }

    QTimer m_timer;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_since;
    int m_unexpected = 0;
};

void installModalWatchdog()
{
    MessageBox::RecordForTesting();
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        new ModalWatchdog(QCoreApplication::instance());
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installModalWatchdog)
