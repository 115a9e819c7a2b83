#include "GuardedApplication.h"

#include "DbError.h"
#include "MessageBox.h"

#include <cstdio>
#include <cstdlib>

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError &error) {
        Fail(error.Description());
    }
}

void GuardedApplication::Report(const QString &text)
{
    std::fprintf(stderr, "Reelvane: %s\n", qPrintable(text));
    std::fflush(stderr);
    MessageBox::Show(nullptr, text, MessageBox::ApplicationTitle(), QMessageBox::Ok,
                     QMessageBox::Critical);
}

void GuardedApplication::Fail(const QString &text)
{
    Report(text);
    // Every change to the catalogue is a transaction, so ending here loses nothing.
    std::exit(1);
}
