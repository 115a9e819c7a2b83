// One change to the catalogue or the images through the program's own window, tried under
// a fault, then tried again once the fault is gone:
//   write_child FOLDER FAULT ACTION [NAME [NEW NAME]]
// FAULT: none, catalogue-readonly, folder-readonly, images-readonly (applied here, so that
// they bind the user this runs as), or locked (held and lifted by the parent).
// ACTION: save, delete (the only title), genre-add NAME, genre-rename NAME NEW,
// genre-remove NAME, cover FILE.
// Prints the first try's outcome ("first: ..." with the messages shown, line breaks written
// as <CRLF> and <LF>; "open: 1" when the
// window stayed open, "kept: 1" when the user's input was kept), then "waiting" and reads
// a line from stdin; lifts the fault, tries again and prints "second: ..." and "done: 1"
// when the change went through.
//   write_child FOLDER hold-lock
// holds a write transaction on the catalogue (printing "locked") until a line is read.
//   write_child FOLDER hold-exclusive [MS]
// the same with an exclusive lock, which keeps readers out too; with MS, it lets go by
// itself after that many milliseconds.
#include "Connection.h"
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "Module1.h"
#include "TitleCommands.h"
#include "frmAlert.h"
#include "frmGenre.h"
#include "frmMain.h"
#include "frmModify3.h"
#include "frmTextBox.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>

namespace {

const QFileDevice::Permissions kReadOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                           | QFile::ExeGroup | QFile::ReadOther
                                           | QFile::ExeOther;
const QFileDevice::Permissions kWritable = kReadOnly | QFile::WriteOwner;

// The edit buffer of a new title, with text that needs quoting.
void fillEditBuffer(Module1 &shared)
{
    shared.EditMode = QStringLiteral("No");
    shared.EditTitle = QStringLiteral("Ocean's \"Eleven\" 100%_done");
    shared.EditSubTitle = QStringLiteral("Director's Cut");
    shared.EditDate = QStringLiteral("2001");
    shared.EditDirector = QStringLiteral("S. O'Bergh");
    shared.EditSummary = QStringLiteral("x'); DROP TABLE DVD_Title; --");
    shared.EditFeatures = QStringLiteral("Line one\r\nLine two");
    shared.EditEggs = QString::fromUtf8("Œufs de Pâques 🥚");
    shared.EditWishList = 0;
    shared.GenrePicks = {QStringLiteral("Drama"), QStringLiteral("Crime"), QString(), QString()};
    shared.CreateCastRecords();
    for (const auto &[actor, character] :
         {std::pair{"George O'Clooney", "Danny \"Ocean\""}, std::pair{"Brad", "Rusty; Ryan"}}) {
        shared.CastRecords->AddNew();
        shared.CastRecords->SetValue(0, QString::fromUtf8(actor));
        shared.CastRecords->SetValue(1, QString::fromUtf8(character));
        shared.CastRecords->Update();
    }
}

bool editBufferKept(const Module1 &shared)
{
    Module1 expected(shared.ProgramFolder());
    fillEditBuffer(expected);
    return shared.EditTitle == expected.EditTitle && shared.EditSubTitle == expected.EditSubTitle
           && shared.EditDate == expected.EditDate && shared.EditDirector == expected.EditDirector
           && shared.EditSummary == expected.EditSummary
           && shared.EditFeatures == expected.EditFeatures && shared.EditEggs == expected.EditEggs
           && shared.GenrePicks == expected.GenrePicks && shared.CastRecords
           && shared.CastRecords->Rows() == expected.CastRecords->Rows();
}

bool listed(const DataGrid *grid, const QString &text)
{
    const QAbstractItemModel *model = grid->model();
    for (int row = 0; model && row < model->rowCount(); ++row)
        if (model->index(row, 0).data().toString() == text)
            return true;
    return false;
}

// One try: runs the action, answers the boxes it asks, and says what it left behind.
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
    QString shown = MessageBox::Shown().join(QStringLiteral(" | "));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("<CRLF>"));
    shown.replace(QStringLiteral("\n"), QStringLiteral("<LF>"));
    std::printf("%s: %s\n", which, qPrintable(shown));
    std::printf("open: %d\nkept: %d\ndone: %d\n", int(attempt.open()), int(attempt.kept()),
                int(attempt.done()));
    std::fflush(stdout);
}

