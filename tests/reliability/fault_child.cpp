// The whole program in a child process, for faults that end it or that need another user:
//   fault_child FOLDER [FAULT]
// starts the program on FOLDER (splash cut short, message boxes answered at once), and
// 400 ms after the main window is shown applies FAULT to the catalogue, then switches the
// list to the Wishlist and back, as a user would. Prints the message boxes shown and, when
// the program is still running 1.5 s after the window was shown, the number of titles
// listed; then ends.
// FAULT: none, replaced (by garbage, renamed over it), overwritten (garbage written in
// place), emptied (cut to 0 bytes in place), halved (cut to half its size in place), or
// stay: no fault; prints "running" and keeps running for a minute (until killed).
#include "Application.h"
#include "GuardedApplication.h"
#include "MessageBox.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QFile>
#include <QRadioButton>
#include <QTimer>

namespace {

frmMain *mainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<frmMain *>(widget))
            return main;
    return nullptr;
}

void printShown()
{
    const QStringList shown = MessageBox::Shown();
    if (!shown.isEmpty())
        std::fprintf(stdout, "message box: %s\n", qPrintable(shown.join(" | ")));
    std::fflush(stdout);
}

bool applyFault(const QString &catalogue, const QByteArray &fault)
{
    const QByteArray garbage = QByteArray("\x13\x37 not a catalogue any more ").repeated(300);
    if (fault == "replaced") {
        const QString temporary = catalogue + ".new";
        QFile out(temporary);
        return out.open(QIODevice::WriteOnly) && out.write(garbage) == garbage.size()
               && out.flush() && std::rename(qPrintable(temporary), qPrintable(catalogue)) == 0;
    }
    QFile file(catalogue);
    if (fault == "overwritten")
        return file.open(QIODevice::ReadWrite) && file.write(garbage) == garbage.size();
    if (fault == "emptied")
        return file.resize(0);
    if (fault == "halved")
        return file.resize(file.size() / 2);
    return fault == "none" || fault == "stay";
}

} // namespace

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QByteArray fault = argc > 2 ? QByteArray(argv[2]) : QByteArray("none");
    for (int i = 0; i < 8; ++i)
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    frmSplash::SetTimerIntervalForTesting(50);

    // Everything is timed from the moment the main window is shown: under a sanitizer on a
    // loaded machine the splash alone can take longer than the fault's delay, and the
    // option buttons of a window not yet loaded have no catalogue behind them.
    QTimer shown;
    shown.setInterval(20);
    QObject::connect(&shown, &QTimer::timeout, &app, [&] {
        if (!mainWindow() || !mainWindow()->isVisible())
            return;
        shown.stop();
        QTimer::singleShot(400, &app, [&] {
            if (!applyFault(folder + "/dvd_collection.mdb", fault)) {
                std::fprintf(stdout, "fault could not be applied\n");
                QApplication::exit(3);
                return;
            }
            if (frmMain *main = mainWindow()) {
                main->OptionWishList[1]->click();
                main->OptionWishList[0]->click();
            }
            if (fault == "stay") {
                std::fprintf(stdout, "running\n");
                std::fflush(stdout);
            }
        });
        QTimer::singleShot(fault == "stay" ? 60000 : 1900, &app, [] {
            if (frmMain *main = mainWindow())
                std::fprintf(stdout, "titles listed: %d\n", main->RecordCount());
            QApplication::exit(0);
        });
    });
    shown.start();
    // GuardedApplication ends the process from inside the event loop on a failed read.
    std::atexit(printShown);
    return Application::Run(folder);
}
