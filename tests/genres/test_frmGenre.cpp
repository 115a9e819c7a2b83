// The genre manager: adding, removing and renaming genres with their questions and
// warnings, names in any script and case, the editor's boxes following, and failures.
#include "GenreBoxes.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmAlert.h"
#include "frmGenre.h"
#include "frmTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The genre boxes of an open editor, without the editor.
class EditorBoxes : public GenreBoxes
{
public:
    std::array<QString, 4> boxes;
    int finished = 0;

    QString GenreBoxText(int index) const override { return boxes[index]; }
    void SetGenreBoxText(int index, const QString &text) override { boxes[index] = text; }
    void GenreManagerFinished() override { ++finished; }
};

// One test's catalogue, shared state, editor boxes and a loaded manager.
struct Manager
{
    TestFolder folder;
    std::unique_ptr<Module1> shared = folder.MakeShared();
    EditorBoxes editor;
    std::unique_ptr<frmGenre> window;

    void load()
    {
        window = std::make_unique<frmGenre>(*shared, &editor);
        window->Form_Load();
    }
    QStringList genres() const
    {
        QStringList names;
        for (const auto &row : const_cast<TestFolder &>(folder).Rows(
                 QStringLiteral("SELECT Genre FROM Genre ORDER BY Genre_ID")))
            names << row.first().toString();
        return names;
    }
    QStringList listed() const
    {
        QStringList names;
        for (int row = 0; row < window->UltraGrid->model()->rowCount(); ++row)
            names << window->UltraGrid->CellValue(row, 0).toString();
        return names;
    }
    int links() const
    {
        return const_cast<TestFolder &>(folder)
            .Scalar(QStringLiteral("SELECT Count(*) FROM Genre_Relationships"))
            .toInt();
    }
    void select(const QString &genre) { window->txtGenreAdd->setText(genre); }
};

// Answers the rename prompt with a name (empty name: Cancel).
void answerPrompt(ModalWaiter &waiter, const QString &name)
{
    waiter.Expect<frmTextBox>([name](frmTextBox *prompt) {
        if (name.isEmpty()) {
            prompt->cmdCancel->click();
            return;
        }
        prompt->txtRenameResponse->setText(name);
        prompt->cmdOK->click();
    });
}

} // namespace

class TestFrmGenre : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void emptyTableDisablesRemoveAndRename();
    void refusedNames_data();
    void refusedNames();
    void remove_data();
    void remove();
    void renameRefusesTakenNamesAndReopensPrompt_data();
    void renameRefusesTakenNamesAndReopensPrompt();
    void renameKeepsIdAndRewritesEditorBoxes();
    void renameCancelledChangesNothing();
    void removeClearsMatchingPicksOnly();
    void failureLeavesEverythingAsItWas_data();
    void failureLeavesEverythingAsItWas();
    void finishGivesEditorBack_data();
    void finishGivesEditorBack();
    void listedInReadingOrder();
    void removeOrRenameInAnyCase_data();
    void removeOrRenameInAnyCase();
    void typingNeverLengthens_data();
    void typingNeverLengthens();
};

void TestFrmGenre::emptyTableDisablesRemoveAndRename()
{
    Manager m;
    m.folder.Exec(QStringLiteral("DELETE FROM Genre"));
    m.load();
    QCOMPARE(m.window->UltraGrid->model()->rowCount(), 0);
    QVERIFY(!m.window->cmdGenreRemove->isEnabled());
    QVERIFY(!m.window->cmdGenreRename->isEnabled());
    QVERIFY(m.window->cmdGenreAdd->isEnabled());
    QCOMPARE(m.window->txtGenreAdd->text(), QString());

    m.window->show();
    QVERIFY(QTest::qWaitForWindowActive(m.window.get()));
    QTest::keyClicks(m.window->txtGenreAdd, QStringLiteral("Noir"));
    QTest::keyClick(m.window->txtGenreAdd, Qt::Key_Return); // Enter adds

    QCOMPARE(m.genres(), QStringList{QStringLiteral("Noir")});
    QCOMPARE(m.listed(), QStringList{QStringLiteral("Noir")});
    QVERIFY(m.window->cmdGenreRemove->isEnabled());
    QVERIFY(m.window->cmdGenreRename->isEnabled());
    QCOMPARE(m.window->txtGenreAdd->text(), QString());
}

