// The genre manager: names refused and taken in any script and case, removal and rename
// with their questions and warnings, the editor's boxes following, failures.
#include "GenreBoxes.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmAlert.h"
#include "frmGenre.h"
#include "frmTextBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The genre boxes of an open editor, without the editor.
struct EditorBoxes : GenreBoxes
{
    QStringList boxes{"", "", "", ""};
    int finished = 0;

    QString GenreBoxText(int index) const override { return boxes[index]; }
    void SetGenreBoxText(int index, const QString &text) override { boxes[index] = text; }
    void GenreManagerFinished() override { ++finished; }
};

// The manager over a catalogue with two more genres and a title under "Space Western"
// (longer than the typing limit), with an editor whose boxes hold it, one in another case.
struct Manager
{
    TestFolder folder;
    std::unique_ptr<Module1> shared = folder.MakeShared();
    EditorBoxes editor;
    frmGenre window{*shared, &editor};
    ModalWaiter prompt;
    int prompts = 0;
    qint64 title = folder.AddTitle({.title = "Alien", .genres = {"Horror", "Space Western"}});

    QStringList genres()
    {
        return folder.Scalar("SELECT group_concat(Genre, '|') FROM "
                             "(SELECT Genre FROM Genre ORDER BY Genre COLLATE BINARY)")
            .toString()
            .split('|');
    }
    // Each rename prompt takes the next name; an empty one cancels it.
    void answerPrompts(const QStringList &names)
    {
        if (names.isEmpty())
            return;
        prompt.Expect<frmTextBox>([this, names](frmTextBox *box) {
            ++prompts;
            answerPrompts(names.mid(1));
            box->txtRenameResponse->setText(names.first());
            (names.first().isEmpty() ? box->cmdCancel : box->cmdOK)->click();
        });
    }
};

} // namespace

class TestFrmGenre : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { MessageBox::Reset(); }
    void manage_data();
    void manage();
};

void TestFrmGenre::manage_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("genre");        // picked from the list when listed, else typed
    QTest::addColumn<QStringList>("newNames"); // the rename prompts' answers, empty: Cancel
    QTest::addColumn<QString>("message");      // how the last message ends, empty: none
    QTest::addColumn<QString>("gone");         // the genre removed or renamed
    QTest::addColumn<QString>("added");        // the genre added or the new name
    QTest::addColumn<QString>("warning");      // answered "ok" or "cancel", or none comes
    QTest::addColumn<bool>("confirmed");       // the removal question
    QTest::addColumn<QString>("refused");      // a statement the catalogue refuses
    const auto row = [](const char *name, const char *action, const QString &genre,
                        const QStringList &newNames, const QString &message,
                        const QString &gone = {}, const QString &added = {},
                        const char *warning = "", bool confirmed = true, const char *refused = "") {
        QTest::newRow(name) << QString(action) << genre << newNames << message << gone << added
                            << QString(warning) << confirmed << QString(refused);
    };
    const QString exists = "That Genre Already Exists";
    const QString inUse = "Name already in use, please choose another";
    const QString sw = "Space Western";
    const QString opera = "Space Opera";
    const QString ask = "Are you sure you want to delete Space Western?";
    row("add: empty", "add", "", {}, "You Must Enter A Genre");
    row("add: taken", "add", "Drama", {}, exists);
    row("add: taken, other case", "add", "dRAMA", {}, exists);
    row("add: taken, other case beyond ASCII", "add", "ÉPOPÉE", {}, exists);
    row("add: typed past 12 letters", "add", "Science Fiction", {}, "", "", "Science Fict");
    row("add: beyond ASCII", "add", "Ciné d'Été", {}, "", "", "Ciné d'Été");
    row("remove: empty", "remove", "", {}, "You Must Select A Genre");
    row("rename: unknown", "rename", "No'ir", {}, "The Genre Entered Does Not Exist");
    row("remove: other case beyond ASCII", "remove", "épopée", {},
        "Are you sure you want to delete Épopée?", "Épopée");
    row("rename: Greek in capitals", "rename", "ΣΊΣΥΦΟΣ", {"Saga"}, "", "σίσυφος", "Saga");
    row("rename to a taken name: asked again", "rename", "Drama", {"COMEDY", ""}, inUse);
    row("rename to a taken name beyond ASCII", "rename", "Drama", {"épopée", ""}, inUse);
    row("remove a used genre", "remove", sw, {}, ask, sw, "", "ok");
    row("remove, question declined", "remove", sw, {}, ask, "", "", "", false);
    row("remove, warning declined", "remove", sw, {}, ask, "", "", "cancel");
    row("remove fails: links back", "remove", sw, {}, "not now", "", "", "ok", true,
        "BEFORE DELETE ON Genre");
    row("rename a used genre", "rename", sw, {opera}, "", sw, opera, "ok");
    row("rename, prompt cancelled", "rename", sw, {""}, "");
    row("rename, warning declined", "rename", sw, {opera}, "", "", "", "cancel");
    row("rename fails", "rename", sw, {opera}, "not now", "", "", "ok", true,
        "BEFORE UPDATE ON Genre");
}

