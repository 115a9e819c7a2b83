// The reliability tests' child process, one mode per use:
//
//   child run FOLDER [FAULT]
//     The whole program on FOLDER (splash cut short, message boxes answered at once). 400 ms
//     after the main window is shown it applies FAULT to the catalogue, then switches the
//     list to the Wishlist and back, as a user would; prints the message boxes shown and,
//     when still running 1.5 s after the window was shown, "titles listed: N"; then ends.
//     FAULT: none, replaced (by garbage, renamed over it), overwritten (garbage written in
//     place), emptied, halved, removed, or stay (no fault: prints "running" and keeps
//     running for a minute).
//   child hold FOLDER lock|exclusive [MS]
//     Holds a write transaction (exclusive: readers kept out too) and prints "locked",
//     until a line is read or, with MS, for that long.
//   child write FOLDER FAULT ACTION [NAME [NEW NAME]]
//     One change through the program's own window, tried under FAULT (none,
//     catalogue-readonly, folder-readonly, images-readonly, applied here so that they bind
//     this process's user; or locked, held by the parent), then tried again once a line is
//     read and the fault is lifted. ACTION: save, delete (the only title), genre-add NAME,
//     genre-rename NAME NEW, genre-remove NAME, cover FILE. Prints "first: <messages>"
//     (CR LF as <CRLF>, LF as <LF>), "open: 1" when the window stayed open, "kept: 1" when
//     the input was kept, "done: 1" when the change went through; "waiting"; then the
//     same for "second".
//   child churn FOLDER SEED LOG
//     Adds, modifies and deletes titles through the program's own save and delete until
//     killed. Prints "ready"; appends to LOG a line before each change ("begin add GEN",
//     "begin modify ID GEN", "begin delete ID") and one once committed ("saved ID GEN",
//     "deleted ID").
#include "Application.h"
#include "BusyTimeout.h"
#include "ChurnPlan.h"
#include "CmnDialog.h"
#include "Connection.h"
#include "CoverChooser.h"
#include "EditorFixture.h"
#include "GuardedApplication.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "RecordList.h"
#include "TitleCommands.h"
#include "frmAlert.h"
#include "frmGenre.h"
#include "frmModify3.h"
#include "frmSplash.h"
#include "frmTextBox.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

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
        std::printf("message box: %s\n", qPrintable(shown.join(" | ")));
    std::fflush(stdout);
}

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

bool applyFault(const QString &catalogue, const QByteArray &fault)
{
    const QByteArray garbage = QByteArray("\x13\x37 not a catalogue any more ").repeated(300);
    QFile file(catalogue);
    if (fault == "replaced") {
        QFile out(catalogue + ".new");
        return out.open(QIODevice::WriteOnly) && out.write(garbage) == garbage.size()
               && out.flush() && std::rename(qPrintable(out.fileName()), qPrintable(catalogue)) == 0;
    }
    if (fault == "overwritten")
        return file.open(QIODevice::ReadWrite) && file.write(garbage) == garbage.size();
    if (fault == "emptied")
        return file.resize(0);
    if (fault == "halved")
        return file.resize(file.size() / 2);
    if (fault == "removed")
        return file.remove();
    return fault == "none" || fault == "stay";
}

int run(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QByteArray fault = argc > 3 ? QByteArray(argv[3]) : QByteArray("none");
    for (int i = 0; i < 8; ++i)
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    frmSplash::SetTimerIntervalForTesting(50);
    // Timed from the moment the main window is shown: under a sanitizer on a loaded
    // machine the splash alone can outlast the delay, and the option buttons of a window
    // not yet loaded have no catalogue behind them.
    QTimer shown;
    shown.setInterval(20);
    QObject::connect(&shown, &QTimer::timeout, &app, [&] {
        if (!mainWindow() || !mainWindow()->isVisible())
            return;
        shown.stop();
        QTimer::singleShot(400, &app, [&] {
            if (!applyFault(folder + "/dvd_collection.mdb", fault)) {
                say("fault could not be applied");
                QApplication::exit(3);
                return;
            }
            if (fault == "stay")
                say("running");
            if (frmMain *main = mainWindow()) {
                main->OptionWishList[1]->click();
                main->OptionWishList[0]->click();
            }
        });
        QTimer::singleShot(fault == "stay" ? 60000 : 1900, &app, [] {
            if (frmMain *main = mainWindow())
                std::printf("titles listed: %d\n", main->RecordCount());
            QApplication::exit(0);
        });
    });
    shown.start();
    // GuardedApplication ends the process from inside the event loop on a failed read.
    std::atexit(printShown);
    return Application::Run(folder);
}

