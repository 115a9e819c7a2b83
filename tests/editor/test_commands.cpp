// The title commands from the main window: what Modify loads into the edit buffer, and
// Delete with its question, its one transaction and the cover file.
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "RecordList.h"
#include "TitleCommands.h"
#include "TitleRecord.h"
#include "frmModify1.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// The edit buffer as it was while step 1 was open.
struct Seen
{
    QString mode;
    TitleFacts facts;
    std::array<QString, 4> picks;
    std::shared_ptr<RecordList> cast;
    bool titleEditable = false;
    bool mainEnabled = true;
};

struct Commands : MainWindowFixture
{
    std::unique_ptr<TitleCommands> commands;

    void start()
    {
        load();
        main->show();
        commands = std::make_unique<TitleCommands>(*shared, *main);
    }
    // The title's own row, genre links and cast rows.
    int rowsOf(qint64 id)
    {
        return folder.Scalar("SELECT (SELECT COUNT(*) FROM DVD_Title WHERE ID = ?) + "
                             "(SELECT COUNT(*) FROM Genre_Relationships WHERE Title_ID = ?) + "
                             "(SELECT COUNT(*) FROM Cast_Relationships WHERE Movie = ?)",
                             {id, id, id})
            .toInt();
    }
    // Opens step 1 through the command and returns the edit buffer as it held it then.
    Seen modifyAndLook()
    {
        Seen seen;
        ModalWaiter waiter;
        waiter.Expect<frmModify1>([&](frmModify1 *window) {
            seen = {shared->EditMode, shared->EditFacts(), shared->GenrePicks,
                    shared->CastRecords, window->txtTitleDisplay->isVisible(), main->isEnabled()};
            window->cmdCancel->click();
        });
        commands->ModifyTitle();
        return seen;
    }
};

QStringList castOf(const Seen &seen)
{
    QStringList pairs;
    for (const auto &row : seen.cast->Rows())
        pairs << row.value(0).toString() + " as " + row.value(1).toString();
    return pairs;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void modifyLoadsTheActiveTitle();
    void modifyLoadsNullsAsEmpty();
    void modifyLoadsFirstFourGenres();
    void modifyTakesTheRowsOwnTitle();
    void modifyThatCannotReadEndsCleanly();
    void deleteTitle_data();
    void deleteTitle();
    void deleteAsksWithTheRowsOwnTitle();
};

void TestCommands::modifyLoadsTheActiveTitle()
{
    Commands c;
    c.folder.AddTitle({.title = "Aardvark"});
    c.folder.AddTitle({.title = "Ocean's Eleven", .subTitle = "Widescreen", .date = "2001",
                       .director = "Steven Soderbergh", .summary = "A heist.\nIn Las Vegas.",
                       .features = "Commentary", .eggs = "Press up", .wishList = 1,
                       .genres = {"Crime", "Comedy"},
                       .cast = {{"George Clooney", "Danny Ocean"}, {"Brad Pitt", "Rusty Ryan"}}});
    c.start();
    c.main->OptionWishList[1]->click();
    const Seen seen = c.modifyAndLook();

    QCOMPARE(seen.mode, QString("Yes"));
    QCOMPARE(seen.facts, (TitleFacts{"Ocean's Eleven", "Widescreen", "2001",
                                           "Steven Soderbergh", "A heist.\nIn Las Vegas.",
                                           "Commentary", "Press up", 1}));
    QStringList picks{seen.picks[0], seen.picks[1]};
    picks.sort();
    QCOMPARE(picks, QStringList({"Comedy", "Crime"}));
    QVERIFY(seen.picks[2].isEmpty() && seen.picks[3].isEmpty());
    QCOMPARE(castOf(seen), QStringList({"Brad Pitt as Rusty Ryan", "George Clooney as Danny Ocean"}));
    QVERIFY(seen.titleEditable);
    QVERIFY(!seen.mainEnabled);
    // Cancel gave the main window back and emptied the buffer.
    QVERIFY(c.main->isEnabled());
    QVERIFY(c.shared->EditDirector.isEmpty());
    QVERIFY(!c.shared->CastRecords);
}

