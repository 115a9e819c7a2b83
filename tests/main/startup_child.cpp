// Runs the program on the folder given as argument, as the executable would, but with
// message boxes answered at once so that a start-up failure can be observed.
#include "Application.h"
#include "MessageBox.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    // A start-up that succeeds ends by itself a moment later.
    QTimer::singleShot(3000, &app, [] { QApplication::exit(0); });
    const int status = Application::Run(QString::fromLocal8Bit(argv[1]));
    const QStringList shown = MessageBox::Shown();
    if (!shown.isEmpty())
        std::fprintf(stdout, "message box: %s\n", qPrintable(shown.join(" | ")));
    return status;
}
