#pragma once

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress window of a long transfer: it appears once the work has taken a second,
// repaints and answers its Cancel button while the work goes on.
class TransferProgress
{
public:
    TransferProgress(QWidget *parent, const QString &label);
    ~TransferProgress();

    // Records done of total; false once the user has pressed Cancel.
    bool Step(qint64 done, qint64 total);
    void SetLabel(const QString &label);

    // How long work runs before the window appears (tests make it appear at once).
    static void SetDelay(int milliseconds);

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};