// Another process's write transaction: SQLite's file locks belong to the process, and
// any descriptor of the file it closes (a test reading the file's bytes) drops them.
int hold(const QString &folder, bool exclusive, int forMs)
{
    Module1 shared(folder);
    shared.InitializeDatabasePath();
    Connection connection;
    connection.Open(shared.ConnectionString);
    connection.Execute(exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE");
    say("locked");
    if (forMs > 0) {
        QThread::msleep(forMs);
    } else {
        std::string line;
        std::getline(std::cin, line);
    }
    connection.Execute("ROLLBACK");
    return 0;
}

// The edit buffer of a new title, with text that needs quoting.
void fillWriteBuffer(Module1 &shared)
{
    FillEditBuffer(shared, "No", "Ocean's \"Eleven\" 100%_done", {"Drama", "Crime"},
                   {{"George O'Clooney", "Danny \"Ocean\""}, {"Brad", "Rusty; Ryan"}});
    shared.EditSummary = "x'); DROP TABLE DVD_Title; --";
}

bool listed(const DataGrid *grid, const QString &text)
{
    const QAbstractItemModel *model = grid->model();
    for (int row = 0; model && row < model->rowCount(); ++row)
        if (model->index(row, 0).data().toString() == text)
            return true;
    return false;
}

struct Attempt
{
    std::function<void()> run;
    std::function<bool()> open;
    std::function<bool()> kept;
    std::function<bool()> done;
};

void report(const char *which, const Attempt &attempt)
{
    MessageBox::Reset();
    for (int i = 0; i < 4; ++i)
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    attempt.run();
    QString shown = MessageBox::Shown().join(" | ");
    shown.replace("\r\n", "<CRLF>").replace("\n", "<LF>");
    std::printf("%s: %s\nopen: %d\nkept: %d\ndone: %d\n", which, qPrintable(shown),
                int(attempt.open()), int(attempt.kept()), int(attempt.done()));
    std::fflush(stdout);
}

int writeUnderFault(const QString &folder, const QByteArray &fault, const QByteArray &action,
          const QString &name, const QString &newName)
{
    BusyTimeout::SetForTesting(1000); // each lock met costs a second, not five
    Module1 shared(folder);
    frmMain main(shared);
    main.Form_Load();
    Attempt attempt;
    ModalWaiter waiter(15000);
    std::unique_ptr<frmModify3> step3;
    std::unique_ptr<frmGenre> genres;
    if (action == "save") {
        fillWriteBuffer(shared);
        step3 = std::make_unique<frmModify3>(shared, main);
        step3->show();
        Module1 expected(folder);
        fillWriteBuffer(expected);
        attempt = {[&] { step3->cmdFinish->click(); }, [&] { return step3->isVisible(); },
                   [&, expected] {
                       return shared.EditFacts() == expected.EditFacts()
                              && shared.GenrePicks == expected.GenrePicks && shared.CastRecords
                              && shared.CastRecords->Rows() == expected.CastRecords->Rows();
                   },
                   [&] { return step3->result() == StepFinished; }};
    } else if (action.startsWith("genre-")) {
        genres = std::make_unique<frmGenre>(shared, nullptr);
        genres->Form_Load();
        genres->show();
        QPushButton *button = action == "genre-add"      ? genres->cmdGenreAdd
                              : action == "genre-rename" ? genres->cmdGenreRename
                                                         : genres->cmdGenreRemove;
        genres->txtGenreAdd->setText(name);
        attempt.run = [&, button] {
            // The user types the name again only where the window emptied the box.
            if (genres->txtGenreAdd->text().isEmpty())
                genres->txtGenreAdd->setText(name);
            if (action == "genre-rename")
                waiter.Expect<frmTextBox>([&](frmTextBox *prompt) {
                    // Then the warning listing the titles under the genre: go on.
                    waiter.Expect<frmAlert>([](frmAlert *alert) { alert->cmdOk->click(); });
                    prompt->txtRenameResponse->setText(newName);
                    prompt->cmdOK->click();
                });
            button->click();
        };
        attempt.open = [&] { return genres->isVisible(); };
        attempt.kept = [&] { return genres->txtGenreAdd->text() == name; };
        attempt.done = [&] {
            const bool present = listed(genres->UltraGrid, name);
            if (action == "genre-rename")
                return !present && listed(genres->UltraGrid, newName);
            return action == "genre-add" ? present : !present;
        };
    } else if (action == "delete" || action == "cover") {
        attempt.run = [&] {
            if (action == "delete") {
                TitleCommands(shared, main).DeleteTitle();
                return;
            }
            CmnDialog::SetNextFileName(name);
            CoverChooser(main).ImgCover_Click();
        };
        attempt.open = [&] { return main.isEnabled(); };
        attempt.kept = [] { return true; };
        attempt.done = [&] {
            return action == "delete" ? main.RecordCount() == 0
                                      : !main.CoverIsPlaceholder() && MessageBox::Shown().isEmpty();
        };
    } else {
        return 2;
    }

    const QString target = fault == "catalogue-readonly" ? folder + "/dvd_collection.mdb"
                           : fault == "folder-readonly"  ? folder
                           : fault == "images-readonly"  ? folder + "/images"
                                                         : QString();
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                          | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    if (!target.isEmpty() && !QFile::setPermissions(target, readOnly))
        return 3;
    report("first", attempt);
    say("waiting");
    std::string line;
    std::getline(std::cin, line);
    if (!target.isEmpty() && !QFile::setPermissions(target, readOnly | QFile::WriteOwner))
        return 3;
    report("second", attempt);
    return 0;
}

struct Title
{
    qint64 id;
    QString name;
};

QVector<Title> currentTitles(const Module1 &shared)
{
    Connection connection;
    connection.Open(shared.ConnectionString);
    RecordList list;
    list.Open("SELECT ID, Title FROM DVD_Title ORDER BY ID", connection);
    QVector<Title> titles;
    for (; !list.Eof(); list.MoveNext())
        titles << Title{list.Value(0).toLongLong(), list.Value(1).toString()};
    return titles;
}

void fillChurnBuffer(Module1 &shared, const QString &mode, const QString &name, qint64 generation)
{
    CastPairs cast;
    for (const auto &[actor, character] : ChurnPlan::Cast(generation))
        cast.append({actor, character});
    FillEditBuffer(shared, mode, name, ChurnPlan::Genres(generation), cast);
    shared.SetEditFacts({name, QString("Edition %1").arg(generation % 7),
                         QString::number(1950 + generation % 70), "D'Irector",
                         ChurnPlan::Summary(generation), ChurnPlan::Features(generation),
                         QString("eggs of %1").arg(generation), int(generation % 2)});
}

int churn(const QString &folder, qint64 seed, const char *logPath)
{
    const int log = ::open(logPath, O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (log < 0)
        return 2;
    auto record = [log](const QString &line) {
        const QByteArray bytes = (line + '\n').toUtf8();
        return ::write(log, bytes.constData(), bytes.size()) == bytes.size();
    };
    Module1 shared(folder);
    frmMain main(shared);
    main.Form_Load();
    say("ready");

    QRandomGenerator random{quint32(seed)};
    qint64 generation = seed * ChurnPlan::Span;
    for (qint64 n = 0;; ++n) {
        const QVector<Title> titles = currentTitles(shared);
        const int choice = int(random.bounded(10));
        // The deletion question, and a failure's message (which ends the loop).
        MessageBox::Reset();
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        ++generation;
        const bool add = titles.size() < 6 || (choice < 3 && titles.size() < 40);
        const Title title = add ? Title{} : titles[int(random.bounded(int(titles.size())))];
        if (!add && choice >= 8) {
            shared.SelectedTitleId = title.id;
            if (!record(QString("begin delete %1").arg(title.id)))
                break;
            TitleCommands(shared, main).DeleteTitle();
            if (MessageBox::Shown().size() != 1 || !record(QString("deleted %1").arg(title.id)))
                break;
            continue;
        }
        const QString name = add ? QString("Churn %1-%2 'n' \"q\"").arg(seed).arg(n) : title.name;
        fillChurnBuffer(shared, add ? "No" : "Yes", name, generation);
        shared.SelectedTitleId = title.id;
        if (!record(add ? QString("begin add %1").arg(generation)
                        : QString("begin modify %1 %2").arg(title.id).arg(generation)))
            break;
        frmModify3 step3(shared, main);
        if (!step3.SaveTitle())
            break;
        const qint64 id = add ? currentTitles(shared).constLast().id : title.id;
        if (!record(QString("saved %1 %2").arg(id).arg(generation)))
            break;
    }
    // Only a failed save or log write gets here: the test reports what was shown.
    std::printf("stopped: %s\n", qPrintable(MessageBox::Shown().join(" | ")));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 2 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "run")
        return run(argc, argv);
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (mode == "hold" && argc > 3)
        return hold(folder, QByteArray(argv[3]) == "exclusive", argc > 4 ? std::atoi(argv[4]) : 0);
    if (mode == "write" && argc > 4)
        return writeUnderFault(folder, argv[3], argv[4], argc > 5 ? QString::fromUtf8(argv[5]) : QString(),
                     argc > 6 ? QString::fromUtf8(argv[6]) : QString());
    if (mode == "churn" && argc > 4)
        return churn(folder, QByteArray(argv[3]).toLongLong(), argv[4]);
    return 2;
}
