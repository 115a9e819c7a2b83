#pragma once

#include "BusyPointer.h"
#include "LockWait.h"

#include <QElapsedTimer>
#include <QString>
#include <optional>

// How the running program meets a catalogue that another program keeps locked while the
// user browses: a busy pointer while it waits, and past a longer limit the question
// whether to wait again or quit. The program no longer ends on a lock by itself.
class CatalogueLockWait : public LockWaiter
{
public:
    static constexpr int AskAfterMs = 30000;

    explicit CatalogueLockWait(int askAfterMs = AskAfterMs);
    ~CatalogueLockWait() override;

    bool KeepWaiting(qint64 waitedMs) override;
    void Finished() override;

    static QString Question(qint64 waitedMs);
    static QString QuestionTitle() { return QStringLiteral("Catalogue Locked"); }

private:
    void showBusy(bool busy);

    int m_askAfterMs;
    qint64 m_askedAt = 0;
    bool m_busy = false;
    std::optional<BusyPointer> m_busyPointer;
    QElapsedTimer m_sinceLastTry;
};
