// Runs the program on the folder given as argument, as the executable would, but with
// message boxes answered at once so that a start-up failure can be observed.
#include "Application.h"
#include "MessageBox.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QFile>
#include <QRadioButton>

#include "GuardedApplication.h"
#include <QTimer>

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    if (argc < 2)
        return 2;
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    // The splash goes away at once, so the main window loads well within the timers below.
    frmSplash::SetTimerIntervalForTesting(50);
    // "vanish": the catalogue is deleted while the program runs, then the list is reloaded.
    if (argc > 2 && QByteArray(argv[2]) == "vanish") {
        const QString catalogue = QString::fromLocal8Bit(argv[1]) + "/dvd_collection.mdb";
        QTimer::singleShot(500, &app, [catalogue] {
            QFile::remove(catalogue);
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *main = qobject_cast<frmMain *>(widget))
                    main->OptionWishList[1]->click();
        });
    }
    // A start-up that succeeds ends by itself a moment later.
    QTimer::singleShot(3000, &app, [] { QApplication::exit(0); });
    const int status = Application::Run(QString::fromLocal8Bit(argv[1]));
    const QStringList shown = MessageBox::Shown();
    if (!shown.isEmpty())
        std::fprintf(stdout, "message box: %s\n", qPrintable(shown.join(" | ")));
    return status;
}