void TestCommands::modifyLoadsNullsAsEmpty()
{
    Commands c;
    const qint64 id = c.folder.AddTitle({.title = "Bare", .genres = {"Drama"}});
    c.folder.Exec("UPDATE DVD_Title SET Sub_Title = NULL, Summary = NULL, Features = NULL, "
                  "Eggs = NULL WHERE ID = ?",
                  {id});
    c.start();
    // What an earlier edit could have left must not leak into this one.
    c.shared->GenrePicks = {"Stale", "Stale", "Stale", "Stale"};
    c.shared->EditSummary = "Stale";
    const Seen seen = c.modifyAndLook();
    QCOMPARE(seen.facts, (TitleFacts{"Bare", "", "1999", "Some Director", "", "", "", 0}));
    QCOMPARE(QStringList(seen.picks.begin(), seen.picks.end()),
             QStringList({"Drama", "", "", ""}));
    QCOMPARE(seen.cast->RecordCount(), 0);
}

void TestCommands::modifyLoadsFirstFourGenres()
{
    Commands c;
    c.folder.AddTitle(
        {.title = "Many", .genres = {"Action", "Comedy", "Drama", "Horror", "War", "Western"}});
    c.start();
    const Seen seen = c.modifyAndLook();
    const QSet<QString> picks(seen.picks.begin(), seen.picks.end());
    QCOMPARE(picks.size(), 4);
    QVERIFY(!picks.contains(QString()));
}

void TestCommands::modifyTakesTheRowsOwnTitle()
{
    // The main window keeps the previous title's text when the active title has none;
    // that name must not be loaded, or saving would rename this title.
    Commands c;
    c.folder.AddTitle({.title = "Alien"});
    const qint64 untitled = c.folder.AddTitle({.title = "Untitled"});
    c.folder.Exec("UPDATE DVD_Title SET Title = NULL WHERE ID = ?", {untitled});
    c.start();
    c.main->UltraGrid->ActivateRow(1);
    c.main->UltraGrid->ActivateRow(0);
    QCOMPARE(c.shared->SelectedTitleId, untitled);
    QCOMPARE(c.main->KeptTitle(), QString("Alien"));
    QCOMPARE(c.modifyAndLook().facts.title, QString());
}

void TestCommands::modifyThatCannotReadEndsCleanly()
{
    Commands c;
    c.folder.AddTitle({.title = "Alien", .cast = {{"Sigourney Weaver", "Ripley"}}});
    c.start();
    c.folder.Exec("ALTER TABLE Cast_Relationships RENAME TO Cast_Gone");
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    ModalWaiter waiter(1500);
    waiter.Expect<frmModify1>([](frmModify1 *window) { window->cmdCancel->click(); });
    c.commands->ModifyTitle();

    QVERIFY(!waiter.Handled()); // no editor
    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY(MessageBox::Shown().first().startsWith("Error 1 reading records.\r\n"));
    QVERIFY(MessageBox::Shown().first().contains("Cast_Relationships"));
    QVERIFY(c.main->isEnabled());
    QVERIFY(!c.shared->CastRecords);
}

void TestCommands::deleteTitle_data()
{
    QTest::addColumn<QString>("cover");  // none, file, or stubborn (a folder in its place)
    QTest::addColumn<int>("answer");     // to the question
    QTest::addColumn<bool>("failing");   // the last statement refused
    QTest::addColumn<bool>("wishList");  // the only title of the Wishlist
    QTest::newRow("with a cover file") << "file" << int(QMessageBox::Ok) << false << false;
    QTest::newRow("without a cover file") << "none" << int(QMessageBox::Ok) << false << false;
    QTest::newRow("answered Cancel") << "file" << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("last statement fails") << "file" << int(QMessageBox::Ok) << true << false;
    QTest::newRow("cover cannot be removed") << "stubborn" << int(QMessageBox::Ok) << false
                                             << false;
    QTest::newRow("last title of the list") << "none" << int(QMessageBox::Ok) << false << true;
}