void TestFrmGenre::refusedNames_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("add, empty") << "add" << QString() << "You Must Enter A Genre";
    QTest::newRow("add, same name") << "add" << "Drama" << "That Genre Already Exists";
    QTest::newRow("add, other case") << "add" << "dRAMA" << "That Genre Already Exists";
    QTest::newRow("add, other case, non-ASCII") << "add" << "ÉPOPÉE" << "That Genre Already Exists";
    QTest::newRow("remove, empty") << "remove" << "" << "You Must Select A Genre";
    QTest::newRow("rename, empty") << "rename" << "" << "You Must Select A Genre";
    QTest::newRow("remove, unknown") << "remove" << "Noir" << "The Genre Entered Does Not Exist";
    QTest::newRow("rename, unknown") << "rename" << "No'ir" << "The Genre Entered Does Not Exist";
}

void TestFrmGenre::refusedNames()
{
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(QString, message);
    Manager m;
    m.folder.AddGenre(QStringLiteral("Épopée"));
    m.load();
    const QStringList before = m.genres();
    m.select(name);
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    (button == "add"      ? m.window->cmdGenreAdd
     : button == "remove" ? m.window->cmdGenreRemove
                          : m.window->cmdGenreRename)
        ->click();

    QCOMPARE(MessageBox::Shown(), QStringList{message});
    QCOMPARE(m.genres(), before);
    QCOMPARE(m.window->txtGenreAdd->text(), QString());
}

void TestFrmGenre::remove_data()
{
    QTest::addColumn<QString>("genre"); // War: two titles; Western: none
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("warned");
    QTest::addColumn<bool>("removed");
    QTest::newRow("unused: asked once, no warning") << "Western" << true << false << true;
    QTest::newRow("used: question declined") << "War" << false << false << false;
    QTest::newRow("used: warning declined") << "War" << true << true << false;
    QTest::newRow("used: warning accepted") << "War" << true << true << true;
}

void TestFrmGenre::remove()
{
    QFETCH(QString, genre);
    QFETCH(bool, confirmed);
    QFETCH(bool, warned);
    QFETCH(bool, removed);
    Manager m;
    m.folder.AddTitle({.title = "Zulu", .genres = {"War"}});
    m.folder.AddTitle({.title = "Apocalypse Now", .subTitle = "Redux", .genres = {"War", "Drama"}});
    m.load();
    const QStringList before = m.genres();
    m.select(genre);
    MessageBox::SetNextAnswer(confirmed ? QMessageBox::Ok : QMessageBox::Cancel);
    ModalWaiter warning(warned ? 5000 : 300);
    QStringList listed;
    QString question;
    warning.Expect<frmAlert>([&](frmAlert *alert) {
        question = alert->lblInfo->text();
        for (int row = 0; row < alert->UltraGrid->model()->rowCount(); ++row)
            listed << alert->UltraGrid->CellValue(row, 0).toString();
        (removed ? alert->cmdOk : alert->cmdCancel)->click();
    });

    m.window->cmdGenreRemove->click();

    QCOMPARE(MessageBox::Shown(), QStringList{"Are you sure you want to delete " + genre + "?"});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{"Confirm Genre Deletion"});
    QCOMPARE(warning.Handled(), warned);
    if (warned) {
        QCOMPARE(listed, QStringList({"Apocalypse Now", "Zulu"}));
        QCOMPARE(question, QString("The following titles are currently classified under the genre "
                                   "type War.  If you modify War the titles will no longer be "
                                   "classified under War.  Are you sure you want to do this?"));
        QCOMPARE(m.shared->GenreTitleCount, 2);
    }
    QCOMPARE(m.genres().contains(genre), !removed);
    QCOMPARE(m.genres().size(), before.size() - (removed ? 1 : 0));
    QCOMPARE(m.links(), removed && genre == "War" ? 1 : 3);
    QCOMPARE(m.window->txtGenreAdd->text(), removed ? QString() : genre);
}

void TestFrmGenre::renameRefusesTakenNamesAndReopensPrompt_data()
{
    QTest::addColumn<QString>("taken");
    QTest::addColumn<int>("button");
    QTest::newRow("same name, Try Again") << "Drama" << int(QMessageBox::Retry);
    QTest::newRow("other case, Cancel") << "COMEDY" << int(QMessageBox::Cancel);
    QTest::newRow("other case, non-ASCII, Continue") << "épopée" << int(QMessageBox::Ignore);
}

