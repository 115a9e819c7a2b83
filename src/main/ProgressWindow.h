#pragma once

#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress window of long work (an export, an import, a backup, reading the titles to
// find in). It exists only while Run runs the work: it appears once the work has taken a
// second, repaints and answers its Cancel button while the work goes on, and is gone when
// the work returns or throws, so it can never show up after its work.
class ProgressWindow
{
public:
    // Done of total; false once the user has pressed Cancel.
    using Step = std::function<bool(qint64 done, qint64 total)>;

    // Runs work(step) under a window with that label and returns what the work returns.
    template<typename Work>
    static auto Run(QWidget *parent, const QString &label, Work &&work)
    {
        ProgressWindow window(parent, label);
        return work(
            Step([&window](qint64 done, qint64 total) { return window.step(done, total); }));
    }

private:
    ProgressWindow(QWidget *parent, const QString &label);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    bool step(qint64 done, qint64 total);

    std::unique_ptr<QProgressDialog> m_dialog;
};
