// The crash-consistency worker: adds, modifies and deletes titles in an endless loop
// through the program's own save (step 3's) and delete (the title command's), until it is
// killed.
//   churn_child FOLDER SEED LOG
// Prints "ready" once the program's windows are loaded. Appends to LOG one line before
// each change ("begin add GENERATION", "begin modify ID GENERATION", "begin delete ID")
// and one once it has been committed ("saved ID GENERATION", "deleted ID").
#include "ChurnPlan.h"
#include "Connection.h"
#include "MessageBox.h"
#include "Module1.h"
#include "RecordList.h"
#include "TitleCommands.h"
#include "frmMain.h"
#include "frmModify3.h"

#include <QApplication>
#include <QRandomGenerator>
#include <fcntl.h>
#include <unistd.h>

namespace {

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
    list.Open(QStringLiteral("SELECT ID, Title FROM DVD_Title ORDER BY ID"), connection);
    QVector<Title> titles;
    for (; !list.Eof(); list.MoveNext())
        titles << Title{list.Value(0).toLongLong(), list.Value(1).toString()};
    return titles;
}

void fillEditBuffer(Module1 &shared, const QString &name, qint64 generation)
{
    shared.EditTitle = name;
    shared.EditSubTitle = QStringLiteral("Edition %1").arg(generation % 7);
    shared.EditDate = QString::number(1950 + generation % 70);
    shared.EditDirector = QStringLiteral("D'Irector");
    shared.EditSummary = ChurnPlan::Summary(generation);
    shared.EditFeatures = ChurnPlan::Features(generation);
    shared.EditEggs = QStringLiteral("eggs of %1").arg(generation);
    shared.EditWishList = int(generation % 2);
    const QStringList genres = ChurnPlan::Genres(generation);
    for (int i = 0; i < 4; ++i)
        shared.GenrePicks[i] = genres.value(i);
    shared.CreateCastRecords();
    for (const auto &[actor, character] : ChurnPlan::Cast(generation)) {
        shared.CastRecords->AddNew();
        shared.CastRecords->SetValue(0, actor);
        shared.CastRecords->SetValue(1, character);
        shared.CastRecords->Update();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const qint64 seed = QByteArray(argv[2]).toLongLong();
    const int log = ::open(argv[3], O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (log < 0)
        return 2;
    auto record = [log](const QString &line) {
        const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
        return ::write(log, bytes.constData(), bytes.size()) == bytes.size();
    };

    Module1 shared(QString::fromLocal8Bit(argv[1]));
    frmMain main(shared);
    main.Form_Load();
    std::fprintf(stdout, "ready\n");
    std::fflush(stdout);

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
        if (titles.size() < 6 || (choice < 3 && titles.size() < 40)) {
            shared.EditMode = QStringLiteral("No");
            fillEditBuffer(shared, QStringLiteral("Churn %1-%2 'n' \"q\"").arg(seed).arg(n),
                           generation);
            if (!record(QStringLiteral("begin add %1").arg(generation)))
                break;
            frmModify3 step3(shared, main);
            if (!step3.SaveTitle())
                break;
            const qint64 id = currentTitles(shared).constLast().id;
            if (!record(QStringLiteral("saved %1 %2").arg(id).arg(generation)))
                break;
        } else if (choice >= 8) {
            const Title &title = titles[int(random.bounded(int(titles.size())))];
            shared.SelectedTitleId = title.id;
            if (!record(QStringLiteral("begin delete %1").arg(title.id)))
                break;
            TitleCommands(shared, main).DeleteTitle();
            if (MessageBox::Shown().size() != 1)
                break;
            if (!record(QStringLiteral("deleted %1").arg(title.id)))
                break;
        } else {
            const Title &title = titles[int(random.bounded(int(titles.size())))];
            shared.EditMode = QStringLiteral("Yes");
            shared.SelectedTitleId = title.id;
            fillEditBuffer(shared, title.name, generation);
            if (!record(QStringLiteral("begin modify %1 %2").arg(title.id).arg(generation)))
                break;
            frmModify3 step3(shared, main);
            if (!step3.SaveTitle())
                break;
            if (!record(QStringLiteral("saved %1 %2").arg(title.id).arg(generation)))
                break;
        }
    }
    // Only a failed save or log write gets here: the test reports what was shown.
    std::fprintf(stdout, "stopped: %s\n", qPrintable(MessageBox::Shown().join(" | ")));
    return 1;
}