void TestFrmGenre::renameRefusesTakenNamesAndReopensPrompt()
{
    QFETCH(QString, taken);
    QFETCH(int, button);
    Manager m;
    m.folder.AddGenre(QStringLiteral("Épopée"));
    m.load();
    const QStringList before = m.genres();
    m.select(QStringLiteral("Drama"));
    MessageBox::SetNextAnswer(QMessageBox::StandardButton(button));
    ModalWaiter prompt;
    int prompts = 0;
    prompt.Expect<frmTextBox>([&](frmTextBox *first) {
        ++prompts;
        first->txtRenameResponse->setText(taken);
        first->cmdOK->click();
        // Whatever the answer to the refusal, the prompt comes back; cancel it.
        prompt.Expect<frmTextBox>([&](frmTextBox *second) {
            ++prompts;
            QCOMPARE(second->txtRenameResponse->text(), QString());
            second->cmdCancel->click();
        });
    });

    m.window->cmdGenreRename->click();

    QVERIFY(!prompt.Failed());
    QCOMPARE(prompts, 2);
    QCOMPARE(MessageBox::Shown(),
             QStringList{QStringLiteral("Name already in use, please choose another")});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{QStringLiteral("Error")});
    QCOMPARE(m.genres(), before);
    QCOMPARE(m.window->txtGenreAdd->text(), QStringLiteral("Drama"));
}

void TestFrmGenre::renameKeepsIdAndRewritesEditorBoxes()
{
    Manager m;
    const qint64 title = m.folder.AddTitle({.title = QStringLiteral("Alien"),
                                            .genres = {QStringLiteral("Sci-Fi")}});
    const qint64 id = m.folder.GenreId(QStringLiteral("Sci-Fi"));
    m.shared->CreateCastRecords();
    const auto cast = m.shared->CastRecords;
    m.shared->GenrePicks = {QStringLiteral("Horror"), QStringLiteral("Sci-Fi"), QString(),
                            QString()};
    m.editor.boxes = {QStringLiteral("Horror"), QStringLiteral("Sci-Fi"), QStringLiteral("sci-fi"),
                      QStringLiteral("Sci-Fi Horror")};
    m.load();
    m.select(QStringLiteral("Sci-Fi"));
    ModalWaiter prompt;
    ModalWaiter warning;
    answerPrompt(prompt, QStringLiteral("Science Fiction"));
    warning.Expect<frmAlert>([](frmAlert *alert) { alert->cmdOk->click(); });

    m.window->cmdGenreRename->click();

    QVERIFY(prompt.Handled() && warning.Handled());
    QCOMPARE(m.folder.GenreId(QStringLiteral("Science Fiction")), id);
    QCOMPARE(m.folder.Scalar(QStringLiteral("SELECT Genre_ID FROM Genre_Relationships "
                                            "WHERE Title_ID = ?"),
                             {title})
                 .toLongLong(),
             id);
    QCOMPARE(m.editor.boxes,
             (std::array<QString, 4>{QStringLiteral("Horror"), QStringLiteral("Science Fiction"),
                                     QStringLiteral("Science Fiction"),
                                     QStringLiteral("Sci-Fi Horror")}));
    QCOMPARE(m.shared->GenrePicks[1], QStringLiteral("Science Fiction"));
    QCOMPARE(m.shared->CastRecords, cast);
    QVERIFY(m.listed().contains(QStringLiteral("Science Fiction")));
    QCOMPARE(m.window->txtGenreAdd->text(), QString());
}

void TestFrmGenre::renameCancelledChangesNothing()
{
    Manager m;
    m.folder.AddTitle({.title = QStringLiteral("Alien"), .genres = {QStringLiteral("Horror")}});
    m.editor.boxes = {QStringLiteral("Horror"), QString(), QString(), QString()};
    m.load();
    const QStringList before = m.genres();

    // Declining the warning after a good name changes nothing either.
    for (const bool atPrompt : {true, false}) {
        m.select(QStringLiteral("Horror"));
        ModalWaiter prompt;
        ModalWaiter warning;
        answerPrompt(prompt, atPrompt ? QString() : QStringLiteral("Shocker"));
        if (!atPrompt)
            warning.Expect<frmAlert>([](frmAlert *alert) { alert->cmdCancel->click(); });
        m.window->cmdGenreRename->click();
        QVERIFY(prompt.Handled());
        QCOMPARE(warning.Handled(), !atPrompt);
        QCOMPARE(m.genres(), before);
        QCOMPARE(m.editor.boxes[0], QStringLiteral("Horror"));
        QCOMPARE(m.window->txtGenreAdd->text(), atPrompt ? QStringLiteral("Horror") : QString());
    }
}

