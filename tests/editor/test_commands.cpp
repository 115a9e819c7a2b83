// The title commands from the main window: what Modify loads into the edit buffer, and
// Delete with its question, its one transaction and the cover file.
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "RecordList.h"
#include "TitleCommands.h"
#include "frmModify1.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTest>

namespace {

struct Commands : MainWindowFixture
{
    std::unique_ptr<TitleCommands> commands;

    void start()
    {
        load();
        main->show();
        commands = std::make_unique<TitleCommands>(*shared, *main);
    }
    int count(const QString &table, const QString &where, qint64 id)
    {
        return folder.Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table
                                 + QStringLiteral(" WHERE ") + where + QStringLiteral(" = ?"),
                             {id})
            .toInt();
    }
    int rowsOf(qint64 id)
    {
        return count(QStringLiteral("DVD_Title"), QStringLiteral("ID"), id)
               + count(QStringLiteral("Genre_Relationships"), QStringLiteral("Title_ID"), id)
               + count(QStringLiteral("Cast_Relationships"), QStringLiteral("Movie"), id);
    }
};

// What the edit buffer held while step 1 was open.
struct Loaded
{
    QString mode, title, subTitle, date, director, summary, eggs, features;
    int wishList = -1;
    std::array<QString, 4> picks;
    QStringList cast{};
    bool titleEditable = false;
    bool mainEnabled = true;
};

Loaded modifyAndLook(Commands &c)
{
    Loaded seen;
    ModalWaiter waiter;
    waiter.Expect<frmModify1>([&](frmModify1 *window) {
        const Module1 &s = *c.shared;
        seen = {s.EditMode, s.EditTitle, s.EditSubTitle, s.EditDate, s.EditDirector,
                s.EditSummary, s.EditEggs, s.EditFeatures, s.EditWishList, s.GenrePicks};
        if (s.CastRecords)
            for (const auto &row : s.CastRecords->Rows())
                seen.cast << row.value(0).toString() + QStringLiteral(" as ")
                                 + row.value(1).toString();
        seen.titleEditable = window->txtTitleDisplay->isVisible();
        seen.mainEnabled = c.main->isEnabled();
        window->cmdCancel->click();
    });
    c.commands->ModifyTitle();
    if (waiter.Failed() || !waiter.Handled())
        qWarning("step 1 did not open");
    return seen;
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
    void deleteTitleWithStubbornCover();
    void deleteAnsweredCancel();
    void failingDeleteChangesNothing();
    void deleteAsksWithTheRowsOwnTitle();
};

void TestCommands::modifyLoadsTheActiveTitle()
{
    Commands c;
    c.folder.AddTitle({.title = "Aardvark"});
    c.folder.AddTitle({.title = "Ocean's Eleven",
                       .subTitle = "Widescreen",
                       .date = "2001",
                       .director = "Steven Soderbergh",
                       .summary = "A heist.\nIn Las Vegas.",
                       .features = "Commentary",
                       .eggs = "Press up",
                       .wishList = 1,
                       .genres = {"Crime", "Comedy"},
                       .cast = {{"George Clooney", "Danny Ocean"},
                                {"Brad Pitt", "Rusty Ryan"},
                                {"Julia Roberts", "Tess Ocean"}}});
    c.start();
    c.main->OptionWishList[1]->click();
    const Loaded seen = modifyAndLook(c);

    QCOMPARE(seen.mode, QString("Yes"));
    QCOMPARE(seen.title, QString("Ocean's Eleven"));
    QCOMPARE(seen.subTitle, QString("Widescreen"));
    QCOMPARE(seen.date, QString("2001"));
    QCOMPARE(seen.director, QString("Steven Soderbergh"));
    QCOMPARE(seen.summary, QString("A heist.\nIn Las Vegas."));
    QCOMPARE(seen.features, QString("Commentary"));
    QCOMPARE(seen.eggs, QString("Press up"));
    QCOMPARE(seen.wishList, 1);
    QStringList picks(seen.picks.begin(), seen.picks.end());
    QCOMPARE(picks.mid(2), QStringList({"", ""}));
    picks = picks.mid(0, 2);
    picks.sort();
    QCOMPARE(picks, QStringList({"Comedy", "Crime"}));
    QCOMPARE(seen.cast, QStringList({"Brad Pitt as Rusty Ryan", "George Clooney as Danny Ocean",
                                     "Julia Roberts as Tess Ocean"}));
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
    c.folder.Exec(QStringLiteral("UPDATE DVD_Title SET Sub_Title = NULL, Summary = NULL, "
                                 "Features = NULL, Eggs = NULL WHERE ID = ?"),
                  {id});
    c.start();
    // What an earlier edit could have left must not leak into this one.
    c.shared->GenrePicks = {"Stale", "Stale", "Stale", "Stale"};
    c.shared->EditSummary = QStringLiteral("Stale");
    const Loaded seen = modifyAndLook(c);
    QCOMPARE(seen.title, QString("Bare"));
    QCOMPARE(seen.summary, QString());
    QCOMPARE(seen.subTitle, QString());
    QCOMPARE(seen.features, QString());
    QCOMPARE(seen.eggs, QString());
    QCOMPARE(seen.wishList, 0);
    QCOMPARE(QStringList(seen.picks.begin(), seen.picks.end()),
             QStringList({"Drama", "", "", ""}));
    QVERIFY(seen.cast.isEmpty());
}

