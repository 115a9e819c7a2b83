// The find box: what a query finds and how the window shows it, keys, and the filter kept.
#include "FindBox.h"
#include "MainWindowFixture.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {

void find(frmMain &main, const QString &text)
{
    main.Find->txtFind->setText(text);
    main.Find->ApplyNow();
}

QStringList shownTitles(const frmMain &main)
{
    QStringList titles;
    for (int row = 0; row < main.UltraGrid->ShownRowCount(); ++row)
        titles << main.UltraGrid->model()->index(row, 1).data().toString();
    return titles;
}

// Titles whose letters, cast or punctuation trip up a naive search; their list order.
const QStringList everyTitle{"100% Pure_Fun*", "Amélie", "Ame\u0301lie Redux", "ÉMILE",
                             "Fireworks 🎆", "Ocean's Eleven", "Straße", "ΣΊΣΥΦΟΣ", "東京物語"};

void addAwkwardTitles(TestFolder &folder)
{
    using T = TestFolder::Title;
    for (const T &title : QVector<T>{
             {.title = "Amélie", .subTitle = "Édition Collector", .director = "Jean-Pierre Jeunet",
              .cast = {{"Audrey Tautou", "Amélie Poulain"}}},
             {.title = "Ame\u0301lie Redux", .director = QVariant()},
             {.title = "ÉMILE", .cast = {{"Zoë Kravitz", "Émile"}}},
             {.title = "Ocean's Eleven", .director = "Steven Soderbergh",
              .cast = {{"George Clooney", "Danny Ocean"}}},
             {.title = "100% Pure_Fun*"},
             {.title = "ΣΊΣΥΦΟΣ"},
             {.title = "東京物語", .director = "小津安二郎"},
             {.title = "Straße"},
             {.title = "Fireworks 🎆", .cast = {{"שלום כהן", QVariant()}}},
             {.title = "Amélie on the Wish List", .wishList = 1}})
        folder.AddTitle(title);
}

} // namespace

class TestFindBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void queries_data();
    void queries();
    void keys();
    void keptThroughChanges();
};

void TestFindBox::queries_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("filtering");
    const auto row = [](const char *name, const QString &query, const QStringList &titles,
                        bool filtering = true) {
        QTest::newRow(name) << query << titles << filtering;
    };
    row("accents and case, decomposed too", "AMELIE", {"Amélie", "Ame\u0301lie Redux"});
    row("capital É", "emile", {"ÉMILE"});
    row("every field of a title", "amelie edition jeunet tautou poulain", {"Amélie"});
    row("words in two titles", "clooney amelie", {});
    row("apostrophe", "ocean's", {"Ocean's Eleven"});
    row("wildcards as text", "_fun*", {"100% Pure_Fun*"});
    row("diaeresis in the cast", "zoe", {"ÉMILE"});
    row("Greek final sigma", "σίσυφος", {"ΣΊΣΥΦΟΣ"});
    row("ß", "STRASSE", {"Straße"});
    row("inside a CJK name", "安二郎", {"東京物語"});
    row("emoji", "🎆", {"Fireworks 🎆"});
    row("NUL", QString(QChar(0)), {});
    row("only blanks: no filter", "   ", everyTitle, false);
    row("a lone accent: no words", "\u0301", everyTitle);
}

void TestFindBox::queries()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    QFETCH(bool, filtering);
    MainWindowFixture w;
    addAwkwardTitles(w.folder);
    w.load();
    frmMain &main = *w.main;
    QCOMPARE(shownTitles(main), everyTitle);
    find(main, query);
    QCOMPARE(shownTitles(main), expected);
    QCOMPARE(main.IsFiltering(), filtering);
    QCOMPARE(main.lblRecordSelected->text(),
             expected.isEmpty() ? QString("0 of 0") : QString("1 of %1").arg(expected.size()));
    QCOMPARE(main.lblTitle->FullText(), expected.value(0));
    QCOMPARE(QFileInfo(main.CoverFile()).fileName(),
             expected.isEmpty() ? "no_records.jpg" : "nothing.jpg");
    QCOMPARE(main.mnuDelete->isEnabled(), !expected.isEmpty());
    QCOMPARE(main.Find->IsNoMatch(), expected.isEmpty());
    const QString note = expected.isEmpty() ? QString("No title matches")
                                            : QString("%1 of 9").arg(expected.size());
    QCOMPARE(main.Find->Note(), filtering ? note : QString());
}