// Brazil (the second of three titles) is deleted with its links, cast and cover in one
// transaction, the cover only after the rows are gone; the others keep theirs.
void TestCommands::deleteTitle()
{
    QFETCH(QString, cover);
    QFETCH(int, answer);
    QFETCH(bool, failing);
    QFETCH(bool, wishList);
    Commands c;
    const qint64 keep = c.folder.AddTitle(
        {.title = "Alien", .genres = {"Horror"}, .cast = {{"Sigourney Weaver", "Ripley"}}});
    const qint64 gone = c.folder.AddTitle({.title = "Brazil", .wishList = wishList ? 1 : 0,
                                           .genres = {"Sci-Fi", "Comedy"},
                                           .cast = {{"Jonathan Pryce", "Sam Lowry"},
                                                    {"Robert De Niro", "Tuttle"}}});
    c.folder.AddTitle({.title = "Casablanca"});
    const QString keptCover = c.folder.WritePicture(QString("%1.jpg").arg(keep), "JPG", 4, 4);
    const QString goneCover = c.folder.ImagesPath() + QString("/%1.jpg").arg(gone);
    if (cover == "file")
        c.folder.WritePicture(QString("%1.jpg").arg(gone), "JPG", 4, 4);
    if (cover == "stubborn")
        QVERIFY(QDir().mkpath(goneCover + "/inside"));
    if (failing)
        c.folder.Exec("CREATE TRIGGER refuse BEFORE DELETE ON Cast_Relationships "
                      "BEGIN SELECT RAISE(ABORT, 'cast is locked'); END");
    c.start();
    if (wishList)
        c.main->OptionWishList[1]->click();
    else
        c.main->UltraGrid->ActivateRow(1);
    QCOMPARE(c.shared->SelectedTitleId, gone);
    const QByteArray before = c.folder.CatalogueBytes();

    MessageBox::SetNextAnswer(QMessageBox::StandardButton(answer));
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    c.commands->DeleteTitle();

    QCOMPARE(MessageBox::Shown().first(), QString("Are you sure you want to delete Brazil?"));
    QCOMPARE(MessageBox::ShownTitles().first(), QString("Confirm Title Deletion"));
    QCOMPARE(c.rowsOf(keep), 3);
    QVERIFY(QFile::exists(keptCover));
    QVERIFY(c.main->isEnabled());
    const bool deleted = answer == QMessageBox::Ok && !failing;
    if (!deleted) {
        QCOMPARE(c.folder.CatalogueBytes(), before);
        QCOMPARE(QFile::exists(goneCover), cover == "file");
        // Not reloaded: the active row is where the user left it.
        QCOMPARE(c.main->lblRecordSelected->text(), QString("2 of 3"));
        if (failing) {
            QCOMPARE(MessageBox::Shown().size(), 2);
            QVERIFY(MessageBox::Shown().at(1).startsWith("Error "));
            QVERIFY(MessageBox::Shown().at(1).contains(" deleting records.\r\n"));
            QVERIFY(MessageBox::Shown().at(1).endsWith("cast is locked"));
        }
        return;
    }
    QCOMPARE(c.rowsOf(gone), 0);
    QCOMPARE(QFileInfo::exists(goneCover), cover == "stubborn");
    if (cover == "stubborn") {
        QCOMPARE(MessageBox::Shown().size(), 2);
        QVERIFY(MessageBox::Shown().last().startsWith("The title was deleted, but its cover picture"));
        QVERIFY(MessageBox::Shown().last().contains(goneCover));
    } else {
        QCOMPARE(MessageBox::Shown().size(), 1);
    }
    if (wishList) {
        QCOMPARE(c.main->lblRecordSelected->text(), QString("0 of 0"));
        QVERIFY(!c.main->mnuDelete->isEnabled() && !c.main->mnuModify->isEnabled());
        QVERIFY(!c.main->ToolbarButton(3)->isEnabled());
        return;
    }
    QCOMPARE(c.titles(), QStringList({"Alien", "Casablanca"}));
    QCOMPARE(c.main->lblRecordSelected->text(), QString("1 of 2"));
    QCOMPARE(c.shared->SelectedTitleId, keep);
}

// The question names the active row's title, not the one the main window kept.
void TestCommands::deleteAsksWithTheRowsOwnTitle()
{
    Commands c;
    c.folder.AddTitle({.title = "Alien"});
    c.folder.AddTitle({.title = ""});
    c.start();
    c.main->UltraGrid->ActivateRow(1);
    c.main->UltraGrid->ActivateRow(0);
    MessageBox::SetNextAnswer(QMessageBox::Cancel);
    c.commands->DeleteTitle();
    QCOMPARE(MessageBox::Shown(), QStringList{"Are you sure you want to delete ?"});
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