void TestCommands::modifyLoadsFirstFourGenres()
{
    Commands c;
    c.folder.AddTitle(
        {.title = "Many", .genres = {"Action", "Comedy", "Drama", "Horror", "War", "Western"}});
    c.start();
    const Loaded seen = modifyAndLook(c);
    QStringList picks(seen.picks.begin(), seen.picks.end());
    QCOMPARE(picks.size(), 4);
    QVERIFY(!picks.contains(QString()));
    QCOMPARE(QSet<QString>(picks.begin(), picks.end()).size(), 4);
}

void TestCommands::modifyTakesTheRowsOwnTitle()
{
    // The main window keeps the previous title's text when the active title has none;
    // that name must not be loaded, or saving would rename this title.
    Commands c;
    c.folder.AddTitle({.title = "Alien"});
    const qint64 untitled = c.folder.AddTitle({.title = "Untitled"});
    c.folder.Exec(QStringLiteral("UPDATE DVD_Title SET Title = NULL WHERE ID = ?"), {untitled});
    c.start();
    c.main->UltraGrid->ActivateRow(1);
    QCOMPARE(c.shared->SelectedTitleId, qint64(1));
    c.main->UltraGrid->ActivateRow(0);
    QCOMPARE(c.shared->SelectedTitleId, untitled);
    QCOMPARE(c.main->KeptTitle(), QString("Alien"));
    QCOMPARE(modifyAndLook(c).title, QString());
}

void TestCommands::modifyThatCannotReadEndsCleanly()
{
    Commands c;
    c.folder.AddTitle({.title = "Alien", .cast = {{"Sigourney Weaver", "Ripley"}}});
    c.start();
    c.folder.Exec(QStringLiteral("ALTER TABLE Cast_Relationships RENAME TO Cast_Gone"));
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    ModalWaiter waiter(1500);
    waiter.Expect<frmModify1>([](frmModify1 *window) { window->cmdCancel->click(); });
    c.commands->ModifyTitle();

    QVERIFY(!waiter.Handled()); // no editor
    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY(MessageBox::Shown().first().startsWith("Error 1 reading records.\r\n"));
    QVERIFY(MessageBox::Shown().first().contains("Cast_Relationships"));
    QVERIFY(c.main->isEnabled());
    QVERIFY(c.shared->EditDirector.isEmpty());
    QVERIFY(!c.shared->CastRecords);
}

void TestCommands::deleteTitle_data()
{
    QTest::addColumn<bool>("withCover");
    QTest::newRow("with a cover file") << true;
    QTest::newRow("without a cover file") << false;
}

// A cover that cannot be removed is reported; the title is gone all the same.
void TestCommands::deleteTitleWithStubbornCover()
{
    Commands c;
    const qint64 gone = c.folder.AddTitle({.title = "Blade Runner"});
    const QString cover = c.folder.ImagesPath() + "/" + QString::number(gone) + ".jpg";
    QVERIFY(QDir().mkpath(cover + "/inside"));
    c.start();

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    c.commands->DeleteTitle();

    QCOMPARE(c.rowsOf(gone), 0);
    QCOMPARE(MessageBox::Shown().size(), 2);
    QVERIFY(MessageBox::Shown().last().startsWith("The title was deleted, but its cover picture"));
    QVERIFY(MessageBox::Shown().last().contains(cover));
    QCOMPARE(c.main->lblRecordSelected->text(), QString("0 of 0"));
}