// Another process's write transaction: SQLite's file locks belong to the process, and
// any descriptor of the file it closes (a test reading the file's bytes) drops them.
int holdLock(const QString &folder, bool exclusive, int forMs)
{
    Module1 shared(folder);
    shared.InitializeDatabasePath();
    Connection connection;
    connection.Open(shared.ConnectionString);
    connection.Execute(exclusive ? QStringLiteral("BEGIN EXCLUSIVE")
                                 : QStringLiteral("BEGIN IMMEDIATE"));
    std::printf("locked\n");
    std::fflush(stdout);
    if (forMs > 0) {
        QThread::msleep(forMs);
    } else {
        std::string line;
        std::getline(std::cin, line);
    }
    connection.Execute(QStringLiteral("ROLLBACK"));
    std::printf("released\n");
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[2]) == "hold-lock")
        return holdLock(QString::fromLocal8Bit(argv[1]), false, 0);
    if (argc >= 3 && QByteArray(argv[2]) == "hold-exclusive")
        return holdLock(QString::fromLocal8Bit(argv[1]), true, argc > 3 ? std::atoi(argv[3]) : 0);
    if (argc < 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QByteArray fault = argv[2];
    const QByteArray action = argv[3];
    const QString name = argc > 4 ? QString::fromUtf8(argv[4]) : QString();
    const QString newName = argc > 5 ? QString::fromUtf8(argv[5]) : QString();

    Module1 shared(folder);
    frmMain main(shared);
    main.Form_Load();

    Attempt attempt;
    ModalWaiter waiter(15000);
    std::unique_ptr<frmModify3> step3;
    std::unique_ptr<frmGenre> genres;
    if (action == "save") {
        fillEditBuffer(shared);
        step3 = std::make_unique<frmModify3>(shared, main);
        step3->show();
        attempt.run = [&] { step3->cmdFinish->click(); };
        attempt.open = [&] { return step3->isVisible(); };
        attempt.kept = [&] { return editBufferKept(shared); };
        attempt.done = [&] { return step3->result() == StepFinished; };
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
            if (action == "genre-add")
                return present;
            if (action == "genre-rename")
                return !present && listed(genres->UltraGrid, newName);
            return !present;
        };
    } else if (action == "delete") {
        attempt.run = [&] { TitleCommands(shared, main).DeleteTitle(); };
        attempt.open = [&] { return main.isEnabled(); };
        attempt.kept = [] { return true; };
        attempt.done = [&] { return main.RecordCount() == 0; };
    } else if (action == "cover") {
        attempt.run = [&] {
            CmnDialog::SetNextFileName(name);
            CoverChooser(main).ImgCover_Click();
        };
        attempt.open = [&] { return main.isEnabled(); };
        attempt.kept = [] { return true; };
        attempt.done = [&] { return !main.CoverIsPlaceholder() && MessageBox::Shown().isEmpty(); };
    } else {
        return 2;
    }

    const QString faultTarget = fault == "catalogue-readonly" ? folder + "/dvd_collection.mdb"
                                : fault == "folder-readonly"  ? folder
                                : fault == "images-readonly"  ? folder + "/images"
                                                              : QString();
    if (!faultTarget.isEmpty() && !QFile::setPermissions(faultTarget, kReadOnly))
        return 3;
    report("first", attempt);

    std::printf("waiting\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    if (!faultTarget.isEmpty() && !QFile::setPermissions(faultTarget, kWritable))
        return 3;
    report("second", attempt);
    return 0;
}