void TestFindBox::keys()
{
    MainWindowFixture w;
    addAwkwardTitles(w.folder);
    w.load();
    frmMain &main = *w.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    QTest::keyClick(&main, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(main.Find->txtFind->hasFocus());
    QTest::keyClicks(main.Find->txtFind, "l");
    QTRY_COMPARE(main.lblRecordSelected->text(), QString("1 of 4"));
    // Down takes the list; End and Home go to the last and first title shown.
    QTest::keyClick(main.Find->txtFind, Qt::Key_Down);
    QVERIFY(main.UltraGrid->hasFocus());
    QTest::keyClick(main.UltraGrid, Qt::Key_End);
    QCOMPARE(main.lblRecordSelected->text(), QString("4 of 4"));
    QCOMPARE(main.lblTitle->FullText(), QString("Ocean's Eleven"));
    QCOMPARE(main.CastUltraGRid->ShownRowCount(), 1);
    QTest::keyClick(main.UltraGrid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(main.lblTitle->FullText(), QString("Amélie"));
    QTest::keyClick(main.UltraGrid, Qt::Key_End);

    // Escape empties the box; the whole list is back, the title found still active.
    main.Find->FocusBox();
    QTest::keyClick(main.Find->txtFind, Qt::Key_Escape);
    QVERIFY(main.UltraGrid->hasFocus());
    QCOMPARE(main.Find->Text(), QString());
    QCOMPARE(main.Find->Note(), QString());
    QCOMPARE(main.RecordCount(), 9);
    QCOMPARE(main.lblTitle->FullText(), QString("Ocean's Eleven"));
}

// The filter stays through a switch of lists and through changes made elsewhere.
void TestFindBox::keptThroughChanges()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Alien", .director = "Ridley Scott"});
    w.folder.AddTitle({.title = "Brazil", .director = "Terry Gilliam"});
    w.folder.AddTitle({.title = "Gladiator", .director = "Ridley Scott", .wishList = 1});
    w.load();
    frmMain &main = *w.main;
    find(main, "ridley");
    main.OptionWishList[1]->click();
    QCOMPARE(shownTitles(main), QStringList{"Gladiator"});
    main.OptionWishList[0]->click();
    QCOMPARE(main.Find->Note(), QString("1 of 2"));

    w.folder.AddTitle({.title = "Jabberwocky", .director = "Terry Gilliam"});
    main.RefreshRecords();
    QCOMPARE(main.Find->Note(), QString("The new title is hidden by the filter"));
    w.folder.Exec("UPDATE DVD_Title SET Director = 'Ridley' WHERE Title = 'Brazil'");
    w.folder.Exec("DELETE FROM DVD_Title WHERE Title = 'Alien'");
    main.RefreshRecords();
    QCOMPARE(shownTitles(main), QStringList{"Brazil"});
    QCOMPARE(main.Find->Note(), QString("1 of 2"));
    w.folder.Exec("DELETE FROM DVD_Title WHERE Title = 'Brazil'");
    main.RefreshRecords();
    QCOMPARE(main.Find->Text(), QString("ridley"));
    QCOMPARE(main.lblRecordSelected->text(), QString("0 of 0"));
    QCOMPARE(main.Find->Note(), QString("No title matches"));
}

QTEST_MAIN(TestFindBox)
#include "test_find_box.moc"