void TestCommands::deleteTitle()
{
    QFETCH(bool, withCover);

    Commands c;
    const qint64 keep = c.folder.AddTitle(
        {.title = "Alien", .genres = {"Horror"}, .cast = {{"Sigourney Weaver", "Ripley"}}});
    const qint64 gone = c.folder.AddTitle({.title = "Blade Runner",
                                           .genres = {"Sci-Fi", "Thriller"},
                                           .cast = {{"Harrison Ford", "Deckard"},
                                                    {"Sean Young", "Rachael"}}});
    c.folder.AddTitle({.title = "Casablanca"});
    const QString keptCover = c.folder.WritePicture(QString::number(keep) + ".jpg", "JPG", 4, 4);
    const QString cover = c.folder.ImagesPath() + "/" + QString::number(gone) + ".jpg";
    if (withCover)
        c.folder.WritePicture(QString::number(gone) + ".jpg", "JPG", 4, 4);
    c.start();
    c.main->UltraGrid->ActivateRow(1);
    QCOMPARE(c.shared->SelectedTitleId, gone);

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    c.commands->DeleteTitle();

    QCOMPARE(MessageBox::Shown(), QStringList{"Are you sure you want to delete Blade Runner?"});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{"Confirm Title Deletion"});
    QCOMPARE(c.rowsOf(gone), 0);
    QCOMPARE(c.rowsOf(keep), 3);
    QVERIFY(!QFile::exists(cover));
    QVERIFY(QFile::exists(keptCover));
    QCOMPARE(c.titles(), QStringList({"Alien", "Casablanca"}));
    QCOMPARE(c.main->lblRecordSelected->text(), QString("1 of 2"));
    QCOMPARE(c.shared->SelectedTitleId, keep);
    QVERIFY(c.main->isEnabled());
}

void TestCommands::deleteAnsweredCancel()
{
    Commands c;
    const qint64 id = c.folder.AddTitle(
        {.title = "Alien", .genres = {"Horror"}, .cast = {{"Sigourney Weaver", "Ripley"}}});
    const QString cover = c.folder.WritePicture(QString::number(id) + ".jpg", "JPG", 4, 4);
    c.start();
    const QByteArray before = c.folder.CatalogueBytes();
    MessageBox::SetNextAnswer(QMessageBox::Cancel);
    c.commands->DeleteTitle();
    QCOMPARE(c.folder.CatalogueBytes(), before);
    QVERIFY(QFile::exists(cover));
    QCOMPARE(c.titles(), QStringList{"Alien"});
}

void TestCommands::failingDeleteChangesNothing()
{
    Commands c;
    c.folder.AddTitle({.title = "Alien"});
    const qint64 id = c.folder.AddTitle(
        {.title = "Brazil", .genres = {"Sci-Fi"}, .cast = {{"Jonathan Pryce", "Sam Lowry"}}});
    c.folder.AddTitle({.title = "Casablanca"});
    const QString cover = c.folder.WritePicture(QString::number(id) + ".jpg", "JPG", 4, 4);
    // The last of the three statements fails, after the other two have run.
    c.folder.Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Cast_Relationships "
                                 "BEGIN SELECT RAISE(ABORT, 'cast is locked'); END"));
    c.start();
    c.main->UltraGrid->ActivateRow(1);
    QCOMPARE(c.main->lblRecordSelected->text(), QString("2 of 3"));

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    c.commands->DeleteTitle();

    QCOMPARE(MessageBox::Shown().size(), 2);
    const QString failure = MessageBox::Shown().at(1);
    static const QRegularExpression form(QStringLiteral("^Error \\d+ deleting records\\.\r\n"));
    QVERIFY2(form.match(failure).hasMatch(), qPrintable(failure));
    QVERIFY(failure.endsWith("cast is locked"));
    QCOMPARE(MessageBox::ShownTitles().at(1), QString("Reelvane"));
    QCOMPARE(c.rowsOf(id), 3);
    QVERIFY(QFile::exists(cover));
    // Not reloaded: the active row is where the user left it.
    QCOMPARE(c.main->lblRecordSelected->text(), QString("2 of 3"));
    QCOMPARE(c.shared->SelectedTitleId, id);
    QVERIFY(c.main->isEnabled());
}

void TestCommands::deleteAsksWithTheRowsOwnTitle()
{
    Commands c;
    c.folder.AddTitle({.title = "Alien"});
    const qint64 untitled = c.folder.AddTitle({.title = ""});
    c.start();
    c.main->UltraGrid->ActivateRow(1);
    c.main->UltraGrid->ActivateRow(0);
    QCOMPARE(c.shared->SelectedTitleId, untitled);
    MessageBox::SetNextAnswer(QMessageBox::Cancel);
    c.commands->DeleteTitle();
    QCOMPARE(MessageBox::Shown(), QStringList{"Are you sure you want to delete ?"});
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