// Add by the Enter key and out by Escape; the others out by Finish.
void TestFrmGenre::manage()
{
    QFETCH(QString, action);
    QFETCH(QString, genre);
    QFETCH(QStringList, newNames);
    QFETCH(QString, message);
    QFETCH(QString, gone);
    QFETCH(QString, added);
    QFETCH(QString, warning);
    QFETCH(bool, confirmed);
    QFETCH(QString, refused);
    Manager m;
    m.folder.AddGenre("Épopée");
    m.folder.AddGenre("σίσυφος");
    if (!refused.isEmpty())
        m.folder.Exec("CREATE TRIGGER refuse " + refused
                      + " BEGIN SELECT RAISE(ABORT, 'not now'); END");
    m.editor.boxes = {"Horror", "Space Western", "space western", "Western"};
    m.shared->GenrePicks = {"Horror", "Space Western", "", ""};
    m.shared->CreateCastRecords(); // the editor's cast list stays whatever the answers
    const auto cast = m.shared->CastRecords;
    m.window.Form_Load();
    m.window.show();

    // The genre gone becomes the one added: in the catalogue, on the title, in the boxes.
    QStringList genres = m.genres();
    QStringList linked{"Horror", "Space Western"};
    QStringList boxes = m.editor.boxes;
    genres.removeOne(gone);
    if (!added.isEmpty())
        genres << added;
    if (linked.removeOne(gone) && !added.isEmpty())
        linked << added;
    genres.sort();
    linked.sort();
    for (QString &box : boxes)
        if (!gone.isEmpty() && box.compare(gone, Qt::CaseInsensitive) == 0)
            box = added;

    const QAbstractItemModel *list = m.window.UltraGrid->model();
    const auto listed = list->match(list->index(0, 0), Qt::DisplayRole, genre, 1, Qt::MatchExactly);
    m.window.txtGenreAdd->clear();
    if (!listed.isEmpty())
        m.window.UltraGrid->ActivateRow(listed.first().row());
    for (const QChar letter : listed.isEmpty() ? genre : QString())
        QTest::sendKeyEvent(QTest::Click, m.window.txtGenreAdd, Qt::Key_unknown, QString(letter),
                            Qt::NoModifier);
    QCOMPARE(m.window.txtGenreAdd->text(), listed.isEmpty() ? genre.left(12) : genre);
    m.answerPrompts(newNames);
    MessageBox::SetNextAnswer(confirmed ? QMessageBox::Ok : QMessageBox::Cancel);
    MessageBox::SetNextAnswer(QMessageBox::Ok); // a failure
    ModalWaiter warned;
    if (!warning.isEmpty())
        warned.Expect<frmAlert>([&](frmAlert *alert) {
            (warning == "ok" ? alert->cmdOk : alert->cmdCancel)->click();
        });

    if (action == "add")
        QTest::keyClick(m.window.txtGenreAdd, Qt::Key_Return);
    else
        (action == "remove" ? m.window.cmdGenreRemove : m.window.cmdGenreRename)->click();

    QCOMPARE(m.prompts, newNames.size());
    QCOMPARE(warned.Handled(), !warning.isEmpty());
    const QStringList shown = MessageBox::Shown();
    QVERIFY2(message.isEmpty() ? shown.isEmpty() : shown.value(shown.size() - 1).endsWith(message),
             qPrintable(shown.join(" | ")));
    QCOMPARE(m.genres(), genres);
    QCOMPARE(list->rowCount(), genres.size());
    QCOMPARE(m.folder.GenreNames(m.title), linked);
    QCOMPARE(m.folder.Scalar("SELECT Count(*) FROM Genre_Relationships").toInt(), linked.size());
    QCOMPARE(m.editor.boxes, boxes);
    QCOMPARE(m.shared->GenrePicks, (std::array<QString, 4>{boxes[0], boxes[1], "", ""}));
    QCOMPARE(m.shared->CastRecords, cast);

    if (action == "add")
        QTest::keyClick(m.window.txtGenreAdd, Qt::Key_Escape);
    else
        m.window.cmdFinishGenre->click();
    QVERIFY(!m.window.isVisible());
    QCOMPARE(m.editor.finished, 1);
    QVERIFY(!m.window.UltraGrid->DataSource());
}

QTEST_MAIN(TestFrmGenre)
#include "test_frmGenre.moc"
