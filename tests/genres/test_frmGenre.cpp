// The genre manager: names refused and taken in any script and case, removal and rename
// with their questions, the editor's boxes following, failures.
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

struct Manager
{
    TestFolder folder;
    std::unique_ptr<Module1> shared = folder.MakeShared();
    EditorBoxes editor;
    frmGenre window{*shared, &editor};
    ModalWaiter prompt;
    int prompts = 0;

    QStringList genres()
    {
        return folder.Scalar("SELECT group_concat(Genre, '|') FROM "
                             "(SELECT Genre FROM Genre ORDER BY Genre COLLATE BINARY)")
            .toString()
            .split('|');
    }
    QStringList listed() const
    {
        QStringList names;
        for (int row = 0; row < window.UltraGrid->model()->rowCount(); ++row)
            names << window.UltraGrid->CellValue(row, 0).toString();
        return names;
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
    void click(const QString &action)
    {
        (action == "remove" ? window.cmdGenreRemove : window.cmdGenreRename)->click();
    }
};

} // namespace

class TestFrmGenre : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { MessageBox::Reset(); }
    void names_data();
    void names();
    void change_data();
    void change();
};

void TestFrmGenre::names_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("newNames"); // the rename prompts' answers, empty: Cancel
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("gone");
    QTest::addColumn<QString>("added");
    const auto row = [](const char *name, const char *action, const QString &typed,
                        const QStringList &newNames, const QString &message,
                        const QString &gone = {}, const QString &added = {}) {
        QTest::newRow(name) << QString(action) << typed << newNames << message << gone << added;
    };
    const QString exists = "That Genre Already Exists";
    const QString inUse = "Name already in use, please choose another";
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
}

// Typed as a user types (the box's limit applies); Add by the Enter key, out by Escape.
void TestFrmGenre::names()
{
    QFETCH(QString, action);
    QFETCH(QString, typed);
    QFETCH(QStringList, newNames);
    QFETCH(QString, gone);
    QFETCH(QString, added);
    Manager m;
    m.folder.AddGenre("Épopée");
    m.folder.AddGenre("σίσυφος");
    m.window.Form_Load();
    m.window.show();
    QStringList expected = m.genres();
    expected.removeOne(gone);
    if (!added.isEmpty())
        expected << added;
    expected.sort();
    m.window.txtGenreAdd->clear();
    for (const QChar letter : typed)
        QTest::sendKeyEvent(QTest::Click, m.window.txtGenreAdd, Qt::Key_unknown, QString(letter),
                            Qt::NoModifier);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    m.answerPrompts(newNames);

    if (action == "add")
        QTest::keyClick(m.window.txtGenreAdd, Qt::Key_Return);
    else
        m.click(action);

    QTEST(MessageBox::Shown().value(0), "message");
    QVERIFY(MessageBox::Shown().size() <= 1);
    QCOMPARE(m.prompts, newNames.size());
    QCOMPARE(m.genres(), expected);
    QStringList listed = m.listed();
    listed.sort();
    QCOMPARE(listed, expected);

    QTest::keyClick(m.window.txtGenreAdd, Qt::Key_Escape); // finishes, as Finish does
    QVERIFY(!m.window.isVisible());
    QCOMPARE(m.editor.finished, 1);
}

void TestFrmGenre::change_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("newName"); // the rename prompt's answer, empty: Cancel
    QTest::addColumn<bool>("confirmed");  // the removal question
    QTest::addColumn<QString>("warning"); // answered "ok" or "cancel", or none comes
    QTest::addColumn<QString>("refused"); // a statement the catalogue refuses
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("linked");
    const QString opera = "Space Opera";
    const QStringList kept{"Horror", "Space Western", "space western", "Western"};
    const auto row = [&](const char *name, const char *action, const QString &newName,
                         bool confirmed, const char *warning, const char *refused = "",
                         const QStringList &boxes = {}, const QStringList &linked = {}) {
        QTest::newRow(name) << QString(action) << newName << confirmed << QString(warning)
                            << QString(refused) << (boxes.isEmpty() ? kept : boxes)
                            << (boxes.isEmpty() ? QStringList{"Horror", "Space Western"} : linked);
    };
    row("remove", "remove", "", true, "ok", "", {"Horror", "", "", "Western"}, {"Horror"});
    row("remove, question declined", "remove", "", false, "");
    row("remove, warning declined", "remove", "", true, "cancel");
    row("remove fails: links back", "remove", "", true, "ok", "BEFORE DELETE ON Genre");
    row("rename", "rename", opera, true, "ok", "", {"Horror", opera, opera, "Western"},
        {"Horror", opera});
    row("rename, prompt cancelled", "rename", "", true, "");
    row("rename, warning declined", "rename", opera, true, "cancel");
    row("rename fails", "rename", opera, true, "ok", "BEFORE UPDATE ON Genre");
}

// A stored name longer than the typing limit, picked from the list, in a title and in
// the editor's boxes (one typed in another case).
void TestFrmGenre::change()
{
    QFETCH(QString, action);
    QFETCH(QString, newName);
    QFETCH(bool, confirmed);
    QFETCH(QString, warning);
    QFETCH(QString, refused);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, linked);
    const QString genre = "Space Western";
    Manager m;
    const qint64 title = m.folder.AddTitle({.title = "Alien", .genres = {"Horror", genre}});
    if (!refused.isEmpty())
        m.folder.Exec("CREATE TRIGGER refuse " + refused
                      + " BEGIN SELECT RAISE(ABORT, 'not now'); END");
    m.editor.boxes = {"Horror", genre, "space western", "Western"};
    m.shared->GenrePicks = {"Horror", genre, "", ""};
    m.shared->CreateCastRecords(); // the editor's cast list stays whatever the answers
    const auto cast = m.shared->CastRecords;
    m.window.Form_Load();
    m.window.UltraGrid->ActivateRow(int(m.listed().indexOf(genre)));
    QCOMPARE(m.window.txtGenreAdd->text(), genre);
    if (action == "rename")
        m.answerPrompts({newName});
    MessageBox::SetNextAnswer(confirmed ? QMessageBox::Ok : QMessageBox::Cancel);
    MessageBox::SetNextAnswer(QMessageBox::Ok); // a failure
    ModalWaiter warned;
    if (!warning.isEmpty())
        warned.Expect<frmAlert>([&](frmAlert *alert) {
            (warning == "ok" ? alert->cmdOk : alert->cmdCancel)->click();
        });

    m.click(action);

    QCOMPARE(warned.Handled(), !warning.isEmpty());
    QCOMPARE(m.folder.GenreNames(title), linked);
    QCOMPARE(m.folder.Scalar("SELECT Count(*) FROM Genre_Relationships").toInt(), linked.size());
    QCOMPARE(m.editor.boxes, boxes);
    QCOMPARE(m.shared->GenrePicks, (std::array<QString, 4>{boxes[0], boxes[1], "", ""}));
    QCOMPARE(m.shared->CastRecords, cast);
    const QString shown = MessageBox::Shown().value(MessageBox::Shown().size() - 1);
    QCOMPARE(shown.endsWith("not now"), !refused.isEmpty());

    m.window.cmdFinishGenre->click();
    QCOMPARE(m.editor.finished, 1);
    QVERIFY(!m.window.UltraGrid->DataSource());
}

QTEST_MAIN(TestFrmGenre)
#include "test_frmGenre.moc"
