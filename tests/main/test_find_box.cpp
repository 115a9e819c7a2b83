// The find box: what a query finds, the window's state while it filters, and the filter
// kept through list switches, the title commands and a new start after outside changes.
#include "FindBox.h"
#include "MainWindowFixture.h"
#include "Story.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using Ids = QVector<qint64>;

void find(frmMain &main, const QString &text)
{
    main.Find->txtFind->setText(text);
    main.Find->ApplyNow();
}

Ids shownIds(const frmMain &main)
{
    Ids ids;
    const QAbstractItemModel *model = main.UltraGrid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        ids << model->index(row, 0).data().toLongLong();
    return ids;
}

// Titles whose letters, cast or punctuation trip up a naive search.
QHash<QString, qint64> addAwkwardTitles(TestFolder &folder)
{
    using T = TestFolder::Title;
    const QVector<T> titles{
        {.title = "Amélie", .subTitle = "Édition Spéciale", .director = "Jean-Pierre Jeunet",
         .cast = {{"Audrey Tautou", "Amélie Poulain"}}},
        {.title = QStringLiteral("Ame\u0301lie Redux"), .director = QVariant()},
        {.title = "ÉMILE", .cast = {{"Zoë Kravitz", "Émile"}}},
        {.title = "Ocean's Eleven", .director = "Steven Soderbergh",
         .cast = {{"George Clooney", "Danny Ocean"}}},
        {.title = "100% Pure_Fun*"},
        {.title = "ΣΊΣΥΦΟΣ"},
        {.title = "東京物語", .director = "小津安二郎"},
        {.title = "Robert'); DROP TABLE DVD_Title;--"},
        {.title = "Straße"},
        {.title = "Fireworks 🎆", .cast = {{"שלום כהן", QVariant()}}},
        {.title = "Amélie on the Wish List", .wishList = 1}};
    QHash<QString, qint64> ids;
    for (const T &title : titles)
        ids.insert(title.title, folder.AddTitle(title));
    return ids;
}

} // namespace

class TestFindBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void queries_data();
    void queries();
    void noMatchAndKeyboard();
    void keptAcrossSwitchAndCommands();
    void rightAfterOutsideChange();
    void cleanup() { MessageBox::Reset(); }
};

void TestFindBox::queries_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected"); // titles; "*": every title
    QTest::addColumn<bool>("filtering");
    const QStringList all{"*"};
    auto row = [](const char *name, const QString &query, const QStringList &titles,
                  bool filtering = true) {
        QTest::newRow(name) << query << titles << filtering;
    };
    row("accent-blind", "amelie", {"Amélie", QStringLiteral("Ame\u0301lie Redux")});
    row("capitals and accents", "AMÉLIE", {"Amélie", QStringLiteral("Ame\u0301lie Redux")});
    row("capital É", "emile", {"ÉMILE"});
    row("apostrophe plain", "ocean's", {"Ocean's Eleven"});
    row("lone apostrophe", "'", {"Ocean's Eleven", "Robert'); DROP TABLE DVD_Title;--"});
    row("percent no wildcard", "%", {"100% Pure_Fun*"});
    row("underscore no wildcard", "_fun", {"100% Pure_Fun*"});
    row("star no wildcard", "fun*", {"100% Pure_Fun*"});
    row("actor", "tautou", {"Amélie"});
    row("character", "poulain", {"Amélie"});
    row("director", "jeunet", {"Amélie"});
    row("edition", "speciale", {"Amélie"});
    row("two words, two fields", "clooney ocean", {"Ocean's Eleven"});
    row("two words, two titles", "clooney amelie", {});
    row("cast with diaeresis", "zoe", {"ÉMILE"});
    row("greek final sigma", "σίσυφος", {"ΣΊΣΥΦΟΣ"});
    row("cjk director", "安二郎", {"東京物語"});
    row("sharp s", "STRASSE", {"Straße"});
    row("sql-looking", "'); drop", {"Robert'); DROP TABLE DVD_Title;--"});
    row("emoji", "🎆", {"Fireworks 🎆"});
    row("right-to-left", "שלום", {"Fireworks 🎆"});
    row("nul", QString(QChar(0)), {});
    row("10,000 characters", QString(10000, QLatin1Char('x')), {});
    row("nothing matches", "zzz", {});
    row("only spaces: no filter", "   ", all, false);
    row("lone accent: no words", QStringLiteral("\u0301"), all);
}

