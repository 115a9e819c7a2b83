// The genre manager: names refused and taken in any script and case, removal and rename
// with their questions and warnings, the editor's boxes following, failures.
#include "GenreBoxes.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmAlert.h"
#include "frmGenre.h"
#include "frmTextBox.h"
#include "TestSeams.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

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

} // namespace

class TestFrmGenre : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { TestSeams::ResetAll(); }
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

// A title and the editor's boxes hold "Space Western" (past the typing limit; one box in
// another case). Add by the Enter key and out by Escape; the others out by Finish.
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
    TestFolder folder;
    const qint64 title = folder.AddTitle({.title = "Alien", .genres = {"Horror", "Space Western"}});
    folder.AddGenre("Épopée");
    folder.AddGenre("σίσυφος");
    if (!refused.isEmpty())
        folder.Exec("CREATE TRIGGER refuse " + refused
                    + " BEGIN SELECT RAISE(ABORT, 'not now'); END");
    const auto shared = folder.MakeShared();
    shared->GenrePicks = {"Horror", "Space Western", "", ""};
    shared->CreateCastRecords(); // the editor's cast list stays whatever the answers
    const auto cast = shared->CastRecords;
    EditorBoxes editor;
    editor.boxes = {"Horror", "Space Western", "space western", "Western"};
    frmGenre window(*shared, &editor);
    window.Form_Load();
    window.show();
    const auto catalogueGenres = [&folder] {
        auto names =
            folder.Scalar("SELECT group_concat(Genre, '|') FROM Genre").toString().split('|');
        names.sort();
        return names;
    };

    // The genre gone becomes the one added: in the catalogue, on the title, in the boxes.
    QStringList genres = catalogueGenres();
    QStringList linked{"Horror", "Space Western"};
    QStringList boxes = editor.boxes;
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

    const QAbstractItemModel *list = window.UltraGrid->model();
    const auto listed = list->match(list->index(0, 0), Qt::DisplayRole, genre, 1, Qt::MatchExactly);
    window.txtGenreAdd->clear();
    if (!listed.isEmpty())
        window.UltraGrid->ActivateRow(listed.first().row());
    for (const QChar letter : listed.isEmpty() ? genre : QString())
        QTest::sendKeyEvent(QTest::Click, window.txtGenreAdd, Qt::Key_unknown, QString(letter),
                            Qt::NoModifier);
    QCOMPARE(window.txtGenreAdd->text(), listed.isEmpty() ? genre.left(12) : genre);
    // Each rename prompt takes the next name; an empty one cancels it.
    ModalWaiter prompt;
    int prompts = 0;
    std::function<void(const QStringList &)> answer = [&](const QStringList &names) {
        if (names.isEmpty())
            return;
        prompt.Expect<frmTextBox>([&, names](frmTextBox *box) {
            ++prompts;
            answer(names.mid(1));
            box->txtRenameResponse->setText(names.first());
            (names.first().isEmpty() ? box->cmdCancel : box->cmdOK)->click();
        });
    };
    answer(newNames);
    MessageBox::SetNextAnswer(confirmed ? QMessageBox::Ok : QMessageBox::Cancel);
    MessageBox::SetNextAnswer(QMessageBox::Ok); // a failure
    ModalWaiter warned;
    if (!warning.isEmpty())
        warned.Expect<frmAlert>(
            [&](frmAlert *alert) { (warning == "ok" ? alert->cmdOk : alert->cmdCancel)->click(); });

    if (action == "add")
        QTest::keyClick(window.txtGenreAdd, Qt::Key_Return);
    else
        (action == "remove" ? window.cmdGenreRemove : window.cmdGenreRename)->click();

    QCOMPARE(prompts, newNames.size());
    QCOMPARE(warned.Handled(), !warning.isEmpty());
    const QStringList shown = MessageBox::Shown();
    QVERIFY2(message.isEmpty() ? shown.isEmpty() : shown.value(shown.size() - 1).endsWith(message),
             qPrintable(shown.join(" | ")));
    QCOMPARE(catalogueGenres(), genres);
    QCOMPARE(list->rowCount(), genres.size());
    QCOMPARE(folder.GenreNames(title), linked);
    QCOMPARE(folder.Scalar("SELECT Count(*) FROM Genre_Relationships").toInt(), linked.size());
    QCOMPARE(editor.boxes, boxes);
    QCOMPARE(shared->GenrePicks, (std::array<QString, 4>{boxes[0], boxes[1], "", ""}));
    QCOMPARE(shared->CastRecords, cast);

    if (action == "add")
        QTest::keyClick(window.txtGenreAdd, Qt::Key_Escape);
    else
        window.cmdFinishGenre->click();
    QVERIFY(!window.isVisible());
    QCOMPARE(editor.finished, 1);
    QVERIFY(!window.UltraGrid->DataSource());
}

QTEST_MAIN(TestFrmGenre)
#include "test_frmGenre.moc"