void TestFrmGenre::removeClearsMatchingPicksOnly()
{
    Manager m;
    m.shared->GenrePicks = {QStringLiteral("Comedy"), QStringLiteral("Drama"), QString(),
                            QString()};
    // Box 2 was typed in another case; a rename earlier left box 3 ahead of its pick.
    m.editor.boxes = {QStringLiteral("Comedy"), QStringLiteral("Drama"), QStringLiteral("drama"),
                      QStringLiteral("Drama")};
    m.load();
    m.select(QStringLiteral("Drama"));
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    m.window->cmdGenreRemove->click();

    QCOMPARE(m.folder.GenreId(QStringLiteral("Drama")), 0);
    QCOMPARE(m.shared->GenrePicks,
             (std::array<QString, 4>{QStringLiteral("Comedy"), QString(), QString(), QString()}));
    QCOMPARE(m.editor.boxes,
             (std::array<QString, 4>{QStringLiteral("Comedy"), QString(), QString(), QString()}));
}

void TestFrmGenre::failureLeavesEverythingAsItWas_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("message");
    QTest::newRow("add") << "add" << "BEFORE INSERT ON Genre" << " inserting record.\r\n";
    QTest::newRow("remove: links go, then the genre fails")
        << "remove" << "BEFORE DELETE ON Genre" << " modifying record.\r\n";
    QTest::newRow("rename") << "rename" << "BEFORE UPDATE ON Genre" << " modifying record.\r\n";
}

void TestFrmGenre::failureLeavesEverythingAsItWas()
{
    QFETCH(QString, button);
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    Manager m;
    m.folder.AddTitle({.title = QStringLiteral("Alien"), .genres = {QStringLiteral("Horror")}});
    m.folder.Exec(QStringLiteral("CREATE TRIGGER refuse ") + trigger
                  + QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'not now'); END"));
    m.shared->GenrePicks = {QStringLiteral("Horror"), QString(), QString(), QString()};
    m.editor.boxes = {QStringLiteral("Horror"), QString(), QString(), QString()};
    m.load();
    const QByteArray before = m.folder.CatalogueBytes();
    m.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m.window.get()));

    ModalWaiter prompt;
    ModalWaiter warning;
    warning.Expect<frmAlert>([](frmAlert *alert) { alert->cmdOk->click(); });
    if (button == QLatin1String("add")) {
        m.select(QStringLiteral("Noir"));
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        m.window->cmdGenreAdd->click();
    } else if (button == QLatin1String("remove")) {
        m.select(QStringLiteral("Horror"));
        MessageBox::SetNextAnswer(QMessageBox::Ok); // the deletion question
        MessageBox::SetNextAnswer(QMessageBox::Ok); // the failure
        m.window->cmdGenreRemove->click();
    } else {
        m.select(QStringLiteral("Horror"));
        answerPrompt(prompt, QStringLiteral("Shocker"));
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        m.window->cmdGenreRename->click();
    }

    // "Error", the engine's number, the action, the engine's text.
    const QString shown = MessageBox::Shown().last();
    QVERIFY2(shown.startsWith(QStringLiteral("Error ")) && shown.contains(message)
                 && shown.endsWith(QStringLiteral("not now")),
             qPrintable(shown));
    QCOMPARE(MessageBox::ShownTitles().last(), QStringLiteral("Reelvane"));
    QCOMPARE(m.folder.CatalogueBytes(), before);
    QCOMPARE(m.links(), 1);
    QVERIFY(m.window->isVisible());
    QCOMPARE(m.editor.boxes[0], QStringLiteral("Horror"));
    QCOMPARE(m.shared->GenrePicks[0], QStringLiteral("Horror"));
    QCOMPARE(m.window->txtGenreAdd->text(), QString());
}

void TestFrmGenre::finishGivesEditorBack_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Finish") << "finish";
    QTest::newRow("Escape") << "escape";
}

void TestFrmGenre::finishGivesEditorBack()
{
    QFETCH(QString, way);
    Manager m;
    m.load();
    m.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m.window.get()));

    if (way == QLatin1String("finish"))
        m.window->cmdFinishGenre->click();
    else
        QTest::keyClick(m.window->txtGenreAdd, Qt::Key_Escape);

    QVERIFY(!m.window->isVisible());
    QCOMPARE(m.editor.finished, 1);
    QVERIFY(!m.window->UltraGrid->DataSource());
}

