#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Drives a modal window from a test. Arm it BEFORE the action that opens the window (the
// action blocks until the window closes): once a modal widget of type T is active, the
// handler runs with it. If none shows up in time, the watchdog closes whatever modal
// is open and the waiter reports a failure through Failed().
class ModalWaiter : public QObject
{
    Q_OBJECT

public:
    explicit ModalWaiter(int timeoutMs = 5000);
    ~ModalWaiter() override;

    template<typename T>
    void Expect(std::function<void(T *)> handler)
    {
        m_matches = [](QWidget *widget) { return qobject_cast<T *>(widget) != nullptr; };
        m_run = [handler](QWidget *widget) { handler(qobject_cast<T *>(widget)); };
        start();
    }

    bool Handled() const { return m_handled; }
    bool Failed() const { return m_failed; }

    // Closes every modal window (used by watchdogs and test cleanups).
    static void CloseAllModals();

    // Whether an armed waiter is waiting for this window (the modal watchdog asks).
    static bool IsExpected(QWidget *modal);

private:
    void start();
    void stop();
    void poll();

    std::function<bool(QWidget *)> m_matches;
    std::function<void(QWidget *)> m_run;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_timeoutMs;
    bool m_handled = false;
    bool m_failed = false;
};