void TestFindBox::queries()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    QFETCH(bool, filtering);
    MainWindowFixture w;
    const auto ids = addAwkwardTitles(w.folder);
    w.load();
    const Ids everything = shownIds(*w.main);
    find(*w.main, query);

    Ids wanted;
    for (const qint64 id : everything)
        if (expected.contains(ids.key(id)) || expected == QStringList{"*"})
            wanted << id;
    QCOMPARE(shownIds(*w.main), wanted);
    QCOMPARE(w.main->IsFiltering(), filtering);
    QCOMPARE(w.main->RecordCount(), int(wanted.size()));
    if (!wanted.isEmpty())
        QCOMPARE(w.shared->SelectedTitleId, wanted.first());
}

void TestFindBox::noMatchAndKeyboard()
{
    MainWindowFixture w;
    const auto ids = addAwkwardTitles(w.folder);
    w.load();
    w.main->show();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    frmMain &main = *w.main;

    QTest::keyClick(&main, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(main.Find->txtFind->hasFocus());
    QTest::keyClicks(main.Find->txtFind, "zzz");
    QTRY_COMPARE(main.lblRecordSelected->text(), QString("0 of 0"));
    for (QAction *action : {main.mnuModify, main.mnuDelete, main.ToolbarButton(2),
                            main.ToolbarButton(3)})
        QVERIFY(!action->isEnabled());
    QVERIFY(main.Find->IsNoMatch());
    QCOMPARE(main.Find->Note(), QString("No title matches"));
    QCOMPARE(main.lblTitle->FullText(), QString());
    QCOMPARE(main.txtGenreDisplay->text(), QString());
    QCOMPARE(main.CastUltraGRid->ShownRowCount(), 0);
    QVERIFY(main.CoverFile().endsWith("no_records.jpg"));
    QVERIFY(!main.lblClickToEditPhoto->isVisible());

    main.Find->txtFind->setText("soderbergh");
    main.Find->ApplyNow();
    QCOMPARE(main.lblRecordSelected->text(), QString("1 of 1"));
    QCOMPARE(main.Find->Note(), QString("1 of 10"));
    QVERIFY(!main.Find->IsNoMatch());
    QVERIFY(main.mnuModify->isEnabled() && main.ToolbarButton(3)->isEnabled());
    QCOMPARE(main.lblTitle->FullText(), QString("Ocean's Eleven"));
    QCOMPARE(main.CastUltraGRid->ShownRowCount(), 1);

    QTest::keyClick(main.Find->txtFind, Qt::Key_Down);
    QVERIFY(main.UltraGrid->hasFocus());
    // Escape empties the box; the whole list is back, the title found still active.
    main.Find->FocusBox();
    QTest::keyClick(main.Find->txtFind, Qt::Key_Escape);
    QVERIFY(main.UltraGrid->hasFocus());
    QCOMPARE(main.Find->Text(), QString());
    QCOMPARE(main.Find->Note(), QString());
    QCOMPARE(main.RecordCount(), 10);
    QCOMPARE(main.Shared().SelectedTitleId, ids.value("Ocean's Eleven"));
    QVERIFY(main.UltraGrid->isColumnHidden(0));
}

void TestFindBox::keptAcrossSwitchAndCommands()
{
    ProgramFixture p;
    const qint64 first = p.folder.AddTitle({.title = "Alien", .director = "Ridley Scott",
                                            .genres = {"Horror"}});
    p.folder.AddTitle({.title = "Blade Runner", .director = "Ridley Scott"});
    p.folder.AddTitle({.title = "Brazil", .director = "Terry Gilliam"});
    p.folder.AddTitle({.title = "Gladiator", .director = "Ridley Scott", .wishList = 1});
    p.folder.AddTitle({.title = "Twelve Monkeys", .director = "Terry Gilliam", .wishList = 1});
    p.start();
    frmMain &main = p.main();
    find(main, "ridley");
    QCOMPARE(shownIds(main).size(), 2);

    main.OptionWishList[1]->click();
    QCOMPARE(main.Find->Text(), QString("ridley"));
    QCOMPARE(main.KeptTitle(), QString("Gladiator"));
    QCOMPARE(main.Find->Note(), QString("1 of 2"));
    main.OptionWishList[0]->click();
    QCOMPARE(main.Find->Note(), QString("2 of 3"));

    // Modify: Alien's director changes, so it no longer matches.
    QCOMPARE(main.Shared().SelectedTitleId, first);
    Story modify;
    modify.then<frmModify1>([](frmModify1 *step) {
              step->txtDirector->selectAll();
              QTest::keyClicks(step->txtDirector, "Someone Else");
              QTest::mouseClick(step->cmdNext, Qt::LeftButton);
          })
        .then<frmModify2>([](frmModify2 *step) { QTest::mouseClick(step->cmdNext, Qt::LeftButton); })
        .then<frmModify3>([](frmModify3 *step) { QTest::mouseClick(step->cmdFinish, Qt::LeftButton); });
    modify.play([&] { p.clickToolbar(2); });
    QVERIFY(modify.complete());
    QCOMPARE(main.Find->Text(), QString("ridley"));
    QCOMPARE(main.lblRecordSelected->text(), QString("1 of 1"));
    QCOMPARE(main.KeptTitle(), QString("Blade Runner"));

    // Add: a title that does not match stays hidden, and the note says so.
    Story add;
    add.then<frmTextBox>([](frmTextBox *prompt) {
           QTest::keyClicks(prompt->txtRenameResponse, "Jabberwocky");
           QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
       })
        .then<frmModify1>([](frmModify1 *step) {
            QTest::keyClicks(step->txtDate, "1977");
            QTest::keyClicks(step->txtDirector, "Terry Gilliam");
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([](frmModify2 *step) {
            QVERIFY(pickFromList(step->cmbGenre[0], "Comedy"));
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([](frmModify3 *step) { QTest::mouseClick(step->cmdFinish, Qt::LeftButton); });
    add.play([&] { p.clickToolbar(1); });
    QVERIFY(add.complete());
    QCOMPARE(p.folder.Scalar("SELECT count(*) FROM DVD_Title").toInt(), 6);
    QCOMPARE(main.RecordCount(), 1);
    QCOMPARE(main.Find->Note(), QString("The new title is hidden by the filter"));
    find(main, "ridley ");
    QCOMPARE(main.Find->Note(), QString("1 of 4"));

    // Delete the one match: the filter stays, nothing matches any more.
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    p.clickToolbar(3);
    QCOMPARE(main.Find->Text(), QString("ridley "));
    QCOMPARE(main.lblRecordSelected->text(), QString("0 of 0"));
    QVERIFY(!main.mnuDelete->isEnabled());
    QCOMPARE(main.Find->Note(), QString("No title matches"));
}

void TestFindBox::rightAfterOutsideChange()
{
    TestFolder folder;
    const qint64 alien = folder.AddTitle({.title = "Alien", .cast = {{"Sigourney Weaver", "Ripley"}}});
    const qint64 brazil = folder.AddTitle({.title = "Brazil", .cast = {{"Jonathan Pryce", "Sam"}}});
    auto findIn = [&folder](const QString &query) {
        Application app(folder.Path());
        app.Start();
        find(app.MainWindow(), query);
        return shownIds(app.MainWindow());
    };
    QCOMPARE(findIn("ripley"), Ids{alien});

    // Another tool changes the catalogue between two starts.
    folder.Exec("UPDATE Cast_Relationships SET Character = 'Ellen Ripley' WHERE Movie = ?", {brazil});
    folder.Exec("DELETE FROM Cast_Relationships WHERE Movie = ?", {alien});
    const qint64 added = folder.AddTitle({.title = "Zardoz", .director = "John Ripley Boorman"});
    QCOMPARE(findIn("ripley"), (Ids{brazil, added}));
}

QTEST_MAIN(TestFindBox)
#include "test_find_box.moc"