void TestFrmGenre::listedInReadingOrder()
{
    Manager m;
    m.folder.AddGenre("Épopée");
    m.folder.AddGenre("zombie");
    m.load();
    const QStringList names = m.listed();
    // Picking a row puts its genre in the box.
    m.window->UltraGrid->ActivateRow(int(names.indexOf("Comedy")));
    QCOMPARE(m.window->txtGenreAdd->text(), QString("Comedy"));
    QCOMPARE(names.indexOf("Épopée"), names.indexOf("Drama") + 1);
    QCOMPARE(names.indexOf("Family"), names.indexOf("Épopée") + 1);
    QCOMPARE(names.last(), QString("zombie"));
}

void TestFrmGenre::removeOrRenameInAnyCase_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::newRow("remove épopée") << "Épopée" << "épopée" << "remove";
    QTest::newRow("rename ÉPOPÉE") << "Épopée" << "ÉPOPÉE" << "rename";
    QTest::newRow("remove Greek in capitals") << "σίσυφος" << "ΣΊΣΥΦΟΣ" << "remove";
}

void TestFrmGenre::removeOrRenameInAnyCase()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    Manager m;
    TestFolder &folder = m.folder;
    const qint64 genre = folder.AddGenre(stored);
    folder.AddTitle({.title = "Epic", .genres = {stored}});
    m.editor.boxes[0] = stored;
    m.shared->GenrePicks[0] = stored;
    m.load();
    frmGenre &window = *m.window;
    EditorBoxes &editor = m.editor;
    auto &shared = m.shared;
    window.txtGenreAdd->setText(typed);

    // The deletion question (or the new name), then the warning listing the title.
    ModalWaiter prompt;
    if (button == "rename")
        prompt.Expect<frmTextBox>([](frmTextBox *box) {
            box->txtRenameResponse->setText("Saga");
            box->cmdOK->click();
        });
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QStringList warned;
    ModalWaiter alert;
    alert.Expect<frmAlert>([&](frmAlert *warning) {
        for (int row = 0; row < warning->UltraGrid->model()->rowCount(); ++row)
            warned << warning->UltraGrid->CellValue(row, 0).toString();
        warning->cmdOk->click();
    });

    (button == "remove" ? window.cmdGenreRemove : window.cmdGenreRename)->click();

    QVERIFY(!MessageBox::Shown().contains("The Genre Entered Does Not Exist"));
    QCOMPARE(warned, QStringList{"Epic"});
    if (button == "remove") {
        QCOMPARE(folder.Scalar("SELECT Count(*) FROM Genre WHERE Genre_ID = ?", {genre}).toInt(),
                 0);
        QCOMPARE(folder.Scalar("SELECT Count(*) FROM Genre_Relationships").toInt(), 0);
        QCOMPARE(editor.boxes[0], QString());
        QCOMPARE(shared->GenrePicks[0], QString());
    } else {
        QCOMPARE(folder.Scalar("SELECT Genre FROM Genre WHERE Genre_ID = ?", {genre}).toString(),
                 QString("Saga"));
        QCOMPARE(editor.boxes[0], QString("Saga"));
    }
}

void TestFrmGenre::typingNeverLengthens_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("long name shown: kept whole, typing cannot lengthen it")
        << "Aaa Long Genre Name Here" << 4 << "XYZWV" << "Aaa Long Genre Name ";
    QTest::newRow("long name cut below 12: back to 12")
        << "Aaa Long Genre Name Here" << 20 << "XYZWVUTSRQPONM" << "Aaa XYZWVUTS";
    QTest::newRow("short name") << "Drama" << 0 << "tic Comedies" << "Dramatic Com";
}

void TestFrmGenre::typingNeverLengthens()
{
    QFETCH(QString, shown);
    QFETCH(int, backspaces);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Manager m;
    m.folder.AddGenre(shown);
    m.load();
    frmGenre &window = *m.window;
    window.UltraGrid->ActivateRow(int(m.listed().indexOf(shown)));
    QCOMPARE(window.txtGenreAdd->text(), shown);

    QTest::keyClick(window.txtGenreAdd, Qt::Key_End);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(window.txtGenreAdd, Qt::Key_Backspace);
    QTest::keyClicks(window.txtGenreAdd, typed);

    QCOMPARE(window.txtGenreAdd->text(), expected);
}

QTEST_MAIN(TestFrmGenre)
#include "test_frmGenre.moc"
