#include "GuardedApplication.h"

#include "DbError.h"
#include "MessageBox.h"
#include "StorableText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cstdio>
#include <cstdlib>

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    // Shortcuts have had their turn by now: an Alt + character left over must not reach
    // any text box of the program, the file dialog's included.
    if (event->type() == QEvent::KeyPress
        && StorableText::IsAltCharacter(static_cast<const QKeyEvent *>(event))
        && (qobject_cast<QLineEdit *>(receiver) || qobject_cast<QPlainTextEdit *>(receiver)
            || qobject_cast<QTextEdit *>(receiver)))
        return true;
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
