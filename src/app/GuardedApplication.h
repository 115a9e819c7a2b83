#pragma once

#include <QApplication>

// The program's QApplication. A catalogue read that fails while the program runs (the
// file deleted or replaced; a lock is waited for instead, see CatalogueLockWait) cannot be
// answered by the window that asked; it ends the program with the driver's text instead of
// an unhandled exception escaping Qt's event loop.
class GuardedApplication : public QApplication
{
    Q_OBJECT

public:
    GuardedApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
